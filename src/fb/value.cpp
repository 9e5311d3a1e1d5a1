#include "fb/value.h"

#include <cmath>

namespace fb {

namespace {

// Lets QVariant::toDouble()/toString() read a Decimal, so item models and
// widgets handle exact decimals like any number.
void registerDecimalConverters()
{
    static const bool done = [] {
        QMetaType::registerConverter<Decimal, double>(&Decimal::toDouble);
        QMetaType::registerConverter<Decimal, QString>([](const Decimal& d) { return d.toString(); });
        return true;
    }();
    (void)done;
}

}  // namespace

std::int64_t Value::toInt64() const
{
    switch (type()) {
        case Type::Integer:
            return std::get<std::int64_t>(v_);
        case Type::Double:
            return static_cast<std::int64_t>(std::llround(std::get<double>(v_)));
        case Type::Decimal:
            return std::get<Decimal>(v_).rescaled(0).units;
        case Type::Boolean:
            return std::get<bool>(v_) ? 1 : 0;
        case Type::Text: {
            const auto d = Decimal::parse(std::get<QString>(v_));
            return d ? d->rescaled(0).units : 0;
        }
        default:
            return 0;
    }
}

double Value::toDouble() const
{
    switch (type()) {
        case Type::Integer:
            return static_cast<double>(std::get<std::int64_t>(v_));
        case Type::Double:
            return std::get<double>(v_);
        case Type::Decimal:
            return std::get<Decimal>(v_).toDouble();
        case Type::Boolean:
            return std::get<bool>(v_) ? 1 : 0;
        case Type::Text: {
            const auto d = Decimal::parse(std::get<QString>(v_));
            return d ? d->toDouble() : 0.0;
        }
        default:
            return 0.0;
    }
}

Decimal Value::toDecimal(int scaleForDouble) const
{
    switch (type()) {
        case Type::Integer:
            return {std::get<std::int64_t>(v_), 0};
        case Type::Double:
            return Decimal::fromDouble(std::get<double>(v_), scaleForDouble);
        case Type::Decimal:
            return std::get<Decimal>(v_);
        case Type::Text:
            return Decimal::parse(std::get<QString>(v_)).value_or(Decimal{});
        default:
            return {};
    }
}

QDate Value::toDate() const
{
    switch (type()) {
        case Type::Date:
            return std::get<QDate>(v_);
        case Type::Timestamp:
            return std::get<QDateTime>(v_).date();
        case Type::Text:
            return QDate::fromString(std::get<QString>(v_), Qt::ISODate);
        default:
            return {};
    }
}

QTime Value::toTime() const
{
    switch (type()) {
        case Type::Time:
            return std::get<QTime>(v_);
        case Type::Timestamp:
            return std::get<QDateTime>(v_).time();
        default:
            return {};
    }
}

QDateTime Value::toDateTime() const
{
    switch (type()) {
        case Type::Timestamp:
            return std::get<QDateTime>(v_);
        case Type::Date:
            return QDateTime(std::get<QDate>(v_), QTime(0, 0));
        default:
            return {};
    }
}

QString Value::toString() const
{
    switch (type()) {
        case Type::Null:
            return {};
        case Type::Integer:
            return QString::number(std::get<std::int64_t>(v_));
        case Type::Double:
            return QString::number(std::get<double>(v_), 'g', 15);
        case Type::Decimal:
            return std::get<Decimal>(v_).toString();
        case Type::Date:
            return std::get<QDate>(v_).toString(Qt::ISODate);
        case Type::Time:
            return std::get<QTime>(v_).toString(Qt::ISODateWithMs);
        case Type::Timestamp:
            return std::get<QDateTime>(v_).toString(Qt::ISODateWithMs);
        case Type::Text:
            return std::get<QString>(v_);
        case Type::Boolean:
            return std::get<bool>(v_) ? QStringLiteral("true") : QStringLiteral("false");
    }
    return {};
}

bool Value::toBool() const
{
    if (type() == Type::Boolean)
        return std::get<bool>(v_);
    return toInt64() != 0;
}

QVariant Value::toVariant() const
{
    switch (type()) {
        case Type::Null:
            return {};
        case Type::Integer: {
            const std::int64_t i = std::get<std::int64_t>(v_);
            if (i >= INT32_MIN && i <= INT32_MAX)
                return QVariant(static_cast<int>(i));
            return QVariant(static_cast<qlonglong>(i));
        }
        case Type::Double:
            return QVariant(std::get<double>(v_));
        case Type::Decimal:
            registerDecimalConverters();
            return QVariant::fromValue(std::get<Decimal>(v_));
        case Type::Date:
            return QVariant(std::get<QDate>(v_));
        case Type::Time:
            return QVariant(std::get<QTime>(v_));
        case Type::Timestamp:
            return QVariant(std::get<QDateTime>(v_));
        case Type::Text:
            return QVariant(std::get<QString>(v_));
        case Type::Boolean:
            return QVariant(std::get<bool>(v_));
    }
    return {};
}

Value Value::fromVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
            return Value(static_cast<std::int64_t>(v.toLongLong()));
        case QMetaType::Double:
        case QMetaType::Float:
            return Value(v.toDouble());
        case QMetaType::QDate:
            return Value(v.toDate());
        case QMetaType::QTime:
            return Value(v.toTime());
        case QMetaType::QDateTime:
            return Value(v.toDateTime());
        case QMetaType::Bool:
            return Value(v.toBool());
        default:
            break;
    }
    if (v.metaType() == QMetaType::fromType<Decimal>())
        return Value(v.value<Decimal>());
    return Value(v.toString());
}

bool operator==(const Value& a, const Value& b)
{
    if (a.type() == b.type())
        return a.v_ == b.v_;
    const auto numeric = [](Value::Type t) {
        return t == Value::Type::Integer || t == Value::Type::Double || t == Value::Type::Decimal;
    };
    if (numeric(a.type()) && numeric(b.type())) {
        if (a.type() == Value::Type::Double || b.type() == Value::Type::Double)
            return a.toDouble() == b.toDouble();
        return a.toDecimal() == b.toDecimal();
    }
    return false;
}

}  // namespace fb
