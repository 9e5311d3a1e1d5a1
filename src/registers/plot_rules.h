#pragma once

#include "fb/decimal.h"

#include <QString>
#include <QStringList>

#include <vector>

// The plot editor's figures and the checks on them. Every compared figure is
// taken as it is shown, to three decimals, so that binary noise in a sum
// never decides a check: an allocation is complete when the sums agree to
// the thousandth of a decare.
namespace plot {

// A figure as the editor shows it.
fb::Decimal shown(double value);
// The text of a shown figure ("1,735" in the Bulgarian locale).
QString shownText(double value);

// A plot's areas against the sums of its owners' shares.
struct Allocation {
    double plotArea = 0, plotEqualised = 0;
    double sharesArea = 0, sharesEqualised = 0;
};
// Why the shares cannot be saved: more is given away than the plot holds.
// Empty when they can.
QString allocationRefusal(const Allocation& a);
// What is said but does not stop the save: part of the plot is left over.
QStringList allocationNotices(const Allocation& a);

// A typed area as the share panel reads it, rounded to three decimals; text
// that is not a number counts 0.
double typedOrZero(const QString& text);

// Whether the owners' equalised areas are typed at all: only when some
// category's coefficient is not exactly 1 (a category without one counts 0).
bool equalisedSharesTyped(const std::vector<double>& coefficients);

}  // namespace plot
