#pragma once

#include <vector>

namespace dataset {
class Dataset;
}

namespace rent {

// What the rest to receive is worked out from, as the payout screen's lists
// show it.
struct RestFigures {
    std::vector<double> handedOut;      // SUM_OF_KOL per goods handed out
    std::vector<double> dueValues;      // SOP per rent type
    std::vector<double> dueQuantities;  // SOK per rent type
    std::vector<double> cashPaid;       // SUMA per cash payment of the year
    std::vector<double> receiptValues;  // SUMA per goods receipt
};

// The rest to receive: the due value less the goods receipts' value and the
// cash paid; 0 when that is negative, or when the count of everything due
// equals the count of everything handed out (each quantity rounded to a
// whole number, halves to even, whatever its unit).
double restToReceive(const RestFigures& figures);

// A column's values over every row of `rows` (NULL as 0).
std::vector<double> columnValues(dataset::Dataset& rows, const char* field);

// The shown rest, one value for every payout screen: they all show the rent
// list's current owner, and it alone gates the two payout commands.
struct SharedRest {
    double value = 0;
};

}  // namespace rent
