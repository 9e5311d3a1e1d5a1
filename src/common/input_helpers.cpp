#include "common/input_helpers.h"

#include "dataset/formats.h"

#include <QLineEdit>

void setDateMask(QLineEdit* edit, const QLocale& locale)
{
    edit->setInputMask(dataset::formats::inputMask(kDateMask, locale));
}

QString threeDecimals(double value, const QLocale& locale)
{
    QString text = QString::asprintf("%8.3f", value);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

std::optional<double> readNumber(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

double roundThreeDecimals(double value, const QLocale& locale)
{
    // What "%8.3f" writes always reads back in the same locale.
    return readNumber(threeDecimals(value, locale), locale).value_or(value);
}

std::optional<double> typedArea(const QString& text, const QLocale& locale)
{
    const std::optional<double> value = readNumber(text, locale);
    if (!value)
        return std::nullopt;
    return roundThreeDecimals(*value, locale);
}
