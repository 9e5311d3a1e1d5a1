#include "transfers/register_import.h"

#include "dataset/database.h"
#include "dataset/usage_error.h"
#include "dm/tables.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/plot_area_cache.h"
#include "schema/rent_due_cache.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include <cmath>
#include <map>
#include <memory>
#include <optional>

namespace transfers::register_import {

const QString kFailed = QStringLiteral("Внасянето от таблици не е извършено.");

namespace {

namespace rs = register_sheets;

const QString kInForce = QStringLiteral("Действащ");
const QString kEnded = QStringLiteral("Прекратен");

// Columns that name a row of another table, and the field of the sheet's
// own table that holds that row's id.
struct Link {
    QString via;
    std::vector<size_t> columns;
    bool key = false;
};

// How a sheet's row is stored: the columns kept in its own table, and its
// links to other rows.
struct Layout {
    QString sqlTable;
    QString generatedKey;  // empty when the row is known by its key fields only
    std::vector<size_t> own;
    std::vector<Link> links;
};

Layout layoutOf(const rs::Sheet& sheet)
{
    Layout out;
    const dataset::TableDescription table = dm::tableDescription(sheet.table);
    out.sqlTable = table.sqlName;
    for (const dataset::ColumnDescription& c : table.columns)
        if (c.generated)
            out.generatedKey = c.name;
    for (size_t i = 0; i < sheet.columns.size(); ++i) {
        const rs::Column& column = sheet.columns[i];
        if (column.role == rs::Role::Info)
            continue;
        if (column.via.isEmpty()) {
            out.own.push_back(i);
            continue;
        }
        auto link =
            std::find_if(out.links.begin(), out.links.end(), [&](const Link& l) { return l.via == column.via; });
        if (link == out.links.end())
            link = out.links.insert(out.links.end(), Link{column.via, {}, false});
        link->columns.push_back(i);
        link->key = link->key || rs::isKey(column);
    }
    return out;
}

QStringList headingsOf(const rs::Sheet& sheet, const std::vector<size_t>& columns)
{
    QStringList out;
    for (size_t i : columns)
        out << sheet.columns[i].heading;
    return out;
}

QStringList keyHeadings(const rs::Sheet& sheet)
{
    QStringList out;
    for (const rs::Column& c : sheet.columns)
        if (rs::isKey(c))
            out << c.heading;
    return out;
}

// The sheet whose row a link names: the sheet it refers to when the link
// gives that sheet's whole key; otherwise (an owner or a plot named as part
// of a share) the sheet of the table the link's last column is kept in.
const rs::Sheet& targetOf(const rs::Sheet& sheet, const Link& link)
{
    const rs::Column& last = sheet.columns[link.columns.back()];
    const rs::Sheet& referred = rs::sheet(last.refers);
    if (keyHeadings(referred) == headingsOf(sheet, link.columns))
        return referred;
    for (const rs::Sheet& s : rs::sheets())
        if (s.table == last.table)
            return s;
    throw dataset::UsageError(QStringLiteral("no sheet keeps %1").arg(last.table));
}

QString firstKeyOf(const QString& table)
{
    for (const dataset::ColumnDescription& c : dm::tableDescription(table).columns)
        if (c.key)
            return c.name;
    throw dataset::UsageError(QStringLiteral("table %1 has no key").arg(table));
}

bool isBlank(const fb::Value& v)
{
    return v.isNull() || (v.type() == fb::Value::Type::Text && v.toString().isEmpty());
}

// Whether a stored value is the one the workbook gives (an empty text and
// NULL are the same; numbers as the field keeps them).
bool same(const fb::Value& stored, const fb::Value& wanted)
{
    if (isBlank(stored) || isBlank(wanted))
        return isBlank(stored) && isBlank(wanted);
    switch (wanted.type()) {
        case fb::Value::Type::Integer:
        case fb::Value::Type::Double:
            return std::fabs(stored.toDouble() - wanted.toDouble()) <=
                   1e-9 * std::max(1.0, std::fabs(wanted.toDouble()));
        case fb::Value::Type::Date:
            return stored.toDate() == wanted.toDate();
        default:
            return stored.toString() == wanted.toString();
    }
}

using ByHeading = QHash<QString, fb::Value>;

QString keyText(const rs::Sheet& sheet, const ByHeading& values)
{
    QStringList parts{sheet.name};
    for (const rs::Column& c : sheet.columns)
        if (rs::isKey(c))
            parts << values.value(c.heading).toString();
    return parts.join(QChar(0x1f));
}

// One row to store: the fields and values of the sheet's table, the ones
// that find it among the stored rows first.
struct Row {
    QStringList fields;
    std::vector<fb::Value> values;
    int keys = 0;
    void add(const QString& field, const fb::Value& value, bool key)
    {
        const auto at = key ? keys++ : qsizetype(fields.size());
        fields.insert(at, field);
        values.insert(values.begin() + at, value);
    }
    QString condition() const
    {
        QStringList parts;
        for (int i = 0; i < keys; ++i)
            parts << fields[i] + QStringLiteral(" = ?");
        return parts.join(QStringLiteral(" and "));
    }
};

class Importer {
public:
    Importer(fb::Connection& connection, fb::Transaction& tr) : connection_(connection), tr_(tr) {}

