#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/schema.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using fb::Connection;
using fb::Transaction;

namespace {

// Every table of the register as the screens expect it: name, then
// column:type pairs; "*" marks a primary-key column.
const char* const kExpected[] = {
    "OBLAST *ID_OBL:text3 NAIM_OBL:text30",
    "OBSHTINA *ID_OBSHT:text5 ID_OBL:text3 NAIM_OBSHT:text40",
    "NAS_MQSTO *EKATTE:text5 ID_OBSHT:text5 TIP:text5 NAIM_NM:text40",
    "ZEMLISHTE *ID_ZEML:integer EKATTE:text5 ID_OBSHT:text5 ID_OBL:text3",
    "MESTNOST *ID_MESTN:integer ID_ZEML:integer NAIM_MESTN:text40",
    "ZEMQ *ID_ZEMQ:integer ID_MEST:integer IMOT_NO:text15 IMOT_NO2:text13 PLOSHT:float ID_KULT:integer "
    "ID_NTP:integer OBRAB:integer ID_VDS:integer SVVHREGNO:text15 SVAKTNO:text15 SVTOM:text15 SVDELO:text15 "
    "NZNOMER:text15 NZTOM:text15 NZREGNO:text15 NZDELO:text15 NZDATA:date NOTREGNO:text15 OBRT:text2 "
    "KOMASIRAN:smallint KOMASIN:text15 KOMASIP:float KOMASTEKST:text2 ID_FS:integer POLPL:float "
    "OSZGREGNO:text30 PRPLOSHT:float",
    "KATEGORIQ *ID_ZEMQ:integer *VID:integer PLOSHT:float",
    "CATEGORY_COEFFICIENT *CATEGORY:integer COEFFICIENT:float",
    "HORA *ID_HORA:integer EGN:text15 IME:text50 ADRES:text50 TEL:text15 EKATTE:text5 ID_OBSHT:text5 "
    "ID_OBL:text3 PREDST:text50 BANK:text30 IBAN:text22 BIC:text10 KOD_COUNTRY:text2 CHFL:text2",
    "COUNTRY *KOD_COUNTRY:text2 COUNTRY_NAME:text50",
    "SOBSTV *ID_HORA:integer *ID_ZEMQ:integer REDPLOSHT:float CHAST:text5 ID_DOG:integer ID_DHZ:integer "
    "PRREDPL:float",
    "ISTORIQ *ID_HORA:integer *ID_ZEMQ:integer PLOSHT:float CHAST:text5 VIDSOBSTV:text30",
    "DOG DANNI *ID_DOG:integer DATA:date OTDATA:date DODATA:date ID_VIDDOG:integer ID_FIRMA:integer "
    "NOMER:text15 SVVHREGNO:text15 SVAKTNO:text15 SVTOM:text15 SVDELO:text15 NZNOMER:text15 NZTOM:text15 "
    "NZREGNO:text15 NZDELO:text15 NZDATA:date NOTREGNO:text15 OSZREGNO:text30 SYSTOQNIE:text20 ID_DT:integer "
    "DATAPR:date",
    "DOGHORAZEMI *ID_DHZ:integer ID_ZEMQ:integer ID_SOBSTV:integer *ID_DOG:integer CHAST:text5 REDPLOSHT:float",
    "DOGTIP *ID_DT:integer TIP:text50",
    "VID_DOG *ID_VIDDOG:integer NAIM_VD:text40",
    "FIRMA *ID_FIRMA:integer EIN:text15 INDDS:text20 FD:text15 OS:text10 NAIM_FIRMA:text60 ADRESS:text30 "
    "TEL:text20 FAKS:text20 EMAIL:text40 MOL:text100 ID_OBL:text3 ID_OBSHT:text5 EKATTE:text5 ID_VZP:integer "
    "EGN_MOL:text10 MOB_TEL:text20 PK:text10 TOYEAR:date FROMYEAR:date",
    "VZP *ID_VZP:integer VZP:text40 KOD_VZP:bigint",
    "KULTURA *ID_KULT:integer NAIM_KULT:text30",
    "NTP *ID_NTP:integer NAIM_NTP:text30 KOD_NTP:integer",
    "FS *ID_FS:integer NAIM_FS:text15 KOD_FS:integer",
    "VIDDOKSOBSTV *ID_VDS:integer NAIM_VDS:text40",
    "VID_RENTA *ID_VR:integer NAIM_VR:text30 ME:text10 ED_CENA:float",
    "RENTAKULT *ID_RK:integer RK:text30",
    "RENTA ZEML *ID_RZ:integer ID_ZEML:integer RAZMER:float ID_DT:integer",
    "VIDRENTAKOL *ID_VRK:integer *ID_RZ:integer KOL:float EC:float",
    "RAZP DANNI *ID_RD:integer ID_HORA:integer DATA:date NOM:integer SUMA:float NPL:smallint NPLTEKST:text10 "
    "PREDSTRS:text50",
    "RAZP RENTA *ID_RR:integer *ID_RD:integer ID_VR:integer NOMER:integer KOL:float STOINOST:float ID_DT:integer "
    "ID_RK:integer ID_ZEML:integer",
    "RAZP_PARI *ID_RAZPPARI:integer ID_HORA:integer NOMER:integer DATA:date SUMA:float NPLP:smallint "
    "NPLPTEKST:text10 PREDSTRP:text50 PMG:smallint",
    "ONR *ID_ONR:integer ID_HORA:integer ID_RAZPPARI:integer PLOSHT:float SUMA:float GODOT:integer GODDO:integer "
    "PRPLOSHT:float",
    "OIR ID_HORA:integer SUMA_OIR:float",
};

QString typeName(int fieldType, int length)
{
    switch (fieldType) {
        case 7:
            return QStringLiteral("smallint");
        case 8:
            return QStringLiteral("integer");
        case 16:
            return QStringLiteral("bigint");
        case 27:
            return QStringLiteral("float");
        case 12:
            return QStringLiteral("date");
        case 37:
            return QStringLiteral("text%1").arg(length);
        default:
            return QStringLiteral("type%1").arg(fieldType);
    }
}

class Schema : public ::testing::Test {
protected:
    void SetUp() override { c.attach(db.path()); }
    testsupport::TestDatabase db;
    Connection c;
};

}  // namespace

