#include "rent/line_quantity.h"

#include <cmath>

namespace rent {

double roundHalfEven(double value)
{
    const double down = std::floor(value);
    const double fraction = value - down;
    if (fraction < 0.5)
        return down;
    if (fraction > 0.5)
        return down + 1;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

bool quantityWithinLimit(double quantity, double limit)
{
    return quantity <= limit || roundHalfEven(quantity) == roundHalfEven(limit);
}

double lineValue(double quantity, double rest, double price, bool goods)
{
    if (goods && roundHalfEven(quantity) == roundHalfEven(rest))
        return rest * price;
    return quantity * price;
}

}  // namespace rent
