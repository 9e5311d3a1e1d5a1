#pragma once

#include "dataset/binders.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;

// The small input rules the screens share. Numbers and dates follow the
// user's locale (QLocale()), the same on writing and on reading back.

// Dates typed into text fields: day, month, year with the locale's date
// separator between them, blank positions shown as "_".
inline const QString kDateMask = QStringLiteral("!99/99/0000;1;_");

// Digit-only fields (identifiers, numbers of contracts and receipts, the
// search box): only 0 to 9 can be typed or pasted; backspace works.
using dataset::setDigitsOnly;
// A box where Backspace does nothing (the rent list's identifier search):
// the typed text is taken away with Delete or by selecting it.
void discardBackspace(QLineEdit* edit);

// Puts the date mask on an edit that no field is bound to (bound edits get
// their field's mask through dataset::MaskEditBinder).
void setDateMask(QLineEdit* edit, const QLocale& locale = QLocale());

// A number as "%8.3f" writes it (fixed notation, three decimals, at least
// eight characters, blank-padded), with the locale's decimal separator.
QString threeDecimals(double value, const QLocale& locale = QLocale());
// A number edit: the full stop and the comma both type the locale's decimal
// separator, whatever the keyboard gives; while `decimals` says no (a whole
// quantity), neither types anything at all. Without `decimals`, always yes.
void setDecimalKeys(QLineEdit* edit, std::function<bool()> decimals = {});

// The number a text holds in the locale, or with a full stop for its point
// (blanks around it allowed);
// nothing when it holds none.
std::optional<double> readNumber(const QString& text, const QLocale& locale = QLocale());
// An area as the program stores it: written with "%8.3f" and read back, so
// rounded to three decimals.
double roundThreeDecimals(double value, const QLocale& locale = QLocale());
// A typed area rounded the same way; nothing when the text is not a number.
std::optional<double> typedArea(const QString& text, const QLocale& locale = QLocale());
