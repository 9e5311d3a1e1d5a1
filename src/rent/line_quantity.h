#pragma once

// The arithmetic of one goods receipt line: how much may be handed out
// against a due row and what the line is worth. Goods are handed out in
// whole units, money to the stotinka; a quantity and a rest that round to
// the same whole number count as the same, so that the last fraction of a
// due quantity can always be handed out.

namespace rent {

// Rounded to a whole number, halves to the even neighbour (0.5 → 0,
// 1.5 → 2, 104.5 → 104).
double roundHalfEven(double value);

// Whether `quantity` may be handed out where `limit` is allowed: the
// line's quantity before the change plus the rest still due on its row.
bool quantityWithinLimit(double quantity, double limit);

// The line's value (STOINOST) at unit price `price`. A goods line that
// hands out the whole rest (both rounded alike) is priced on the rest
// itself; every other line on its quantity.
double lineValue(double quantity, double rest, double price, bool goods);

}  // namespace rent
