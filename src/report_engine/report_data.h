#pragma once

#include "report_engine/report_rows.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace dataset {
class Dataset;
}

namespace reports {

// What a report reads of one connection: every row and field of its dataset
// at the moment the report runs, and the row the dataset stood on.
struct Table {
    QString name;
    QStringList fields;
    QStringList formats;  // each field's display format, may be empty
    Rows rows;
    int current = -1;

    // The field's column, case-insensitive; -1 when the connection has none.
    int column(const QString& field) const;
};

// Reads the dataset whole. A closed dataset is opened for the reading and
// closed again; an open one is left on the row it stood on. Throws fb::Error
// when the dataset cannot be opened.
Table readDataset(const QString& name, dataset::Dataset& data);

using Tables = QHash<QString, Table>;

}  // namespace reports
