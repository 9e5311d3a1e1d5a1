#pragma once

#include "fb/value.h"

#include <QString>

// How a report shows a value and adds values up. Numbers are shown and
// summed as exact decimals: a value is taken at the decimals its format
// shows, so a total is always the sum of the figures printed above it.
namespace reports {

// Decimals a number format shows: "#0.000" 3, "#0.00" 2, "#0" 0; -1 when the
// format is not a number format.
int formatDecimals(const QString& format);

// The value in a format: number formats ("#0.000", also with a quoted unit
// after them: `#0.000 "дка"`), date formats ("dd.MM.yyyy"); without a format
// the plain text (dates as dd.MM.yyyy). Numbers use the locale's decimal
// separator and no group separators.
QString formatValue(const fb::Value& value, const QString& format);

// The value as an exact decimal at `decimals` places (halves away from
// zero); decimals < 0 keeps an exact value's own scale and takes a double as
// its shortest text shows it.
fb::Decimal exactValue(const fb::Value& value, int decimals);

}  // namespace reports
