#include "report_engine/report_data.h"

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
    // A dataset opened for the report alone hands its rows over as they are
    // read (all of them at once, unless it reads on demand): a long list is
    // never held in two forms.
    if (!wasOpen && !lookups) {
        data.takeRows([&](dataset::Row&& row) { t.rows.push_back(row); });
        return t;
    }
    // Reading by row index leaves the dataset's current row where it is.
    std::vector<fb::Value> row;
    for (int r = 0; r < data.rowCount(); ++r) {
        row.clear();
        row.reserve(size_t(data.fieldCount()));
        for (int f = 0; f < data.fieldCount(); ++f)
            row.push_back(data.value(r, f));
        t.rows.push_back(row);
    }
    if (!wasOpen)
        data.close();
    return t;
}

}  // namespace reports
