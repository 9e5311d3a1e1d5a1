#include "schema/schema.h"

#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/change_trail.h"
#include "schema/csv.h"
#include "schema/plot_area_cache.h"
#include "schema/receipt_series.h"
#include "schema/roles.h"
#include "schema/rent_due_cache.h"

#include <QFile>

#include <algorithm>
#include <optional>

namespace schema {

namespace {

QString columnType(const QString& type)
{
    if (type.startsWith(QLatin1String("text ")))
        return QStringLiteral("varchar(%1)").arg(type.mid(5));
    if (type == QLatin1String("float"))
        return QStringLiteral("double precision");
    return type;
}

// Object names built from a table name (keys, triggers, indexes) keep the
// table's blank where the name is quoted anyway, and use '_' elsewhere.
QString plainName(const char* table)
{
    return QString::fromLatin1(table).replace(QLatin1Char(' '), QLatin1Char('_'));
}

QString createTable(const TableDef& t)
{
    QStringList parts;
    QStringList keys;
    for (const ColumnDef& c : t.columns) {
        parts << QStringLiteral("%1 %2%3").arg(QLatin1String(c.name), columnType(QLatin1String(c.type)),
                                               c.key ? QStringLiteral(" not null") : QString());
        if (c.key)
            keys << QLatin1String(c.name);
    }
    if (!keys.isEmpty())
        parts << QStringLiteral("constraint %1 primary key (%2)")
                     .arg(sqlName((QByteArray("PK_") + t.name).constData()), keys.join(QLatin1String(", ")));
    return QStringLiteral("create table %1 (%2)").arg(sqlName(t.name), parts.join(QLatin1String(", ")));
}

// The key is taken from the sequence when the insert sends none. A row
// inserted with its own key moves the sequence past it, so that keys given
// later by the database keep growing beyond every key in the table.
QStringList generatedKey(const TableDef& t)
{
    const QString key = QLatin1String(t.generatedKey);
    const QString seq = QStringLiteral("GEN_") + key;
    const QString trigger = QStringLiteral(
                                "create trigger BI_%1 for %2 active before insert position 0 as\n"
                                "declare variable moved bigint;\n"
                                "begin\n"
                                "  if (new.%3 is null) then\n"
                                "    new.%3 = next value for %4;\n"
                                "  else if (new.%3 > gen_id(%4, 0)) then\n"
                                "    moved = gen_id(%4, new.%3 - gen_id(%4, 0));\n"
                                "end")
                                .arg(plainName(t.name), sqlName(t.name), key, seq);
    return {QStringLiteral("create sequence ") + seq, trigger};
}

const QString kVersionTable = QStringLiteral("create table ARVENTA_SCHEMA (VERSION integer not null)");

// An owner's share finds its contract lines by plot and owner at once (the
// properties by owner join them so), not by two indexes merged for every share.
const QString kLinesByPlotAndOwner =
    QStringLiteral("create index IX_DOGHORAZEMI_ZEMQ_SOBSTV on DOGHORAZEMI (ID_ZEMQ, ID_SOBSTV)");

// A locality's plots in the order of their key, walked along the index: the
// first of thousands come without the engine reading and sorting them all.
const QString kPlotsByLocality = QStringLiteral("create index IX_ZEMQ_MEST_ZEMQ on ZEMQ (ID_MEST, ID_ZEMQ)");

// The owners register lists the owners by identifier and name: read along
// this index, its first rows come without the engine sorting every owner.
const QString kOwnersInListOrder = QStringLiteral("create index IX_HORA_EGN_IME on HORA (EGN, IME)");

// The rent lists name the shares whose figures no statement can multiply
// every time they open: the areas are indexed so that finding none is a look
// at the ends of two indexes, not a read of every share.
const QStringList kAreaIndexes = {
    QStringLiteral("create index IX_SOBSTV_PRREDPL on SOBSTV (PRREDPL)"),
    QStringLiteral("create index IX_DOGHORAZEMI_REDPLOSHT on DOGHORAZEMI (REDPLOSHT)"),
};

struct ReferenceFile {
    const char* file;
    const char* table;
};

// The delivered rows, in the order they are loaded. The geography and the
// countries are the official nomenclatures as published (see SOURCES.md).
const ReferenceFile kReferenceFiles[] = {
    {"oblasti.csv", "OBLAST"},
    {"obshtini.csv", "OBSHTINA"},
    {"nas_mqsta.csv", "NAS_MQSTO"},
    {"countries.csv", "COUNTRY"},
    {"VZP.csv", "VZP"},
    {"NTP.csv", "NTP"},
    {"FS.csv", "FS"},
    {"CATEGORY_COEFFICIENT.csv", "CATEGORY_COEFFICIENT"},
    {"VID_RENTA.csv", "VID_RENTA"},
    {"RENTAKULT.csv", "RENTAKULT"},
    {"KULTURA.csv", "KULTURA"},
    {"VIDDOKSOBSTV.csv", "VIDDOKSOBSTV"},
    {"DOGTIP.csv", "DOGTIP"},
    {"VID_DOG.csv", "VID_DOG"},
};

void loadTable(fb::Connection& c, fb::Transaction& tr, const ReferenceFile& ref)
{
    QFile f(QStringLiteral(":/schema/data/") + QLatin1String(ref.file));
    if (!f.open(QIODevice::ReadOnly))
        throw fb::Error(QStringLiteral("Reference data %1 is missing from the program").arg(QLatin1String(ref.file)));
    const auto records = parseCsv(QString::fromUtf8(f.readAll()));
    if (records.empty())
        return;
    const QStringList header = records.front();
    QStringList columns, marks;
    for (const QString& h : header) {
        columns << h.toUpper();
        marks << QStringLiteral("?");
    }
    fb::Statement insert(
        c, QStringLiteral("insert into %1 (%2) values (%3)")
               .arg(sqlName(ref.table), columns.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
    for (size_t r = 1; r < records.size(); ++r) {
        for (qsizetype i = 0; i < header.size(); ++i)
            insert.bind(static_cast<int>(i), i < records[r].size() ? fb::Value(records[r][i]) : fb::Value());
        insert.execute(tr);
    }
}

}  // namespace

QString sqlName(const char* table)
{
    const QString name = QLatin1String(table);
    return name.contains(QLatin1Char(' ')) ? QLatin1Char('"') + name + QLatin1Char('"') : name;
}

QStringList ddl()
{
    QStringList statements;
    for (const TableDef& t : tables()) {
        statements << createTable(t);
        if (t.generatedKey)
            statements << generatedKey(t);
        for (const char* column : t.indexes)
            statements << QStringLiteral("create index IX_%1_%2 on %3 (%2)")
                              .arg(plainName(t.name), QLatin1String(column), sqlName(t.name));
    }
    statements << rent::dueCacheDdl();
    statements << rent::unpaidDueDdl();
    statements << receiptSeriesDdl();
    statements << plots::areaCacheDdl();
    statements << plots::localityCacheDdl();
    statements << kLinesByPlotAndOwner;
    statements << kAreaIndexes;
    statements << kPlotsByLocality;
    statements << kOwnersInListOrder;
    statements << trail::trailDdl();
    statements << roles::roleDdl();
    statements << kVersionTable;
    return statements;
}

namespace {

bool tableExists(fb::Connection& connection, fb::Transaction& tr, const char* table)
{
    return fb::fetchScalar(connection, tr,
                           QStringLiteral("select count(*) from rdb$relations where rdb$relation_name = ?"),
                           {QString::fromLatin1(table)})
               .toInt() > 0;
}

bool indexExists(fb::Connection& connection, fb::Transaction& tr, const char* index)
{
    return fb::fetchScalar(connection, tr, QStringLiteral("select count(*) from rdb$indices where rdb$index_name = ?"),
                           {QString::fromLatin1(index)})
               .toInt() > 0;
}

// A database without the version table holds the register of the first
// version. Two desks may both find it missing: the one that comes second
// to make it finds it made and goes on.
void ensureVersionTable(fb::Connection& connection)
{
    fb::Transaction tr(connection);
    if (!tableExists(connection, tr, "ARVENTA_SCHEMA")) {
        try {
            connection.executeImmediate(tr, kVersionTable);
            tr.commit();
        } catch (const fb::Error&) {
            tr.rollback();
            if (!tableExists(connection, tr, "ARVENTA_SCHEMA"))
                throw;
        }
    }
    // Two rows of version 1 are harmless: the version is their maximum, and
    // the upgrade that follows leaves one.
    if (fb::fetchScalar(connection, tr, QStringLiteral("select count(*) from arventa_schema")).toInt() == 0)
        fb::execute(connection, tr, QStringLiteral("insert into arventa_schema (version) values (1)"));
    tr.commit();
}

// The register's version, read with its rows locked by `lock`. A desk
// starting at the same time waits here until the upgrade holding the lock
// has ended; when that one committed, the wait ends in a conflict and
// nothing is returned: read the version again.
std::optional<int> lockedVersion(fb::Connection& connection, fb::Transaction& lock)
{
    constexpr long kDeadlock = 335544336L, kUpdateConflict = 335544451L;
    fb::Statement st(connection, QStringLiteral("select version from arventa_schema with lock"));
    try {
        int version = 0;
        st.open(lock);
        while (st.fetch())
            version = std::max(version, st.value(0).toInt());
        st.close();
        return version;
    } catch (const fb::Error& e) {
        if (!e.has(kDeadlock) && !e.has(kUpdateConflict))
            throw;
        lock.rollback();
        return std::nullopt;
    }
}

// The marks of changed plots and owners lose their indexes: each
// transaction finds its own marks in a temporary table instead.
void unindexMarks(fb::Connection& connection, fb::Transaction& tr)
{
    if (!tableExists(connection, tr, "ZEMQ_DOGPL_PROM_TR")) {
        for (const QString& statement : plots::markedInTransactionDdl())
            connection.executeImmediate(tr, statement);
    }
    if (!tableExists(connection, tr, "NACH_RENTA_PROM_TR")) {
        for (const QString& statement : rent::markedInTransactionDdl())
            connection.executeImmediate(tr, statement);
    }
    tr.commit();
    connection.executeImmediate(tr, plots::markProcedure());
    connection.executeImmediate(tr, rent::markProcedure());
    for (const char* index : {"IX_ZEMQ_DOGPL_PROM_ID_ZEMQ", "IX_NACH_RENTA_PROM_ID_HORA"}) {
        if (indexExists(connection, tr, index))
            connection.executeImmediate(tr, QStringLiteral("drop index ") + QLatin1String(index));
    }
    tr.commit();
}

// The steps from `version` to kVersion, each committed.
void upgradeFrom(int version, fb::Connection& connection)
{
    fb::Transaction tr(connection);
    const auto exists = [&](const char* table) { return tableExists(connection, tr, table); };
    // Tables made in a transaction can be written only after it commits; a
    // step broken off between the two commits finds its tables made already.
    if (version < 2) {
        if (!exists("NACH_RENTA")) {
            for (const QString& statement : rent::dueCacheDdl())
                connection.executeImmediate(tr, statement);
            tr.commit();
        }
        rent::startDueCache(connection, tr);
    }
    if (version < 3) {
        if (!exists("NACH_RENTA_NR")) {
            for (const QString& statement : rent::unpaidDueDdl())
                connection.executeImmediate(tr, statement);
            tr.commit();
        }
        rent::markEveryone(connection, tr);
    }
    if (version < 4) {
        if (!exists("RAZP_NOMERA")) {
            for (const QString& statement : receiptSeriesDdl())
                connection.executeImmediate(tr, statement);
            tr.commit();
        }
        startReceiptSeries(connection, tr);
    }
    if (version < 5) {
        if (!exists("ZEMQ_DOGPL")) {
            for (const QString& statement : plots::areaCacheDdl())
                connection.executeImmediate(tr, statement);
            connection.executeImmediate(tr, kLinesByPlotAndOwner);
            tr.commit();
        }
        // Filled with the sums per locality by the seventh step.
    }
    if (version < 6) {
        if (!indexExists(connection, tr, "IX_SOBSTV_PRREDPL")) {
            for (const QString& statement : kAreaIndexes)
                connection.executeImmediate(tr, statement);
            tr.commit();
        }
    }
    if (version < 7) {
        // The table and the index apart: an index of a table made again by
        // the fifth step is gone with the table it had.
        const QStringList made = plots::localityCacheDdl();
        if (!exists("ZEMQ_DOGPL_MEST"))
            connection.executeImmediate(tr, made[0]);
        if (!indexExists(connection, tr, "IX_ZEMQ_DOGPL_ID_MEST"))
            connection.executeImmediate(tr, made[1]);
        tr.commit();
        plots::startAreaCache(connection, tr);
    }
    if (version < 8 && !indexExists(connection, tr, "IX_ZEMQ_MEST_ZEMQ")) {
        connection.executeImmediate(tr, kPlotsByLocality);
        tr.commit();
    }
    if (version < 9) {
        unindexMarks(connection, tr);
        if (!tableExists(connection, tr, "JURNAL_PROM")) {
            for (const QString& statement : trail::trailDdl())
                connection.executeImmediate(tr, statement);
            tr.commit();
        }
        if (!indexExists(connection, tr, "IX_HORA_EGN_IME")) {
            connection.executeImmediate(tr, kOwnersInListOrder);
            tr.commit();
        }
    }
    if (version < 10) {
        roles::ensureRoles(connection, tr);
        tr.commit();
    }
    // Whatever a step made gets its rights.
    roles::grantRights(connection, tr);
    tr.commit();
}

}  // namespace

void upgrade(fb::Connection& connection)
{
    ensureVersionTable(connection);
    // A register up to date is only read: a user whose role may not change
    // the version (or anything else) starts on it all the same.
    {
        fb::Transaction read(connection, fb::TransactionOptions::readCommitted(true));
        if (fb::fetchScalar(connection, read, QStringLiteral("select max(version) from arventa_schema")).toInt() >=
            kVersion)
            return;
    }
    // The lock is held from the version's reading to its update, so two
    // desks starting at once on an older register upgrade it once.
    for (;;) {
        fb::Transaction lock(connection, fb::TransactionOptions::readCommitted(true));
        const std::optional<int> version = lockedVersion(connection, lock);
        if (!version)
            continue;
        if (*version >= kVersion)
            return;
        upgradeFrom(*version, connection);
        // One row again, also where two desks both gave a new version table its first.
        fb::execute(connection, lock, QStringLiteral("delete from arventa_schema"));
        fb::execute(connection, lock, QStringLiteral("insert into arventa_schema (version) values (?)"), {kVersion});
        lock.commit();
        return;
    }
}

void loadReferenceData(fb::Connection& connection, fb::Transaction& tr)
{
    for (const ReferenceFile& ref : kReferenceFiles)
        loadTable(connection, tr, ref);
    fb::execute(connection, tr, QStringLiteral("insert into ARVENTA_SCHEMA (VERSION) values (?)"), {kVersion});
}

void createDatabase(const QString& path, const fb::CreateOptions& options)
{
    if (QFile::exists(fb::Connection::resolve(path)))
        throw fb::Error(QStringLiteral("%1 already exists; a new database is never written over a file").arg(path));
    fb::Connection c;
    c.create(path, options);
    try {
        fb::Transaction tr(c);
        for (const QString& statement : ddl())
            c.executeImmediate(tr, statement);
        tr.commit();
        roles::grantRights(c, tr);
        tr.commit();
        loadReferenceData(c, tr);
        tr.commit();
        c.detach();
    } catch (...) {
        // Leave no half-made database behind.
        try {
            c.detach();
        } catch (const fb::Error&) {
        }
        QFile::remove(fb::Connection::resolve(path));
        throw;
    }
}

}  // namespace schema