TEST_F(Schema, EveryTableAndColumnHasItsTypeLengthAndKey)
{
    Transaction tr(c);
    fb::Statement st(
        c, QStringLiteral("select trim(rf.rdb$relation_name), trim(rf.rdb$field_name), f.rdb$field_type, "
                          "f.rdb$character_length, f.rdb$character_set_id, "
                          "(select count(*) from rdb$relation_constraints rc join rdb$index_segments s "
                          "   on s.rdb$index_name = rc.rdb$index_name "
                          " where rc.rdb$relation_name = rf.rdb$relation_name "
                          "   and rc.rdb$constraint_type = 'PRIMARY KEY' and s.rdb$field_name = rf.rdb$field_name) "
                          "from rdb$relation_fields rf join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
                          "join rdb$relations r on r.rdb$relation_name = rf.rdb$relation_name "
                          "where coalesce(r.rdb$system_flag, 0) = 0 order by 1, rf.rdb$field_position"));
    QMap<QString, QStringList> actual;
    for (const auto& row : fb::fetchAll(st, tr)) {
        const QString key = row[5].toInt() ? QStringLiteral("*") : QString();
        actual[row[0].toString()] << key + row[1].toString() + QLatin1Char(':') +
                                         typeName(row[2].toInt(), row[3].toInt());
        // The trail's user is the one text kept in UTF-8: a system user's
        // name may hold letters the code page lacks.
        const bool trailUser =
            row[0].toString() == QLatin1String("JURNAL_PROM") && row[1].toString() == QLatin1String("POTREBITEL");
        if (row[2].toInt() == 37 && !trailUser) {
            EXPECT_EQ(row[4].toInt(), 52) << "text columns are WIN1251: " << row[1].toString().toStdString();
        }
    }
    for (const char* line : kExpected) {
        QString text = QString::fromUtf8(line);
        // Table names with a blank come first; columns follow the first '*' or upper-case word with ':'.
        const qsizetype split = text.indexOf(QRegularExpression(QStringLiteral(" \\*?[A-Z_0-9]+:")));
        const QString table = text.left(split);
        const QStringList columns = text.mid(split + 1).split(QLatin1Char(' '));
        EXPECT_EQ(actual.value(table), columns) << table.toStdString();
        actual.remove(table);
    }
    // The program's own: the schema version, the kept rent due (rent_due_cache_test.cpp), the
    // receipt number series (receipt_series_test.cpp) and the contracted area kept per plot
    // and per locality (property_summary_test.cpp).
    for (const char* own :
         {"ARVENTA_SCHEMA", "NACH_RENTA", "NACH_RENTA_DOG", "NACH_RENTA_PROM", "NACH_RENTA_PROM_TR", "NACH_RENTA_NR",
          "RAZP_NOMERA", "ZEMQ_DOGPL", "ZEMQ_DOGPL_PROM", "ZEMQ_DOGPL_PROM_TR", "JURNAL_PROM", "ZEMQ_DOGPL_MEST"})
        actual.remove(QLatin1String(own));
    EXPECT_TRUE(actual.isEmpty()) << "unexpected tables: " << actual.keys().join(QLatin1Char(' ')).toStdString();
}

