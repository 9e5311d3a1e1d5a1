#include "schema/equalised_area.h"

#include <stdexcept>

namespace schema {

fb::Decimal prpl(double plosht, double coefficient)
{
    const fb::Decimal area = fb::Decimal::fromDouble(plosht, kAreaScale);
    const fb::Decimal factor = fb::Decimal::fromDouble(coefficient, kCoefficientScale);
    std::int64_t product = 0;
    // The database refuses such a product as a numeric overflow too.
    if (__builtin_mul_overflow(area.units, factor.units, &product))
        throw std::overflow_error("equalised area out of range");
    return fb::Decimal{product, kAreaScale + kCoefficientScale}.rescaled(kAreaScale);
}

QString prplSql(const QString& plosht, const QString& coefficient)
{
    return QStringLiteral(
               "cast(cast(coalesce(%1, 0) as decimal(15,%3)) * cast(%2 as decimal(18,%4)) as decimal(15,%3))")
        .arg(plosht, coefficient)
        .arg(kAreaScale)
        .arg(kCoefficientScale);
}

}  // namespace schema
