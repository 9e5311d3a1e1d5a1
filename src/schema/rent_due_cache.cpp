#include "schema/rent_due_cache.h"

#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"

namespace schema::rent {

namespace {

// Which owners a change of one input row touches, as PSQL that marks them;
// %1 is the row ("new" or "old").
struct Input {
    const char* table;    // as written in SQL
    const char* name;     // for the trigger's name
    const char* columns;  // the columns the figures read; other changes mark nothing
    const char* marks;    // empty: everyone (an empty owner)
};

const Input kInputs[] = {
    {"doghorazemi", "DOGHORAZEMI", "id_dhz, id_dog, id_sobstv, id_zemq, redplosht",
     "if (%1.id_sobstv is not null) then execute procedure nach_renta_mark(%1.id_sobstv);"},
    {"sobstv", "SOBSTV", "id_hora, id_zemq, prredpl",
     "if (%1.id_hora is not null) then execute procedure nach_renta_mark(%1.id_hora);"},
    {"zemq", "ZEMQ", "id_zemq, id_mest",
     "for select distinct id_sobstv from doghorazemi where id_zemq = %1.id_zemq and id_sobstv is not null"
     " into :owner do execute procedure nach_renta_mark(:owner);"},
    {"mestnost", "MESTNOST", "id_mestn, id_zeml",
     "for select distinct d.id_sobstv from zemq z inner join doghorazemi d on (d.id_zemq = z.id_zemq)"
     " where z.id_mest = %1.id_mestn and d.id_sobstv is not null"
     " into :owner do execute procedure nach_renta_mark(:owner);"},
    {"\"DOG DANNI\"", "DOG_DANNI", "id_dog, systoqnie, datapr, otdata, dodata, id_dt",
     "for select distinct id_sobstv from doghorazemi where id_dog = %1.id_dog and id_sobstv is not null"
     " into :owner do execute procedure nach_renta_mark(:owner);"},
    {"firma", "FIRMA", "id_firma, fromyear, toyear", ""},
    {"\"RENTA ZEML\"", "RENTA_ZEML", "id_rz, id_zeml, id_dt", ""},
    {"vidrentakol", "VIDRENTAKOL", "id_vrk, id_rz, kol, ec", ""},
    {"vid_renta", "VID_RENTA", "id_vr", ""},
    {"dogtip", "DOGTIP", "id_dt", ""},
    {"zemlishte", "ZEMLISHTE", "id_zeml, ekatte", ""},
    {"nas_mqsto", "NAS_MQSTO", "ekatte", ""},
};

QString trigger(const Input& in)
{
    QStringList same;
    for (const QString& column : QString::fromLatin1(in.columns).split(QStringLiteral(", ")))
        same << QStringLiteral("new.%1 is not distinct from old.%1").arg(column);
    const QString marks = QString::fromUtf8(in.marks);
    QString sql = QStringLiteral("create trigger NR_%1 for %2 active after insert or update or delete position 20 as\n")
                      .arg(QLatin1String(in.name), QString::fromUtf8(in.table));
    if (!marks.isEmpty())
        sql += QStringLiteral("declare variable owner integer;\n");
    sql += QStringLiteral("begin\n  if (updating and ") + same.join(QStringLiteral(" and ")) +
           QStringLiteral(") then\n    exit;\n");
    if (marks.isEmpty())
        return sql + QStringLiteral("  execute procedure nach_renta_mark(null);\nend");
    return sql + QStringLiteral("  if (not deleting) then\n  begin\n    ") + marks.arg(QStringLiteral("new")) +
           QStringLiteral("\n  end\n  if (not inserting) then\n  begin\n    ") + marks.arg(QStringLiteral("old")) +
           QStringLiteral("\n  end\nend");
}

// The owners marked as stale.
const QString kMarkedOwners = QStringLiteral("select distinct id_hora from nach_renta_prom where id_hora is not null");

const QString kLineColumns = QStringLiteral("id_dog, id_sobstv, id_zeml, zdpl, zpl");
const QString kFigureColumns = QStringLiteral("id_sobstv, count_rec, zdpl, zpl, sop");
const QString kUnpaidColumns = QStringLiteral("id_sobstv, zdpl, zpl, sok, sokp, sop");

// Computes the marked owners' line sums and figures again one owner at a
// time, every statement reading that owner's rows through the owner's
// indexes: the work follows the owners marked. A statement over all marked
// owners at once leaves the order of its joins to the engine's estimate of
// the mark table, which a load that once marked everyone makes large enough
// for it to read every contract and line instead. Without `insertFigures`
// only the line sums (everyone's figures are computed afterwards).
QString ownerByOwner(const QString& insertFigures, const QString& insertUnpaid)
{
    const QString owner = QStringLiteral("select cast(:owner as integer) id_hora from rdb$database");
    const QString lines = QStringLiteral("select %1 from nach_renta_dog where id_sobstv = :owner").arg(kLineColumns);
    QString sql = QStringLiteral("execute block as declare variable owner integer; begin for ") + kMarkedOwners +
                  QStringLiteral(" into :owner do begin delete from nach_renta_dog where id_sobstv = :owner;\n") +
                  // Their line sums first: the figures are read from them.
                  QStringLiteral("insert into nach_renta_dog (%1) select %1 from (").arg(kLineColumns) +
                  contractLines(owner) + QStringLiteral(");\n");
    if (!insertFigures.isEmpty())
        sql += QStringLiteral(
                   "delete from nach_renta where id_sobstv = :owner;\n"
                   "delete from nach_renta_nr where id_sobstv = :owner;\n") +
               insertFigures + ownerFigures({lines, lines}) + QStringLiteral(");\n") + insertUnpaid + unpaidDue(lines) +
               QStringLiteral(");\n");
    return sql + QStringLiteral("end end");
}

}  // namespace

QStringList markedInTransactionDdl()
{
    return {
        QStringLiteral("create global temporary table NACH_RENTA_PROM_TR (ID_HORA integer, TRANS bigint) "
                       "on commit delete rows"),
        QStringLiteral("create index IX_NACH_RENTA_PROM_TR on NACH_RENTA_PROM_TR (ID_HORA)"),
    };
}

// A transaction marks an owner, or everyone, once, whatever marks other
// transactions have committed: those may be taken away by a bringing up to
// date that cannot see this transaction's changes yet. Its own marks are
// found in a table of its own, as the plots' are, so that the marks need no
// index.
QString markProcedure()
{
    return QStringLiteral(
        "create or alter procedure NACH_RENTA_MARK (OWNER integer) as\n"
        "begin\n"
        "  if (not exists(select 1 from nach_renta_prom_tr where id_hora is not distinct from :owner\n"
        "                 and trans = current_transaction)) then\n"
        "  begin\n"
        "    insert into nach_renta_prom_tr (id_hora, trans) values (:owner, current_transaction);\n"
        "    insert into nach_renta_prom (id_hora) values (:owner);\n"
        "  end\n"
        "end");
}

QStringList dueCacheDdl()
{
    QStringList ddl = {
        QStringLiteral("create table NACH_RENTA (ID_SOBSTV integer not null, COUNT_REC bigint, ZDPL decimal(18,3), "
                       "ZPL decimal(18,3), SOP decimal(15,2), constraint PK_NACH_RENTA primary key (ID_SOBSTV))"),
        QStringLiteral(
            "create table NACH_RENTA_DOG (ID_DOG integer, ID_SOBSTV integer, ID_ZEML integer, ZDPL decimal(18,3), "
            "ZPL decimal(18,3))"),
        QStringLiteral("create index IX_NACH_RENTA_DOG_ID_SOBSTV on NACH_RENTA_DOG (ID_SOBSTV)"),
        QStringLiteral("create index IX_NACH_RENTA_DOG_ID_DOG on NACH_RENTA_DOG (ID_DOG)"),
        QStringLiteral("create table NACH_RENTA_PROM (ID_HORA integer)"),
    };
    ddl << markedInTransactionDdl() << markProcedure();
    for (const Input& in : kInputs)
        ddl << trigger(in);
    return ddl;
}

QStringList unpaidDueDdl()
{
    // The scales are those of the select it keeps: the sums of decimal
    // products keep every digit, so the rest computed from them is the same.
    return {QStringLiteral(
        "create table NACH_RENTA_NR (ID_SOBSTV integer not null, ZDPL decimal(18,3), ZPL decimal(18,3), "
        "SOK decimal(18,3), SOKP decimal(18,5), SOP decimal(18,2), constraint PK_NACH_RENTA_NR primary key "
        "(ID_SOBSTV))")};
}

QStringList markingTriggers()
{
    QStringList names;
    for (const Input& in : kInputs)
        names << QStringLiteral("NR_") + QLatin1String(in.name);
    return names;
}

void markEveryone(fb::Connection& connection, fb::Transaction& tr)
{
    fb::execute(connection, tr, QStringLiteral("insert into nach_renta_prom (id_hora) values (null)"));
}

void startDueCache(fb::Connection& connection, fb::Transaction& tr)
{
    fb::execute(connection, tr,
                QStringLiteral("insert into nach_renta_dog (%1) select %1 from (").arg(kLineColumns) + contractLines() +
                    QLatin1Char(')'));
    markEveryone(connection, tr);
}

Refresh bringUpToDate(fb::Connection& connection)
{
    fb::Transaction tr(connection, fb::TransactionOptions::snapshot());
    const auto count = [&](const QString& sql) { return fb::fetchScalar(connection, tr, sql).toInt(); };
    Refresh done;
    done.everything = count(QStringLiteral("select count(*) from nach_renta_prom where id_hora is null")) > 0;
    done.owners = count(QStringLiteral("select count(*) from (") + kMarkedOwners + QLatin1Char(')'));
    if (!done.everything && done.owners == 0)
        return done;

    const QString insertFigures = QStringLiteral("insert into nach_renta (%1) select %1 from (").arg(kFigureColumns);
    const QString insertUnpaid = QStringLiteral("insert into nach_renta_nr (%1) select %1 from (").arg(kUnpaidColumns);
    // Many owners at once (an equalisation of every share, a bulk load) are
    // computed faster in one pass over all lines than owner by owner.
    // The owners are reckoned by the largest key given out: counting them
    // would be a pass over them all on every call.
    if (done.owners > count(QStringLiteral("select gen_id(gen_id_hora, 0) from rdb$database")) / 4) {
        fb::execute(connection, tr, QStringLiteral("delete from nach_renta_dog"));
        fb::execute(connection, tr,
                    QStringLiteral("insert into nach_renta_dog (%1) select %1 from (").arg(kLineColumns) +
                        contractLines() + QLatin1Char(')'));
        done.everything = true;
    } else if (done.owners > 0) {
        fb::execute(connection, tr, ownerByOwner(done.everything ? QString() : insertFigures, insertUnpaid));
    }
    if (done.everything) {
        const QString lines = keptContractLines();
        fb::execute(connection, tr, QStringLiteral("delete from nach_renta"));
        fb::execute(connection, tr, insertFigures + ownerFigures({lines, lines}) + QLatin1Char(')'));
        fb::execute(connection, tr, QStringLiteral("delete from nach_renta_nr"));
        fb::execute(connection, tr, insertUnpaid + unpaidDue(lines) + QLatin1Char(')'));
    }
    fb::execute(connection, tr, QStringLiteral("delete from nach_renta_prom"));
    tr.commit();
    return done;
}

QString keptContractLines()
{
    return QStringLiteral("select %1 from nach_renta_dog").arg(kLineColumns);
}

RentListStatement cachedRentList()
{
    return rentListOver(QStringLiteral("select id_sobstv, count_rec, ZDPl, ZPl, SOP from nach_renta"));
}

QString cachedUnpaidRest()
{
    return unpaidRestOver(QStringLiteral("select %1 from nach_renta_nr").arg(kUnpaidColumns));
}

}  // namespace schema::rent
