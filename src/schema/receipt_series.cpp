#include "schema/receipt_series.h"

#include "fb/statement.h"

namespace schema {

namespace {

// One trigger per table. A number leaves the series only when no row of
// either table has it any more, so that a register with an old duplicate
// keeps the number claimed while one of the two remains.
QString claimTrigger(const char* name, const char* table, const char* column)
{
    return QStringLiteral(
               "create trigger %1 for %2 active after insert or update or delete position 30 as\n"
               "begin\n"
               "  if (updating and new.%3 is not distinct from old.%3) then\n"
               "    exit;\n"
               "  if (not inserting and old.%3 is not null) then\n"
               "    if (not exists(select 1 from \"RAZP DANNI\" where NOM = old.%3)\n"
               "        and not exists(select 1 from RAZP_PARI where NOMER = old.%3)) then\n"
               "      delete from RAZP_NOMERA where NOMER = old.%3;\n"
               "  if (not deleting and new.%3 is not null) then\n"
               "    insert into RAZP_NOMERA (NOMER) values (new.%3);\n"
               "end")
        .arg(QLatin1String(name), QLatin1String(table), QLatin1String(column));
}

}  // namespace

QStringList receiptSeriesDdl()
{
    return {
        QStringLiteral(
            "create table RAZP_NOMERA (NOMER integer not null, constraint PK_RAZP_NOMERA primary key (NOMER))"),
        claimTrigger("RN_RAZP_DANNI", "\"RAZP DANNI\"", "NOM"),
        claimTrigger("RN_RAZP_PARI", "RAZP_PARI", "NOMER"),
    };
}

void startReceiptSeries(fb::Connection& connection, fb::Transaction& tr)
{
    // A step broken off after its first commit finds some numbers claimed.
    fb::execute(connection, tr, QStringLiteral("delete from RAZP_NOMERA"));
    fb::execute(connection, tr,
                QStringLiteral("insert into RAZP_NOMERA (NOMER) "
                               "select NOM from \"RAZP DANNI\" where NOM is not null "
                               "union select NOMER from RAZP_PARI where NOMER is not null"));
}

}  // namespace schema
