#pragma once

#include <QString>

// Checks of the Bulgarian identifiers owners and the firm are known by. The
// text is taken exactly as typed: no trimming, only the ASCII digits count as
// digits, and an empty text is never valid.

// A citizen's personal number (ЕГН): ten digits with a correct check digit.
bool CheckEGN(const QString& text);
// A foreigner's personal number (ЛНЧ): ten digits with a correct check digit.
bool CheckLNCh(const QString& text);
// A company code (ЕИК/БУЛСТАТ): nine digits with a correct check digit, or
// thirteen digits whose first nine form a valid code and whose last digit
// checks digits nine to twelve.
bool CheckEIK(const QString& text);
