#pragma once

#include <QChar>
#include <QString>

class QLineEdit;

// The database keeps its texts in Windows-1251 and the client talks UTF-8,
// so a character outside that code page (Greek, Chinese, emoji, Turkish "ğ")
// would reach the engine and fail there with its English transliteration
// error, on saving as much as on filtering. Text fields keep such characters
// out instead, as they are typed or pasted.

// Whether Windows-1251 holds the character: ASCII and the 127 characters of
// its upper half (0x98 is unassigned). Half of a surrogate pair never fits.
bool fitsWindows1251(QChar c);
bool fitsWindows1251(const QString& text);
// The text without the characters that do not fit (an emoji goes whole).
QString keepWindows1251(const QString& text);

// The edit drops what does not fit as it is typed or pasted and keeps the
// rest of a paste ("Иван 😀 Петров" gives "Иван  Петров"), the cursor after
// what was kept. A validator already on the edit (dataset::setDigitsOnly)
// still has its say on what is left, so call this after setting it; a
// digit-only or masked edit takes ASCII only and does not need this at all.
void acceptWindows1251Only(QLineEdit* edit);
