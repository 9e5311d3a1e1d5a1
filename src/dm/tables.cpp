#include "dm/tables.h"

#include "dataset/dataset.h"
#include "dataset/usage_error.h"
#include "dm/domains.h"
#include "schema/schema.h"

#include <algorithm>

namespace dm {

namespace {

// The catalogue writes a type as "integer", "smallint", "bigint", "float",
// "date" or "text N".
dataset::ColumnDescription columnOf(const schema::ColumnDef& c, const char* generatedKey)
{
    dataset::ColumnDescription out;
    out.name = QLatin1String(c.name);
    out.key = c.key;
    out.generated = generatedKey && qstrcmp(generatedKey, c.name) == 0;
    const QLatin1String type(c.type);
    if (type.startsWith(QLatin1String("text "))) {
        out.type = dataset::DataType::Text;
        out.size = QString(type.mid(5)).toInt();
    } else if (type == QLatin1String("float")) {
        out.type = dataset::DataType::Float;
    } else if (type == QLatin1String("date")) {
        out.type = dataset::DataType::Date;
    } else {
        out.type = dataset::DataType::Integer;
    }
    return out;
}

}  // namespace

dataset::TableDescription tableDescription(const QString& table)
{
    const auto& defs = schema::tables();
    const auto def = std::find_if(defs.begin(), defs.end(), [&](const schema::TableDef& t) {
        return table.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0;
    });
    if (def == defs.end())
        throw dataset::UsageError(QStringLiteral("no table %1 in the database the program delivers").arg(table));
    dataset::TableDescription out;
    out.name = QLatin1String(def->name);
    out.sqlName = schema::sqlName(def->name);
    for (const schema::ColumnDef& c : def->columns) {
        out.columns.push_back(columnOf(c, def->generatedKey));
        if (const dataset::Domain* domain = columnDomain(out.name, out.columns.back().name))
            out.columns.back().domain = *domain;
    }
    return out;
}

void useTable(dataset::Dataset& cursor, const QString& table)
{
    cursor.setTable(tableDescription(table));
}

}  // namespace dm
