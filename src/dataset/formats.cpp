#include "dataset/formats.h"

namespace dataset::formats {

QString number(double value, const QString& displayFormat, const QLocale& locale)
{
    // The number's pattern ("#0.000"), then what follows it with its quotes
    // dropped: '#0.000 "дка."' writes "1,500 дка.".
    qsizetype end = 0;
    while (end < displayFormat.size() && QStringLiteral("#0.,").contains(displayFormat[end]))
        ++end;
    const QString pattern = displayFormat.left(end);
    const qsizetype point = pattern.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', decimals) + displayFormat.mid(end).remove(QLatin1Char('"'));
}

QChar dateSeparator(const QLocale& locale)
{
    for (QChar c : locale.dateFormat(QLocale::ShortFormat))
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return c;
    return QLatin1Char('.');
}

QString inputMask(const QString& editMask, const QLocale& locale)
{
    const QStringList parts = editMask.split(QLatin1Char(';'));
    QString mask = parts.value(0);
    if (mask.startsWith(QLatin1Char('!')))
        mask.remove(0, 1);
    mask.replace(QLatin1Char('/'), dateSeparator(locale));
    // An edit mask's "#" is an optional digit; Qt's "#" would take a sign
    // as well, and a plot number has none.
    mask.replace(QLatin1Char('#'), QLatin1Char('0'));
    const QString blank = parts.size() > 2 ? parts[2] : QStringLiteral("_");
    return mask + QLatin1Char(';') + blank;
}

bool isDateMask(const QString& editMask)
{
    return editMask.startsWith(QLatin1String("!99/99/0000"));
}

QString maskedDate(const QDate& date, const QLocale& locale)
{
    if (!date.isValid())
        return {};
    const QChar sep = dateSeparator(locale);
    return date.toString(QStringLiteral("dd%1MM%1yyyy").arg(sep));
}

QDate dateFromMasked(const QString& text, const QLocale& locale)
{
    const QChar sep = dateSeparator(locale);
    return QDate::fromString(text.trimmed(), QStringLiteral("dd%1MM%1yyyy").arg(sep));
}

}  // namespace dataset::formats