    void write(const rs::Sheet& sheet, const Record& record, Counts& counts, std::vector<Refusal>& refusals);

private:
    fb::Statement& statement(const QString& sql);
    const Layout& layout(const rs::Sheet& sheet);
    std::optional<fb::Value> first(const QString& sql, const std::vector<fb::Value>& params);
    std::optional<qint64> find(const rs::Sheet& sheet, const ByHeading& values);
    std::optional<fb::Value> resolve(const rs::Sheet& sheet, const Link& link, const ByHeading& values,
                                     QString& reason);
    QString ruleRefusal(const rs::Sheet& sheet, const Row& row);
    void store(const rs::Sheet& sheet, const Layout& l, const Row& row, const QString& key, Counts& counts);
    void afterWrite(const rs::Sheet& sheet, const Row& row, const fb::Value& id, bool added);
    fb::Value valueOf(const Row& row, const char* field) const;

    fb::Connection& connection_;
    fb::Transaction& tr_;
    std::map<QString, std::unique_ptr<fb::Statement>> statements_;
    std::map<QString, Layout> layouts_;
    QHash<QString, qint64> found_;  // rows found or written, by sheet and key
    QHash<QString, int> seen_;      // the workbook's rows by sheet and key
};

fb::Statement& Importer::statement(const QString& sql)
{
    auto& st = statements_[sql];
    if (!st)
        st = std::make_unique<fb::Statement>(connection_, sql);
    return *st;
}

const Layout& Importer::layout(const rs::Sheet& sheet)
{
    auto it = layouts_.find(sheet.name);
    if (it == layouts_.end())
        it = layouts_.emplace(sheet.name, layoutOf(sheet)).first;
    return it->second;
}

// The first column of the first row a select gives; nullopt when none.
std::optional<fb::Value> Importer::first(const QString& sql, const std::vector<fb::Value>& params)
{
    fb::Statement& st = statement(sql);
    for (size_t i = 0; i < params.size(); ++i)
        st.bind(int(i), params[i]);
    st.open(tr_);
    std::optional<fb::Value> out;
    if (st.fetch())
        out = st.value(0);
    st.close();
    return out;
}

std::optional<qint64> Importer::find(const rs::Sheet& sheet, const ByHeading& values)
{
    const QString key = keyText(sheet, values);
    if (const auto it = found_.find(key); it != found_.end())
        return *it;
    const Layout& l = layout(sheet);
    Row row;
    for (size_t i : l.own)
        if (rs::isKey(sheet.columns[i]))
            row.add(sheet.columns[i].field, values.value(sheet.columns[i].heading), true);
    QString reason;
    for (const Link& link : l.links) {
        if (!link.key)
            continue;
        const std::optional<fb::Value> id = resolve(sheet, link, values, reason);
        if (!id || id->isNull())
            return std::nullopt;
        row.add(link.via, *id, true);
    }
    const auto id = first(QStringLiteral("select %1 from %2 where %3").arg(l.generatedKey, l.sqlTable, row.condition()),
                          row.values);
    if (!id)
        return std::nullopt;
    found_.insert(key, id->toInt64());
    return id->toInt64();
}

std::optional<fb::Value> Importer::resolve(const rs::Sheet& sheet, const Link& link, const ByHeading& values,
                                           QString& reason)
{
    bool blank = true;
    for (size_t i : link.columns)
        blank = blank && values.value(sheet.columns[i].heading).isNull();
    if (blank)
        return fb::Value();
    const rs::Column& last = sheet.columns[link.columns.back()];
    if (last.refers.isEmpty()) {
        const fb::Value name = values.value(last.heading);
        const auto id = first(QStringLiteral("select %1 from %2 where %3 = ?")
                                  .arg(firstKeyOf(last.table), dm::tableDescription(last.table).sqlName, last.field),
                              {name});
        if (!id)
            reason = QStringLiteral("„%1“ няма в списъка").arg(name.toString());
        return id;
    }
    const rs::Sheet& target = targetOf(sheet, link);
    const std::optional<qint64> id = find(target, values);
    if (!id) {
        QStringList named;
        for (size_t i : link.columns)
            named << values.value(sheet.columns[i].heading).toString();
        reason =
            QStringLiteral("няма %1 в лист „%2“ или в регистъра").arg(named.join(QStringLiteral(", ")), target.name);
        return std::nullopt;
    }
    return fb::Value(*id);
}

fb::Value Importer::valueOf(const Row& row, const char* field) const
{
    const qsizetype at = row.fields.indexOf(QLatin1String(field));
    return at < 0 ? fb::Value() : row.values[size_t(at)];
}

// What the screens check beyond each value on its own.
QString Importer::ruleRefusal(const rs::Sheet& sheet, const Row& row)
{
    if (sheet.table == QLatin1String("ZEMLISHTE") &&
        !first(QStringLiteral("select ekatte from nas_mqsto where ekatte = ?"), {valueOf(row, "EKATTE")}))
        return QStringLiteral("няма населено място с ЕКАТТЕ „%1“").arg(valueOf(row, "EKATTE").toString());
    if (sheet.table == QLatin1String("DOG DANNI")) {
        const fb::Value state = valueOf(row, "SYSTOQNIE");
        if (!isBlank(state) && state.toString() != kInForce && state.toString() != kEnded)
            return QStringLiteral("състоянието е „%1“ или „%2“").arg(kInForce, kEnded);
        const fb::Value from = valueOf(row, "OTDATA"), to = valueOf(row, "DODATA");
        if (!from.isNull() && !to.isNull() && from.toDate() > to.toDate())
            return QStringLiteral("началото на срока е след края му");
    }
    if (sheet.table == QLatin1String("DOGHORAZEMI")) {
        const std::vector<fb::Value> share{valueOf(row, "ID_SOBSTV"), valueOf(row, "ID_ZEMQ")};
        if (!first(QStringLiteral("select 1 from sobstv where id_hora = ? and id_zemq = ?"), share))
            return QStringLiteral("собственикът няма дял в този имот");
        const auto other =
            first(QStringLiteral("select d.nomer from sobstv s join \"DOG DANNI\" d on d.id_dog = s.id_dog "
                                 "where s.id_hora = ? and s.id_zemq = ? and d.id_dog <> ? "
                                 "and coalesce(d.systoqnie, '') <> ?"),
                  {share[0], share[1], valueOf(row, "ID_DOG"), fb::Value(kEnded)});
        const auto state =
            first(QStringLiteral("select systoqnie from \"DOG DANNI\" where id_dog = ?"), {valueOf(row, "ID_DOG")});
        if (other && !(state && state->toString() == kEnded))
            return QStringLiteral("делът вече е в действащ договор № %1").arg(other->toString());
    }
    return {};
}

// A contract line binds its share to the contract, as adding the share to
// the contract on its screen does; a contract in force takes it over from a
// terminated one.
void Importer::afterWrite(const rs::Sheet& sheet, const Row& row, const fb::Value& id, bool added)
{
    if (sheet.table == QLatin1String("ZEMLISHTE") && added) {
        fb::Statement& st = statement(QStringLiteral(
            "update zemlishte z set id_obsht = (select n.id_obsht from nas_mqsto n where n.ekatte = z.ekatte), "
            "id_obl = (select o.id_obl from nas_mqsto n join obshtina o on o.id_obsht = n.id_obsht "
            "where n.ekatte = z.ekatte) where z.id_zeml = ?"));
        st.bind(0, id);
        st.execute(tr_);
    }
    if (sheet.table != QLatin1String("DOGHORAZEMI"))
        return;
    const fb::Value contract = valueOf(row, "ID_DOG");
    const auto state = first(QStringLiteral("select systoqnie from \"DOG DANNI\" where id_dog = ?"), {contract});
    const auto bound = first(QStringLiteral("select coalesce(id_dog, 0) from sobstv where id_hora = ? and id_zemq = ?"),
                             {valueOf(row, "ID_SOBSTV"), valueOf(row, "ID_ZEMQ")});
    // A terminated contract keeps a share no other contract has taken since.
    if (state && state->toString() == kEnded && bound && bound->toInt64() != 0 &&
        bound->toInt64() != contract.toInt64())
        return;
    fb::Statement& st =
        statement(QStringLiteral("update sobstv set id_dog = ?, id_dhz = ? where id_hora = ? and id_zemq = ? "
                                 "and (id_dog is distinct from ? or id_dhz is distinct from ?)"));
    const std::vector<fb::Value> params{contract, id, valueOf(row, "ID_SOBSTV"), valueOf(row, "ID_ZEMQ"), contract, id};
    for (size_t i = 0; i < params.size(); ++i)
        st.bind(int(i), params[i]);
    st.execute(tr_);
}

void Importer::write(const rs::Sheet& sheet, const Record& record, Counts& counts, std::vector<Refusal>& refusals)
{
    const auto refuse = [&](const QString& column, const QString& reason) {
        refusals.push_back({sheet.name, record.row, column, reason});
    };
    ByHeading values;
    for (size_t i = 0; i < sheet.columns.size(); ++i) {
        if (sheet.columns[i].role == rs::Role::Info)
            continue;
        if (rs::isKey(sheet.columns[i]) && record.values[i].isNull())
            return refuse(sheet.columns[i].heading, QStringLiteral("ключовата колона е празна"));
        values.insert(sheet.columns[i].heading, record.values[i]);
    }
    const QString key = keyText(sheet, values);
    if (const auto it = seen_.find(key); it != seen_.end())
        return refuse({}, QStringLiteral("същият запис е и на ред %1").arg(*it));
    seen_.insert(key, record.row);
    const Layout& l = layout(sheet);
    Row row;
    for (size_t i : l.own)
        row.add(sheet.columns[i].field, record.values[i], rs::isKey(sheet.columns[i]));
    for (const Link& link : l.links) {
        QString reason;
        const std::optional<fb::Value> id = resolve(sheet, link, values, reason);
        if (!id)
            return refuse(sheet.columns[link.columns.front()].heading, reason);
        row.add(link.via, *id, link.key);
    }
    if (const QString reason = ruleRefusal(sheet, row); !reason.isEmpty())
        return refuse({}, reason);
    store(sheet, l, row, key, counts);
}

void Importer::store(const rs::Sheet& sheet, const Layout& l, const Row& row, const QString& key, Counts& counts)
{
    QStringList selected = row.fields;
    if (!l.generatedKey.isEmpty())
        selected << l.generatedKey;
    fb::Statement& select = statement(QStringLiteral("select %1 from %2 where %3")
                                          .arg(selected.join(QStringLiteral(", ")), l.sqlTable, row.condition()));
    for (int i = 0; i < row.keys; ++i)
        select.bind(i, row.values[size_t(i)]);
    select.open(tr_);
    const bool found = select.fetch();
    bool equal = true;
    fb::Value id;
    if (found) {
        for (qsizetype i = 0; i < row.fields.size(); ++i)
            equal = equal && same(select.value(int(i)), row.values[size_t(i)]);
        if (!l.generatedKey.isEmpty())
            id = select.value(int(row.fields.size()));
    }
    select.close();
    if (found && equal) {
        ++counts.unchanged;
    } else if (found) {
        QStringList sets;
        for (qsizetype i = row.keys; i < row.fields.size(); ++i)
            sets << row.fields[i] + QStringLiteral(" = ?");
        fb::Statement& update = statement(QStringLiteral("update %1 set %2 where %3")
                                              .arg(l.sqlTable, sets.join(QStringLiteral(", ")), row.condition()));
        int at = 0;
        for (size_t i = size_t(row.keys); i < row.values.size(); ++i)
            update.bind(at++, row.values[i]);
        for (int i = 0; i < row.keys; ++i)
            update.bind(at++, row.values[size_t(i)]);
        update.execute(tr_);
        ++counts.changed;
    } else {
        const QString returning = l.generatedKey.isEmpty() ? QString() : QStringLiteral(" returning ") + l.generatedKey;
        fb::Statement& insert =
            statement(QStringLiteral("insert into %1 (%2) values (%3)%4")
                          .arg(l.sqlTable, row.fields.join(QStringLiteral(", ")),
                               QStringList(row.fields.size(), QStringLiteral("?")).join(u','), returning));
        for (size_t i = 0; i < row.values.size(); ++i)
            insert.bind(int(i), row.values[i]);
        insert.execute(tr_);
        if (!l.generatedKey.isEmpty())
            id = insert.value(0);
        ++counts.added;
    }
    if (!l.generatedKey.isEmpty())
        found_.insert(key, id.toInt64());
    afterWrite(sheet, row, id, !found);
}

// The rows of each sheet with a refusal, whatever found it.
void countRefused(Preview& preview)
{
    QSet<QString> rows;
    for (const Refusal& r : preview.refusals) {
        if (r.row <= 0 || rows.contains(r.sheet + QString::number(r.row)))
            continue;
        rows.insert(r.sheet + QString::number(r.row));
        for (auto& [sheet, counts] : preview.sheets)
            if (sheet == r.sheet)
                ++counts.refused;
    }
}

Preview run(dataset::Database& database, const Records& records, bool commit)
{
    database.ensureConnected();
    fb::Connection& connection = database.connection();
    fb::Transaction tr(connection, fb::TransactionOptions::snapshot());
    tr.start();
    Preview preview;
    preview.refusals = records.refusals;
    {
        Importer importer(connection, tr);
        for (const SheetRecords& sheet : records.sheets) {
            Counts counts;
            for (const Record& record : sheet.records)
                importer.write(*sheet.sheet, record, counts, preview.refusals);
            preview.sheets.emplace_back(sheet.sheet->name, counts);
        }
    }
    countRefused(preview);
    if (!commit || !preview.clean()) {
        tr.rollback();
        return preview;
    }
    tr.commit();
    schema::rent::bringUpToDate(connection);
    schema::plots::bringUpToDate(connection);
    return preview;
}

}  // namespace

Preview preview(dataset::Database& database, const Records& records)
{
    return run(database, records, false);
}

Preview apply(dataset::Database& database, const Records& records)
{
    return run(database, records, true);
}

}  // namespace transfers::register_import