TEST_F(Schema, KeysAreGivenByTheDatabaseAndOnlyGrow)
{
    Transaction tr(c);
    const auto newPlot = [&] {
        fb::execute(c, tr, QStringLiteral("insert into zemq (imot_no) values ('1')"));
        return fb::fetchScalar(c, tr, QStringLiteral("select max(id_zemq) from zemq")).toInt();
    };
    const int first = newPlot();
    const int second = newPlot();
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);

    // A row stored with its own key pushes the counter past it.
    fb::execute(c, tr, QStringLiteral("insert into zemq (id_zemq, imot_no) values (500, '2')"));
    EXPECT_GT(newPlot(), 500);

    // The delivered rows with fixed keys leave room for new ones.
    fb::execute(c, tr, QStringLiteral("insert into vid_renta (naim_vr, me) values ('Пшеница', 'кг')"));
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select max(id_vr) from vid_renta")).toInt(), 2);
    fb::execute(c, tr, QStringLiteral("insert into \"RAZP DANNI\" (id_hora) values (1)"));
    fb::execute(c, tr, QStringLiteral("insert into \"RAZP RENTA\" (id_rd, kol) values (1, 5)"));
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select id_rr from \"RAZP RENTA\"")).toInt(), 1);
}

TEST_F(Schema, TextKeepsCyrillicAndItsLength)
{
    Transaction tr(c);
    fb::execute(c, tr, QStringLiteral("insert into zemq (imot_no, imot_no2) values ('7', ?)"),
                {QStringLiteral("12345.678.901")});
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select char_length(imot_no2) from zemq")).toInt(), 13);
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select imot_no2 from zemq")).toString(),
              QStringLiteral("12345.678.901"));

    fb::execute(c, tr, QStringLiteral("insert into hora (ime, adres) values (?, ?)"),
                {QStringLiteral("Йорданка Щерева-Бъчварова"), QStringLiteral("ул. „Цар Шишман“ № 5")});
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select adres from hora")).toString(),
              QStringLiteral("ул. „Цар Шишман“ № 5"));
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select upper(ime) from hora")).toString(),
              QStringLiteral("ЙОРДАНКА ЩЕРЕВА-БЪЧВАРОВА"));
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from hora where ime containing ?"),
                              {QStringLiteral("щерева")})
                  .toInt(),
              1);
    EXPECT_EQ(
        fb::fetchScalar(c, tr, QStringLiteral("select count(*) from hora where upper(ime) starting with upper(?)"),
                        {QStringLiteral("йорд")})
            .toInt(),
        1);
}

TEST_F(Schema, ReferenceDataIsDelivered)
{
    Transaction tr(c);
    const auto scalar = [&](const char* sql) { return fb::fetchScalar(c, tr, QString::fromUtf8(sql)); };
    EXPECT_EQ(scalar("select count(*) from oblast").toInt(), 28);
    EXPECT_EQ(scalar("select count(*) from obshtina").toInt(), 265);
    EXPECT_EQ(scalar("select count(*) from nas_mqsto").toInt(), 5256);
    EXPECT_EQ(scalar("select count(*) from country").toInt(), 249);
    EXPECT_EQ(scalar("select naim_nm from nas_mqsto where ekatte = '00014'").toString(), QStringLiteral("Абланица"));
    EXPECT_EQ(scalar("select tip from nas_mqsto where ekatte = '62685'").toString(), QStringLiteral("ман."));
    EXPECT_EQ(scalar("select country_name from country where kod_country = 'BG'").toString(),
              QStringLiteral("България"));
    EXPECT_EQ(scalar("select vzp from vzp where id_vzp = 1").toString(), QStringLiteral("Физическо лице"));
    EXPECT_EQ(scalar("select count(*) from vzp where kod_vzp is null").toInt(), 0);
    EXPECT_EQ(scalar("select kod_fs from fs where id_fs = 1").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from category_coefficient where category between 1 and 10 "
                     "and coefficient = 1")
                  .toInt(),
              10);
    EXPECT_EQ(scalar("select me from vid_renta where id_vr = 1").toString(), QStringLiteral("лв"));
    EXPECT_EQ(scalar("select count(*) from rentakult where id_rk = 1").toInt(), 1);
    EXPECT_EQ(scalar("select count(*) from firma").toInt(), 0);
    for (const char* list : {"kultura", "viddoksobstv", "dogtip", "vid_dog"})
        EXPECT_GT(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from %1").arg(QLatin1String(list))).toInt(), 0)
            << list;
    EXPECT_EQ(scalar("select version from arventa_schema").toInt(), schema::kVersion);
}

TEST(NewDatabase, NeverWritesOverAnExistingFile)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).absoluteFilePath(QStringLiteral("ARVENTA.FDB"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    EXPECT_THROW(schema::createDatabase(path), fb::Error);

    QProcess tool;
    tool.start(QStringLiteral(ARVENTA_NEWDB), {path});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().contains("already exists"));

    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
}
