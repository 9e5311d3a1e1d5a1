#include "schema/change_trail.h"

#include "schema/schema.h"

namespace schema::trail {

namespace {

// A trailed table and, where its rows belong to an owner, the owner's key
// as PSQL of the row (%1: "new" or "old").
struct Trailed {
    const char* table;
    const char* owner;
};

const Trailed kTrailed[] = {
    {"HORA", "%1.id_hora"},
    {"ZEMQ", nullptr},
    {"SOBSTV", "%1.id_hora"},
    {"DOG DANNI", nullptr},
    {"DOGHORAZEMI", "%1.id_sobstv"},
    {"RENTA ZEML", nullptr},
    {"VIDRENTAKOL", nullptr},
    {"RAZP DANNI", "%1.id_hora"},
    // A receipt's line belongs to the receipt's owner.
    {"RAZP RENTA", "(select id_hora from \"RAZP DANNI\" where id_rd = %1.id_rd)"},
    {"RAZP_PARI", "%1.id_hora"},
    {"ONR", "%1.id_hora"},
};

const TableDef& definition(const char* table)
{
    for (const TableDef& t : tables()) {
        if (QLatin1String(t.name) == QLatin1String(table))
            return t;
    }
    throw std::logic_error(std::string("no table ") + table);
}

// A column's value in the row as text: numbers without trailing zeros and
// with a decimal comma, dates as the program writes them.
QString valueText(const ColumnDef& c, const QString& row)
{
    const QString value = row + QLatin1Char('.') + QLatin1String(c.name);
    const QString type = QLatin1String(c.type);
    if (type == QLatin1String("float"))
        return QStringLiteral("jp_chislo(%1)").arg(value);
    if (type == QLatin1String("date"))
        return QStringLiteral("jp_data(%1)").arg(value);
    return value;
}

// Every column of the row that holds a value, "NAME=value; " each.
QString wholeRow(const TableDef& t, const QString& row)
{
    QStringList parts;
    for (const ColumnDef& c : t.columns) {
        parts << QStringLiteral("iif(%1.%2 is null, '', '%2=' || %3 || '; ')")
                     .arg(row, QLatin1String(c.name), valueText(c, row));
    }
    return parts.join(QStringLiteral(" ||\n    "));
}

// The columns a correction changed, added to both texts.
QString changedColumns(const TableDef& t)
{
    QString psql;
    for (const ColumnDef& c : t.columns) {
        const QString name = QLatin1String(c.name);
        psql += QStringLiteral(
                    "  if (old.%1 is distinct from new.%1) then\n"
                    "  begin\n"
                    "    stari = stari || '%1=' || coalesce(%2, '') || '; ';\n"
                    "    novi = novi || '%1=' || coalesce(%3, '') || '; ';\n"
                    "  end\n")
                    .arg(name, valueText(c, QStringLiteral("old")), valueText(c, QStringLiteral("new")));
    }
    return psql;
}

// The row's key as text: "ID_HORA=5, ID_ZEMQ=7" for a key of two columns.
QString keyText(const TableDef& t, const QString& row)
{
    QStringList parts;
    for (const ColumnDef& c : t.columns) {
        if (c.key)
            parts << QStringLiteral("'%1=' || coalesce(%2.%1, '')").arg(QLatin1String(c.name), row);
    }
    return parts.join(QStringLiteral(" || ', ' || "));
}

QString ownerOf(const Trailed& in, const QString& row)
{
    return in.owner ? QString::fromLatin1(in.owner).arg(row) : QStringLiteral("null");
}

QString trigger(const Trailed& in)
{
    const TableDef& t = definition(in.table);
    const QString plain = QString::fromLatin1(in.table).replace(QLatin1Char(' '), QLatin1Char('_'));
    return QStringLiteral(
               "create trigger JP_%1 for %2 active after insert or update or delete position 30 as\n"
               "declare variable stari varchar(8000) = '';\n"
               "declare variable novi varchar(8000) = '';\n"
               "declare variable kluch varchar(100);\n"
               "declare variable owner integer;\n"
               "declare variable deistvie varchar(10);\n"
               "begin\n"
               "  if (inserting) then\n"
               "  begin\n"
               "    novi = %3;\n"
               "    kluch = %4; owner = %5; deistvie = 'Добавяне';\n"
               "  end\n"
               "  else if (deleting) then\n"
               "  begin\n"
               "    stari = %6;\n"
               "    kluch = %7; owner = %8; deistvie = 'Изтриване';\n"
               "  end\n"
               "  else\n"
               "  begin\n"
               "%9"
               "    if (stari = '' and novi = '') then\n"
               "      exit;\n"
               "    kluch = %4; owner = %5; deistvie = 'Корекция';\n"
               "  end\n"
               "  insert into jurnal_prom (jp_id, vreme, potrebitel, tablica, deistvie, kluch, id_hora, stari, novi)\n"
               "  values (next value for gen_jurnal_prom, current_timestamp, jp_potrebitel(), '%10', :deistvie,\n"
               "          :kluch, :owner, nullif(trim(trailing from :stari), ''), nullif(trim(trailing from :novi), "
               "''));\n"
               "end")
        .arg(plain, sqlName(in.table), wholeRow(t, QStringLiteral("new")), keyText(t, QStringLiteral("new")),
             ownerOf(in, QStringLiteral("new")), wholeRow(t, QStringLiteral("old")), keyText(t, QStringLiteral("old")),
             ownerOf(in, QStringLiteral("old")), changedColumns(t), QLatin1String(in.table));
}

}  // namespace

QStringList trailedTables()
{
    QStringList names;
    for (const Trailed& in : kTrailed)
        names << QLatin1String(in.table);
    return names;
}

QStringList trailTriggers()
{
    QStringList names;
    for (const Trailed& in : kTrailed)
        names << QStringLiteral("JP_") + QString::fromLatin1(in.table).replace(QLatin1Char(' '), QLatin1Char('_'));
    return names;
}

QStringList trailDdl()
{
    QStringList ddl = {
        QStringLiteral("create sequence GEN_JURNAL_PROM"),
        QStringLiteral(
            "create table JURNAL_PROM (JP_ID bigint not null, VREME timestamp not null, "
            "POTREBITEL varchar(63) character set utf8, TABLICA varchar(31) not null, DEISTVIE varchar(10) not null, "
            "KLUCH varchar(100), ID_HORA integer, STARI varchar(8000), NOVI varchar(8000))"),
        // Newest first, read along the index: the journal opens at its last
        // changes without the engine sorting a year of them.
        QStringLiteral("create descending index IX_JURNAL_PROM_VREME on JURNAL_PROM (VREME, JP_ID)"),
        QStringLiteral("create function JP_CHISLO (X double precision) returns varchar(40) as\n"
                       "begin\n"
                       "  if (x is null) then\n    return null;\n"
                       "  if (abs(x) >= 1e12) then\n    return cast(x as varchar(40));\n"
                       "  return replace(trim(trailing '.' from trim(trailing '0' from "
                       "cast(cast(x as decimal(18,6)) as varchar(40)))), '.', ',');\n"
                       "end"),
        QStringLiteral(
            "create function JP_DATA (D date) returns varchar(10) as\n"
            "begin\n"
            "  if (d is null) then\n    return null;\n"
            "  return lpad(extract(day from d), 2, '0') || '.' || lpad(extract(month from d), 2, '0') || '.' "
            "|| extract(year from d);\n"
            "end"),
        // The login on a server; on the embedded register, the system's user
        // the connection named (nobody reaches it over the network). Kept
        // in UTF-8: a name with a letter the register's code page lacks
        // must never make a change fail.
        QStringLiteral("create function JP_POTREBITEL returns varchar(63) character set utf8 as\n"
                       "begin\n"
                       "  if (rdb$get_context('SYSTEM', 'NETWORK_PROTOCOL') is null) then\n"
                       "    return coalesce(rdb$get_context('USER_SESSION', 'ARVENTA_USER'), current_user);\n"
                       "  return current_user;\n"
                       "end"),
        QStringLiteral("create exception JP_NEPROMENLIV 'Редовете на журнала на промените не се променят.'"),
        QStringLiteral("create exception JP_SAMO_ADMINISTRATOR "
                       "'Редове от журнала на промените изтрива само администратор.'"),
        QStringLiteral("create trigger JP_NO_CHANGE for JURNAL_PROM active before update position 0 as\n"
                       "begin\n  exception jp_nepromenliv;\nend"),
        QStringLiteral("create trigger JP_ADMIN_DELETES for JURNAL_PROM active before delete position 0 as\n"
                       "begin\n"
                       "  if (current_user <> 'SYSDBA' and current_role <> 'RDB$ADMIN') then\n"
                       "    exception jp_samo_administrator;\n"
                       "end"),
    };
    for (const Trailed& in : kTrailed)
        ddl << trigger(in);
    return ddl;
}

}  // namespace schema::trail
