#pragma once

#include "dataset/domain.h"

#include <QString>

#include <optional>

#include <vector>

namespace dataset {

enum class DataType { Integer, Float, Decimal, Date, Timestamp, Text, Other };

// One stored column of a table as a dataset sees it.
struct ColumnDescription {
    QString name;
    DataType type = DataType::Integer;
    int size = 0;  // text columns: the characters the column holds
    bool key = false;
    bool generated = false;  // filled by the database on insert, never sent
    // A number column: what the program lets into it. A row holding a value
    // outside is refused before it reaches the engine.
    std::optional<Domain> domain = {};
};

// What a table dataset needs to know of its table. The dataset layer knows
// no tables of its own: the program's catalogue hands these in.
struct TableDescription {
    QString name;     // as the program refers to it
    QString sqlName;  // as written in SQL (quoted when it holds a blank)
    std::vector<ColumnDescription> columns;
};

}  // namespace dataset
