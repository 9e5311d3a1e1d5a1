#pragma once

#include "dataset/domain.h"

#include <QString>

#include <vector>

// Every number a user types, and every stored figure worked out from them,
// with the values it may take: one table, so that a reader sees them all at
// once. The ranges keep every figure inside what the rent statements' exact
// decimals can multiply and add (an area times a quantity per decare times
// a price), so no typed value can make a list fail for everyone.
namespace dm {

struct FieldDomain {
    QString table;   // the table the value is stored in…
    QString column;  // …and its column
    QString use;     // empty: the column's own; otherwise a variant a screen asks for by name
    dataset::Domain domain;
};

const std::vector<FieldDomain>& fieldDomains();

// The domain of a stored column, or of one of its variants ("goods" for a
// quantity in whole units). Throws dataset::UsageError for one not in the table.
const dataset::Domain& domain(const QString& table, const QString& column, const QString& use = {});
// The column's own domain; null for a column without one.
const dataset::Domain* columnDomain(const QString& table, const QString& column);

}  // namespace dm
