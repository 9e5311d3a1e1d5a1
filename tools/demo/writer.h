#pragma once

#include "demo/enterprise.h"

namespace fb {
class Connection;
}

namespace demo {

struct Summary {
    int owners = 0, plots = 0, shares = 0, contracts = 0, contractLines = 0, rules = 0;
    int receipts = 0, receiptLines = 0, payments = 0, arrears = 0;
};

// Plans an enterprise of the given size and writes it into the attached
// database, which must be a new one as arventa-newdb makes it (fb::Error
// otherwise). The rows go in one transaction: all of them or nothing; the
// kept figures are then brought up to date, so that the first screen to read
// them finds nothing left to compute.
Summary fill(fb::Connection& connection, const Sizes& sizes);

}  // namespace demo
