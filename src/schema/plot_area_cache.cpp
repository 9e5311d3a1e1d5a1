#include "schema/plot_area_cache.h"

#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QSet>

namespace schema::plots {

namespace {

// Which plots a change of one input row touches, as PSQL that marks them;
// %1 is the row ("new" or "old").
struct Input {
    const char* table;    // as written in SQL
    const char* name;     // for the trigger's name
    const char* columns;  // the columns the kept rows read; other changes mark nothing
    const char* marks;
};

const Input kInputs[] = {
    {"zemq", "ZEMQ", "id_zemq, id_mest, plosht", "execute procedure zemq_dogpl_mark(%1.id_zemq);"},
    {"doghorazemi", "DOGHORAZEMI", "id_zemq, id_dog, redplosht",
     "if (%1.id_zemq is not null) then execute procedure zemq_dogpl_mark(%1.id_zemq);"},
    {"\"DOG DANNI\"", "DOG_DANNI", "id_dog, systoqnie",
     "for select distinct id_zemq from doghorazemi where id_dog = %1.id_dog and id_zemq is not null"
     " into :plot do execute procedure zemq_dogpl_mark(:plot);"},
};

QString trigger(const Input& in)
{
    QStringList same;
    for (const QString& column : QString::fromLatin1(in.columns).split(QStringLiteral(", ")))
        same << QStringLiteral("new.%1 is not distinct from old.%1").arg(column);
    const QString marks = QString::fromUtf8(in.marks);
    return QStringLiteral(
               "create trigger ZD_%1 for %2 active after insert or update or delete position 21 as\n"
               "declare variable plot integer;\n"
               "begin\n  if (updating and %3) then\n    exit;\n"
               "  if (not deleting) then\n  begin\n    %4\n  end\n"
               "  if (not inserting) then\n  begin\n    %5\n  end\nend")
        .arg(QLatin1String(in.name), QString::fromUtf8(in.table), same.join(QStringLiteral(" and ")),
             marks.arg(QStringLiteral("new")), marks.arg(QStringLiteral("old")));
}

const QString kColumns = QStringLiteral("id_zemq, id_mest, plosht, redpl, lines");
const QString kMarkedPlots = QStringLiteral("select distinct id_zemq from zemq_dogpl_prom");

// The lines of plot `z` under contracts not terminated.
const QString kLinesOfPlot = QStringLiteral(
    "from doghorazemi d inner join \"DOG DANNI\" g on g.id_dog = d.id_dog "
    "where d.id_zemq = z.id_zemq and g.systoqnie<>'Прекратен'");

// The localities of the marked plots' kept rows.
QSet<int> localitiesOfMarked(fb::Connection& connection, fb::Transaction& tr)
{
    fb::Statement st(
        connection,
        QStringLiteral("execute block returns (mest integer) as declare variable plot integer; begin for ") +
            kMarkedPlots +
            QStringLiteral(" into :plot do begin mest = null; select id_mest from zemq_dogpl where id_zemq = :plot "
                           "into :mest; if (mest is not null) then suspend; end end"));
    QSet<int> localities;
    for (const auto& row : fb::fetchAll(st, tr))
        localities.insert(row[0].toInt());
    return localities;
}

// Each locality's figures added up again from its kept plot rows.
void computeLocalities(fb::Connection& connection, fb::Transaction& tr, const QSet<int>& localities)
{
    fb::Statement remove(connection, QStringLiteral("delete from zemq_dogpl_mest where id_mest = ?"));
    fb::Statement insert(
        connection, QStringLiteral("insert into zemq_dogpl_mest (id_mest, sumplosht, redpl) ") +
                        localityAreas(QStringLiteral("select %1 from zemq_dogpl where id_mest = ?").arg(kColumns)));
    for (const int locality : localities) {
        remove.bind(0, locality);
        remove.execute(tr);
        insert.bind(0, locality);
        insert.execute(tr);
    }
}

}  // namespace

QStringList markedInTransactionDdl()
{
    return {
        QStringLiteral("create global temporary table ZEMQ_DOGPL_PROM_TR (ID_ZEMQ integer, TRANS bigint) "
                       "on commit delete rows"),
        QStringLiteral("create index IX_ZEMQ_DOGPL_PROM_TR on ZEMQ_DOGPL_PROM_TR (ID_ZEMQ)"),
    };
}

// A transaction marks a plot once, whatever marks other transactions have
// committed: those may be taken away by a bringing up to date that cannot
// see this transaction's changes yet. What this transaction marked it finds
// in a table of its own, so that the marks themselves need no index: their
// table is emptied at every bringing up to date, and an index emptied at
// once is what a process killed while the engine clears it away left damaged.
QString markProcedure()
{
    return QStringLiteral(
        "create or alter procedure ZEMQ_DOGPL_MARK (PLOT integer) as\n"
        "begin\n"
        "  if (not exists(select 1 from zemq_dogpl_prom_tr where id_zemq = :plot\n"
        "                 and trans = current_transaction)) then\n"
        "  begin\n"
        "    insert into zemq_dogpl_prom_tr (id_zemq, trans) values (:plot, current_transaction);\n"
        "    insert into zemq_dogpl_prom (id_zemq) values (:plot);\n"
        "  end\n"
        "end");
}

QStringList areaCacheDdl()
{
    QStringList ddl = {
        QStringLiteral("create table ZEMQ_DOGPL (ID_ZEMQ integer not null, ID_MEST integer, PLOSHT double precision, "
                       "REDPL double precision, LINES integer, constraint PK_ZEMQ_DOGPL primary key (ID_ZEMQ))"),
        QStringLiteral("create table ZEMQ_DOGPL_PROM (ID_ZEMQ integer)"),
    };
    ddl << markedInTransactionDdl() << markProcedure();
    for (const Input& in : kInputs)
        ddl << trigger(in);
    return ddl;
}

QStringList markingTriggers()
{
    QStringList names;
    for (const Input& in : kInputs)
        names << QStringLiteral("ZD_") + QLatin1String(in.name);
    return names;
}

QStringList localityCacheDdl()
{
    return {
        QStringLiteral("create table ZEMQ_DOGPL_MEST (ID_MEST integer not null, SUMPLOSHT double precision, "
                       "REDPL double precision, constraint PK_ZEMQ_DOGPL_MEST primary key (ID_MEST))"),
        QStringLiteral("create index IX_ZEMQ_DOGPL_ID_MEST on ZEMQ_DOGPL (ID_MEST)"),
    };
}

QString plotAreas(const QString& plots)
{
    const QString from = plots.isEmpty()
                             ? QStringLiteral("from zemq z")
                             : QStringLiteral("from (%1) M inner join zemq z on z.id_zemq = M.id_zemq").arg(plots);
    return QStringLiteral(
               "select z.id_zemq, z.id_mest, z.plosht, (select sum(d.redplosht) %1) redpl, "
               "(select count(*) %1) lines %2")
        .arg(kLinesOfPlot, from);
}

QString keptPlotAreas()
{
    return QStringLiteral("select %1 from zemq_dogpl").arg(kColumns);
}

// The area is empty, never 0, when no plot of the locality has one.
QString localityAreas(const QString& plots)
{
    return QStringLiteral(
               "select K.id_mest, sum(K.plosht) sumplosht, coalesce(sum(K.redpl), 0) redpl from (%1) K where K.id_mest "
               "is not null "
               "group by K.id_mest")
        .arg(plots);
}

QString keptLocalityAreas()
{
    return QStringLiteral("select id_mest, sumplosht, redpl from zemq_dogpl_mest");
}

void startAreaCache(fb::Connection& connection, fb::Transaction& tr)
{
    fb::execute(connection, tr, QStringLiteral("delete from zemq_dogpl"));
    fb::execute(connection, tr, QStringLiteral("insert into zemq_dogpl (%1) ").arg(kColumns) + plotAreas());
    fb::execute(connection, tr, QStringLiteral("delete from zemq_dogpl_prom"));
    fb::execute(connection, tr, QStringLiteral("delete from zemq_dogpl_mest"));
    fb::execute(
        connection, tr,
        QStringLiteral("insert into zemq_dogpl_mest (id_mest, sumplosht, redpl) ") + localityAreas(keptPlotAreas()));
}

int bringUpToDate(fb::Connection& connection)
{
    fb::Transaction tr(connection, fb::TransactionOptions::snapshot());
    const int marked =
        fb::fetchScalar(connection, tr, QStringLiteral("select count(*) from (%1)").arg(kMarkedPlots)).toInt();
    if (marked == 0)
        return 0;
    // Many plots at once (a bulk load, a change of every contract) are
    // computed faster in one pass over all lines than plot by plot. The
    // plots are reckoned by the largest key given out: counting them would
    // be a pass over them all on every call.
    const QString plots = QStringLiteral("select gen_id(gen_id_zemq, 0) from rdb$database");
    if (marked > fb::fetchScalar(connection, tr, plots).toInt() / 4) {
        startAreaCache(connection, tr);
        tr.commit();
        return marked;
    }
    // Plot by plot, each read through the plot's keys: the work follows the
    // plots marked, whatever the engine estimates of the mark table.
    // A plot deleted meanwhile is marked and finds no row in ZEMQ: its kept row is gone.
    QSet<int> localities = localitiesOfMarked(connection, tr);
    fb::execute(connection, tr,
                QStringLiteral("execute block as declare variable plot integer; begin for ") + kMarkedPlots +
                    QStringLiteral(" into :plot do begin delete from zemq_dogpl where id_zemq = :plot;\n"
                                   "insert into zemq_dogpl (%1) ")
                        .arg(kColumns) +
                    plotAreas(QStringLiteral("select cast(:plot as integer) id_zemq from rdb$database")) +
                    QStringLiteral(";\nend end"));
    // The localities they were in and those they are in now.
    localities.unite(localitiesOfMarked(connection, tr));
    computeLocalities(connection, tr, localities);
    fb::execute(connection, tr, QStringLiteral("delete from zemq_dogpl_prom"));
    tr.commit();
    return marked;
}

}  // namespace schema::plots
