#pragma once

#include "transfers/register_records.h"

#include <QString>

#include <utility>
#include <vector>

namespace dataset {
class Database;
}

// Bringing the register's workbook into the register. Records are matched
// with the register by their natural keys: a record whose key is not there
// is new, one whose stored values differ is changed. A sheet names a row of
// another sheet by that row's key, found among the rows written before it
// or in the register. Rows of the register the workbook does not name stay
// as they are.
//
// The whole workbook goes in one transaction: the preview runs it and rolls
// back; applying runs it again and commits only when nothing is refused.
namespace transfers::register_import {

struct Counts {
    int added = 0;
    int changed = 0;
    int unchanged = 0;
    int refused = 0;  // rows
};

struct Preview {
    std::vector<std::pair<QString, Counts>> sheets;  // in the order of the workbook's sheets
    std::vector<Refusal> refusals;
    bool clean() const { return refusals.empty(); }
};

// What the user is told when the import could not be done.
extern const QString kFailed;

// Counts what importing `records` would do, and every refusal; the
// register stays as it is. Throws fb::Error.
Preview preview(dataset::Database& database, const Records& records);

// The same, and when nothing is refused, writes it all and brings the kept
// rent and area figures up to date. Throws fb::Error; the register is then
// as it was.
Preview apply(dataset::Database& database, const Records& records);

}  // namespace transfers::register_import
