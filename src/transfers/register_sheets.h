#pragma once

#include "dataset/domain.h"

#include <QString>

#include <vector>

// The register as a workbook: which sheets it has, and for every column its
// heading, where its value is stored, what it takes and what it means. The
// export writes the workbook from this description and its explanations
// sheet lists it; reading such a workbook back goes by the same description.
//
// Rows are known by their natural keys only (the owner's identifier, the
// area's EKATTE, the plot's area, locality and number, the contract's
// number…), never by the database's own ids, and a sheet names a row of
// another sheet by that sheet's key columns, under the same headings.
namespace transfers::register_sheets {

enum class Kind {
    Text,        // free text, as long as its field holds
    Identifier,  // digits and codes kept as text: leading zeros are part of the value
    Number,      // a number in its field's unit, with its decimals
    Date,        // a calendar date
};

enum class Role {
    Key,    // part of the row's natural key
    Value,  // a value of the row
    Info,   // shown for the reader; it repeats what another sheet holds and is not read back
};

struct Column {
    QString heading;
    // Where the value is stored: the sheet's own table, or the table another
    // row of the register (or a lookup list) is kept in.
    QString table;
    QString field;
    Kind kind;
    Role role = Role::Value;
    // The field of the sheet's own table that reaches `table`; empty when
    // the value is the sheet's own.
    QString via = {};
    // The sheet whose key columns of the same heading this column names.
    QString refers = {};
    QString explanation = {};
};

struct Sheet {
    QString name;   // the sheet's name in the workbook
    QString table;  // one row of the sheet is one row of this table
    QString explanation;
    std::vector<Column> columns;
};

// The explanations sheet comes first; then these, in this order.
const QString& explanationsSheet();
const std::vector<Sheet>& sheets();
const Sheet& sheet(const QString& name);

bool isKey(const Column& column);
// The characters a text or identifier column takes: its field's size.
int textLength(const Column& column);
// The decimals a number column is shown and stored with; 0 for whole numbers.
int decimals(const Column& column);
// The domain a number column's value must lie in; null when its field has none.
const dataset::Domain* domain(const Column& column);
// What the column takes, in words for the explanations sheet:
// "текст до 50 знака", "число в дка с 3 знака след запетаята", "дата".
QString kindText(const Column& column);

}  // namespace transfers::register_sheets
