#pragma once

// A category's equalised area (PRPL): the decares of the category's land
// times the category's coefficient. The plot editor stores the sum of these
// in ZEMQ.PRPLOSHT, and the category equalisation screen lists the plots
// whose stored sum differs from them, so both must get the same number for
// the same two stored values.
//
// KATEGORIQ.PLOSHT and CATEGORY_COEFFICIENT.COEFFICIENT are double
// precision columns: 8.59 and 1.15 come back as 8.58999… and 1.14999…,
// and their double product 9.87849… would round to 9.878 instead of 9.879.
// So each stored value is first taken to the decimals it was typed with
// (three for an area, which the editors round to thousandths; six for a
// coefficient, which keeps every coefficient a person types and is far from
// the double's binary noise), the product is formed exactly, and it is
// rounded half away from zero to thousandths, as the database rounds a cast.

#include "fb/decimal.h"

#include <QString>

namespace schema {

inline constexpr int kAreaScale = 3;
inline constexpr int kCoefficientScale = 6;

// The equalised area of `plosht` decares of a category with `coefficient`,
// to three decimals.
fb::Decimal prpl(double plosht, double coefficient);

// The same in SQL, for the columns or expressions `plosht` and
// `coefficient`: a decimal(15,3). An empty area counts as 0; an empty
// coefficient gives NULL, which a sum passes over.
QString prplSql(const QString& plosht, const QString& coefficient);

}  // namespace schema
