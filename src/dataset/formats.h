#pragma once

#include "fb/value.h"

#include <QLocale>
#include <QString>

// Display formats and edit masks as the fields carry them: "#0.000",
// "#0.00", "#####0.000", "######0.00"; "!99/99/0000;1;_" for dates and
// "#####.###.###;1;_" for plot identifiers. Numbers and dates follow the
// user's locale (QLocale()).
namespace dataset::formats {

// A number in a display format: as many decimals as the format has after
// its point, no group separators, the locale's decimal separator; a unit
// after the pattern ('#0.000 "дка"') follows the number without its quotes.
QString number(double value, const QString& displayFormat, const QLocale& locale = QLocale());

// The Qt input mask for an edit mask: '/' becomes the locale's date
// separator, the blank character is kept and the leading '!' dropped.
QString inputMask(const QString& editMask, const QLocale& locale = QLocale());

// The locale's date separator ('.' in Bulgarian).
QChar dateSeparator(const QLocale& locale = QLocale());

// Whether the mask is a day/month/year mask.
bool isDateMask(const QString& editMask);

// A date as a date mask shows it (dd.MM.yyyy with the locale's separator),
// and back; an incomplete text gives an invalid date.
QString maskedDate(const QDate& date, const QLocale& locale = QLocale());
QDate dateFromMasked(const QString& text, const QLocale& locale = QLocale());

}  // namespace dataset::formats
