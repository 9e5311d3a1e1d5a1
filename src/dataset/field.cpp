#include "dataset/field.h"

#include "dataset/dataset.h"
#include "dataset/formats.h"

#include <QLocale>

namespace dataset {

QString Field::fullName() const
{
    return dataset_->name() + name_;
}

fb::Value Field::value() const
{
    return dataset_->fieldValue(*this);
}

void Field::setValue(const fb::Value& value)
{
    dataset_->setFieldValue(*this, value);
}

QString Field::displayText(const fb::Value& v) const
{
    if (v.isNull())
        return {};
    const QLocale locale;
    switch (v.type()) {
        case fb::Value::Type::Integer:
            return displayFormat_.isEmpty() ? QString::number(v.toInt64())
                                            : formats::number(v.toDouble(), displayFormat_, locale);
        case fb::Value::Type::Double:
            return displayFormat_.isEmpty() ? locale.toString(v.toDouble(), 'g', 15)
                                            : formats::number(v.toDouble(), displayFormat_, locale);
        case fb::Value::Type::Decimal:
            return displayFormat_.isEmpty() ? v.toDecimal().toString(locale.decimalPoint().at(0))
                                            : formats::number(v.toDouble(), displayFormat_, locale);
        case fb::Value::Type::Date:
            return formats::maskedDate(v.toDate(), locale);
        case fb::Value::Type::Timestamp:
            return formats::maskedDate(v.toDate(), locale) + QLatin1Char(' ') +
                   v.toDateTime().time().toString(QStringLiteral("HH:mm:ss"));
        default:
            return v.toString();
    }
}

}  // namespace dataset
