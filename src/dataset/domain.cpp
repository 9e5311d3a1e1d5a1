#include "dataset/domain.h"

#include "dataset/dataset.h"
#include "dataset/field.h"
#include "fb/error.h"

#include <QLocale>

#include <cmath>

namespace dataset {

namespace {

// A bound as the message shows it: digits grouped by threes with blanks,
// the domain's decimals after the locale's point ("99 999,999").
QString shownBound(double value, int decimals)
{
    QString text = QString::number(std::abs(value), 'f', decimals);
    const int point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    for (int i = int(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char(' '));
    QString out = (value < 0 ? QStringLiteral("-") : QString()) + whole;
    // "до 10", not "до 10,0000"; "99 999,999" keeps what it has.
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        out += QLocale().decimalPoint() + fraction;
    return out;
}

}  // namespace

Domain Domain::named(const QString& fieldName) const
{
    Domain out = *this;
    out.name = fieldName;
    return out;
}

QString Domain::message() const
{
    const QString kind = decimals == 0 ? QStringLiteral("цяло число") : QStringLiteral("число");
    const QString from = aboveLeast ? QStringLiteral("над %1 до %2") : QStringLiteral("от %1 до %2");
    QString text = QStringLiteral("Полето „%1“ приема %2 ").arg(name, kind) +
                   from.arg(shownBound(least, decimals), shownBound(most, decimals));
    if (!unit.isEmpty())
        text += QLatin1Char(' ') + unit;
    if (decimals > 0 && !rounds)
        text += decimals == 1 ? QStringLiteral(", с до 1 знак след запетаята")
                              : QStringLiteral(", с до %1 знака след запетаята").arg(decimals);
    return text + QLatin1Char('!');
}

bool Domain::holds(double value) const
{
    if (!std::isfinite(value))
        return false;
    // A stored double may carry binary noise below the last typed decimal.
    const double slack = 0.5 * std::pow(10.0, -std::max(decimals, 3) - 3);
    if (aboveLeast ? value <= least + slack : value < least - slack)
        return false;
    return value <= most + slack;
}

bool Domain::holds(const fb::Value& value) const
{
    if (value.isNull())
        return true;
    switch (value.type()) {
        case fb::Value::Type::Integer:
        case fb::Value::Type::Double:
        case fb::Value::Type::Decimal:
            return holds(value.toDouble());
        default:
            return true;
    }
}

int Domain::integerDigits() const
{
    int digits = 1;
    for (double bound = std::max(std::abs(least), std::abs(most)); bound >= 10; bound /= 10)
        ++digits;
    return digits;
}

// The last line of defence: a figure the screens should have refused (a
// computed sum, a caller without checks) never reaches the engine, where it
// would fail with an overflow in English or corrupt every sum it enters.
void Dataset::refuseOutOfDomain() const
{
    for (int i = 0; i < dataFieldCount_ && size_t(i) < buffer_.size(); ++i) {
        const Field* f = fields_[size_t(i)].get();
        const fb::Value& v = buffer_[size_t(i)];
        const Domain* domain = f->domain();
        const bool number = f->dataType() == DataType::Integer || f->dataType() == DataType::Float ||
                            f->dataType() == DataType::Decimal;
        if (number && v.type() == fb::Value::Type::Text)
            throw fb::Error(domain ? domain->message() : QStringLiteral("Полето %1 не съдържа число!").arg(f->name()));
        if (domain && !domain->holds(v))
            throw fb::Error(domain->message());
    }
}

}  // namespace dataset
