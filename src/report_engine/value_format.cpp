#include "report_engine/value_format.h"

#include "dataset/formats.h"

#include <QLocale>

namespace reports {

namespace {

// The number pattern at the start of a format ("#0.000") and the rest.
qsizetype patternLength(const QString& format)
{
    qsizetype n = 0;
    while (n < format.size() && QStringView(u"#0.").contains(format[n]))
        ++n;
    return n;
}

// The literal part after a number pattern, without its quotes: `#0.000 "дка"` gives " дка".
QString unitOf(const QString& format)
{
    QString unit = format.mid(patternLength(format));
    unit.remove(QLatin1Char('"'));
    return unit;
}

}  // namespace

int formatDecimals(const QString& format)
{
    const qsizetype n = patternLength(format);
    if (n == 0 || !format.left(n).contains(QLatin1Char('0')))
        return -1;
    const qsizetype point = format.left(n).indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(n - point - 1);
}

fb::Decimal exactValue(const fb::Value& value, int decimals)
{
    using T = fb::Value::Type;
    fb::Decimal d;
    switch (value.type()) {
        case T::Null:
            break;
        case T::Double: {
            if (decimals >= 0)
                return fb::Decimal::fromDouble(value.toDouble(), decimals);
            const auto shortest = fb::Decimal::parse(QString::number(value.toDouble(), 'g', 15));
            return shortest ? *shortest : fb::Decimal::fromDouble(value.toDouble(), 6);
        }
        case T::Decimal:
            d = value.toDecimal();
            break;
        case T::Text: {
            const auto parsed = fb::Decimal::parse(value.toString());
            d = parsed.value_or(fb::Decimal{});
            break;
        }
        default:
            d = {value.toInt64(), 0};
    }
    return decimals < 0 ? d : d.rescaled(decimals);
}

QString formatValue(const fb::Value& value, const QString& format)
{
    using T = fb::Value::Type;
    if (value.isNull())
        return {};
    if (value.type() == T::Text)  // the common case of a long list, without a locale made for it
        return value.toString();
    QLocale locale;
    const QChar point = locale.decimalPoint().at(0);
    const bool number = value.type() == T::Integer || value.type() == T::Double || value.type() == T::Decimal;
    const int decimals = formatDecimals(format);
    if (number && decimals >= 0)
        return exactValue(value, decimals).toString(point) + unitOf(format);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.type()) {
        case T::Integer:
            return QString::number(value.toInt64());
        case T::Double:
            return locale.toString(value.toDouble(), 'g', 15);
        case T::Decimal:
            return value.toDecimal().toString(point);
        case T::Date:
            return format.isEmpty() ? dataset::formats::maskedDate(value.toDate(), locale)
                                    : value.toDate().toString(format);
        case T::Timestamp:
            return format.isEmpty() ? dataset::formats::maskedDate(value.toDate(), locale)
                                    : value.toDateTime().toString(format);
        default:
            return value.toString();
    }
}

}  // namespace reports
