#include "reports/report_data.h"

#include "dataset/dataset.h"

namespace reports {

int Table::column(const QString& field) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Table readDataset(const QString& name, dataset::Dataset& data)
{
    const bool wasOpen = data.isOpen();
    if (!wasOpen)
        data.open();
    Table t;
    t.name = name;
    t.current = data.currentRow();
    bool lookups = false;
    for (int f = 0; f < data.fieldCount(); ++f) {
        t.fields << data.field(f).name();
        t.formats << data.field(f).displayFormat();
        lookups = lookups || data.field(f).isLookup();
    }
    // A dataset opened for the report alone hands its rows over instead of
    // being copied: one copy of a long list in memory, not two.
    if (!wasOpen && !lookups) {
        t.rows = data.takeRows();
        return t;
    }
    // Reading by row index leaves the dataset's current row where it is.
    t.rows.reserve(size_t(data.rowCount()));
    for (int r = 0; r < data.rowCount(); ++r) {
        std::vector<fb::Value> row;
        row.reserve(size_t(data.fieldCount()));
        for (int f = 0; f < data.fieldCount(); ++f)
            row.push_back(data.value(r, f));
        t.rows.push_back(std::move(row));
    }
    if (!wasOpen)
        data.close();
    return t;
}

}  // namespace reports
