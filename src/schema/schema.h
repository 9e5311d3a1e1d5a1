#pragma once

#include "fb/connection.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fb {
class Transaction;
}

namespace schema {

// Raised with every change of the table definitions below, so that a later
// program can tell which upgrade steps a delivered database still needs.
// 2: the rent due kept per owner (rent_due_cache.h).
// 3: the unpaid due kept per owner as well.
// 4: the receipt number series kept unique by the database (receipt_series.h).
// 5: the contracted area kept per plot (plot_area_cache.h), and the contract
//    lines indexed by plot and owner together.
// 6: the shares' and contract lines' areas indexed (rent_sql.h's notices).
// 7: the contracted area kept per locality as well (plot_area_cache.h).
// 8: the plots indexed by locality and key together.
// 9: the marks of changed plots and owners kept without an index, each
//    transaction finding its own in a temporary table; the trail of
//    changes (change_trail.h); the owners indexed in the order they list.
// 10: the users' roles and their rights, enforced by the database (roles.h).
constexpr int kVersion = 10;

struct ColumnDef {
    const char* name;
    const char* type;  // "integer", "smallint", "bigint", "float", "date" or "text N"
    bool key = false;
};

struct TableDef {
    const char* name;  // upper case; four names hold a blank and are always quoted
    std::vector<ColumnDef> columns;
    const char* generatedKey = nullptr;     // the surrogate key filled on insert, if any
    std::vector<const char*> indexes = {};  // single-column indexes beside the key
};

// Every table of the register, the rent and payouts, as the program expects them.
const std::vector<TableDef>& tables();

// The name as written in SQL: quoted when it holds a blank.
QString sqlName(const char* table);

// Every DDL statement that makes an empty database hold the schema, in order.
QStringList ddl();

// Makes a new database file at `path` with the schema and the reference data.
// Refuses (fb::Error) when the file exists.
void createDatabase(const QString& path, const fb::CreateOptions& options = {});

// Brings a database made by an earlier program up to kVersion, one step per
// version in order, each committed; a database at kVersion is left alone.
// Desks starting at once on an older register upgrade it once: the others
// wait for the first and find it done.
void upgrade(fb::Connection& connection);

// Fills the reference tables and lookup lists of a freshly made schema.
void loadReferenceData(fb::Connection& connection, fb::Transaction& tr);

}  // namespace schema
