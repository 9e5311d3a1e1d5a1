#pragma once

#include "dataset/table_description.h"

#include <QString>

namespace dataset {
class Dataset;
}

namespace dm {

// A table of the delivered database (schema::tables()) as a dataset sees
// it, found by name whatever its case. An unknown name is a fault of the
// program: dataset::UsageError.
dataset::TableDescription tableDescription(const QString& table);

// Makes `cursor` a table dataset over that table (while it is closed).
void useTable(dataset::Dataset& cursor, const QString& table);

}  // namespace dm
