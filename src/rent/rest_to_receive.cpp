#include "rent/rest_to_receive.h"

#include "dataset/dataset.h"
#include "rent/line_quantity.h"

namespace rent {

namespace {

double sum(const std::vector<double>& values)
{
    double total = 0;
    for (double v : values)
        total += v;
    return total;
}

// Whole numbers, halves to even.
double wholeCount(const std::vector<double>& values)
{
    double total = 0;
    for (double v : values)
        total += roundHalfEven(v);
    return total;
}

}  // namespace

double restToReceive(const RestFigures& f)
{
    const double rest = sum(f.dueValues) - (sum(f.receiptValues) + sum(f.cashPaid));
    if (rest < 0 || wholeCount(f.dueQuantities) == wholeCount(f.handedOut))
        return 0;
    return rest;
}

std::vector<double> columnValues(dataset::Dataset& rows, const char* field)
{
    std::vector<double> values;
    if (!rows.isOpen())
        return values;
    const int count = rows.rowCount();
    const int f = rows.field(QLatin1String(field)).index();
    values.reserve(size_t(count));
    for (int r = 0; r < count; ++r)
        values.push_back(rows.value(r, f).toDouble());
    return values;
}

}  // namespace rent
