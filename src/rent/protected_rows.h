#pragma once

#include <QString>

class RegisterScreen;

// The row delivered with the database that every payout points to (the
// money rent type, the pseudo-goods of money lines): its key is 1, and it
// can be neither corrected ("Забранено за корекция!") nor deleted
// ("Забранено за изтриване!"). The refusal of a delete comes before the
// screen's in-use guards.
void protectDeliveredRow(RegisterScreen& screen);

// The key of the delivered row.
constexpr int kDeliveredRow = 1;
