#include "demo/writer.h"

#include "common/identifiers.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/equalised_area.h"
#include "schema/plot_area_cache.h"
#include "schema/rent_due_cache.h"
#include "schema/rent_sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QSet>

namespace {

using Rows = std::vector<std::vector<fb::Value>>;

Rows select(fb::Connection& c, fb::Transaction& tr, const char* sql)
{
    fb::Statement st(c, QString::fromUtf8(sql));
    return fb::fetchAll(st, tr);
}

// Areas as whole thousandths of a decare, as the register rounds them.
std::int64_t thousandths(const fb::Value& v)
{
    return v.toDecimal().rescaled(3).units;
}

// Every row of the tables the generator writes, as text, in key order.
QStringList contents(const QString& path)
{
    fb::Connection c;
    c.attach(path);
    fb::Transaction tr(c);
    QStringList all;
    for (const char* table :
         {"firma order by 1", "category_coefficient order by 1", "hora order by 1", "zemlishte order by 1",
          "mestnost order by 1", "zemq order by 1", "kategoriq order by 1, 2", "sobstv order by 1, 2",
          "\"DOG DANNI\" order by 1", "doghorazemi order by 1", "\"RENTA ZEML\" order by 1",
          "vidrentakol order by 1, 2", "\"RAZP DANNI\" order by 1", "\"RAZP RENTA\" order by 1", "razp_pari order by 1",
          "onr order by 1"}) {
        for (const auto& row : select(c, tr, (QByteArray("select * from ") + table).constData())) {
            QStringList fields;
            for (const fb::Value& v : row)
                fields << v.toString();
            all << fields.join(QLatin1Char('|'));
        }
    }
    return all;
}

demo::Summary fill(const QString& path, int owners, int plots, std::uint64_t seed)
{
    fb::Connection c;
    c.attach(path);
    return demo::fill(c, {owners, plots, seed});
}

class Demo : public ::testing::Test {
protected:
    void SetUp() override
    {
        fill(db.path(), 300, 1000, 1);
        c.attach(db.path());
    }
    Rows rows(const char* sql) { return select(c, tr, sql); }

    testsupport::TestDatabase db;
    fb::Connection c;
    fb::Transaction tr{c};
};

}  // namespace

TEST_F(Demo, PlotAreasAddUpFromCategoriesAndToShares)
{
    std::map<int, std::int64_t> area, equalised, categorySum, equalisedSum, shareSum, shareEqualisedSum;
    std::map<int, int> categories, shares;
    for (const auto& r : rows("select id_zemq, cast(plosht as decimal(15,3)), cast(prplosht as decimal(15,3)) "
                              "from zemq")) {
        area[r[0].toInt()] = thousandths(r[1]);
        equalised[r[0].toInt()] = thousandths(r[2]);
    }
    ASSERT_EQ(area.size(), 1000u);
    for (const auto& r : rows("select k.id_zemq, cast(k.plosht as decimal(15,3)), k.plosht, c.coefficient "
                              "from kategoriq k join category_coefficient c on c.category = k.vid")) {
        categorySum[r[0].toInt()] += thousandths(r[1]);
        equalisedSum[r[0].toInt()] += schema::prpl(r[2].toDouble(), r[3].toDouble()).units;
        ++categories[r[0].toInt()];
    }
    for (const auto& r : rows("select id_zemq, cast(redplosht as decimal(15,3)), cast(prredpl as decimal(15,3)) "
                              "from sobstv")) {
        const int plot = r[0].toInt();
        shareSum[plot] += thousandths(r[1]);
        shareEqualisedSum[plot] += thousandths(r[2]);
        ++shares[plot];
        // An owner's equalised area is his part of the plot's equalised area
        // (the last heir's takes the rounding of up to five others).
        const double expected = double(equalised[plot]) * double(thousandths(r[1])) / double(area[plot]);
        EXPECT_NEAR(double(thousandths(r[2])), expected, 2.5) << "plot " << plot;
    }
    int differentFromArea = 0;
    for (const auto& [plot, a] : area) {
        EXPECT_EQ(categorySum[plot], a) << "plot " << plot;
        EXPECT_EQ(equalisedSum[plot], equalised[plot]) << "plot " << plot;
        EXPECT_EQ(shareSum[plot], a) << "plot " << plot;
        EXPECT_EQ(shareEqualisedSum[plot], equalised[plot]) << "plot " << plot;
        EXPECT_GE(categories[plot], 1);
        EXPECT_LE(categories[plot], 3);
        EXPECT_GE(shares[plot], 1);
        EXPECT_LE(shares[plot], 6);
        differentFromArea += equalised[plot] != a ? 1 : 0;
    }
    EXPECT_GT(differentFromArea, 500) << "the categories are equalised with coefficients other than 1";
}

TEST_F(Demo, OwnersCarryValidIdentifiersForTheirKind)
{
    QSet<QString> seen;
    int foreigners = 0, companies = 0;
    for (const auto& r : rows("select egn, chfl, kod_country, ime, ekatte, id_obsht, id_obl from hora")) {
        const QString number = r[0].toString();
        EXPECT_FALSE(seen.contains(number)) << number.toStdString();
        seen.insert(number);
        if (r[1].toString() == QStringLiteral("да")) {
            ++foreigners;
            EXPECT_TRUE(CheckLNCh(number)) << number.toStdString();
            EXPECT_NE(r[2].toString(), QStringLiteral("BG"));
        } else {
            EXPECT_EQ(r[1].toString(), QStringLiteral("не"));
            EXPECT_EQ(r[2].toString(), QStringLiteral("BG"));
            companies += CheckEIK(number) ? 1 : 0;
            EXPECT_TRUE(CheckEGN(number) || CheckEIK(number)) << number.toStdString();
        }
        EXPECT_FALSE(r[3].toString().isEmpty());
    }
    EXPECT_EQ(seen.size(), 300);
    EXPECT_GT(foreigners, 0);
    EXPECT_GT(companies, 0);
    // Every owner is listed by the owners register, which joins the geography.
    EXPECT_EQ(rows("select count(*) from hora join nas_mqsto n on n.ekatte = hora.ekatte "
                   "join obshtina o on o.id_obsht = hora.id_obsht join oblast b on b.id_obl = hora.id_obl "
                   "join country k on k.kod_country = hora.kod_country")[0][0]
                  .toInt(),
              300);
    const auto firm = rows("select ein, fromyear, toyear, egn_mol from firma");
    ASSERT_EQ(firm.size(), 1u);
    EXPECT_TRUE(CheckEIK(firm[0][0].toString()));
    EXPECT_TRUE(CheckEGN(firm[0][3].toString()));
    EXPECT_EQ(firm[0][1].toDate(), QDate(2024, 10, 1));
    EXPECT_EQ(firm[0][2].toDate(), QDate(2025, 9, 30));
}

TEST_F(Demo, ContractsBindSharesAndPartOfTheRentIsPaid)
{
    // A bound share points at its contract line, which copies its part and area.
    EXPECT_EQ(rows("select count(*) from sobstv s where s.id_dog > 0 and not exists (select 1 from doghorazemi d "
                   "where d.id_dhz = s.id_dhz and d.id_dog = s.id_dog and d.id_sobstv = s.id_hora "
                   "and d.id_zemq = s.id_zemq and d.chast = s.chast and d.redplosht = s.redplosht)")[0][0]
                  .toInt(),
              0);
    EXPECT_EQ(rows("select count(*) from doghorazemi")[0][0].toInt(),
              rows("select count(*) from sobstv where id_dog > 0")[0][0].toInt());
    EXPECT_GT(rows("select count(*) from sobstv where id_dog is null")[0][0].toInt(), 0);
    const auto states = rows("select systoqnie, count(*) from \"DOG DANNI\" group by 1 order by 1");
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0][0].toString(), QStringLiteral("Действащ"));
    EXPECT_EQ(states[1][0].toString(), QStringLiteral("Прекратен"));

    // Receipts and cash payments share one series of numbers.
    EXPECT_EQ(rows("select count(distinct n) - count(*) from (select nom n from \"RAZP DANNI\" "
                   "union all select nomer from razp_pari)")[0][0]
                  .toInt(),
              0);
    // Each table's numbers rise with its ids, so the number after the last
    // rows by id (what the receipt dialogs propose) is free.
    EXPECT_EQ(rows("select (select first 1 nom from \"RAZP DANNI\" order by id_rd desc), "
                   "(select first 1 nomer from razp_pari order by id_razppari desc) from rdb$database")[0],
              rows("select (select max(nom) from \"RAZP DANNI\"), (select max(nomer) from razp_pari) "
                   "from rdb$database")[0]);
    EXPECT_GT(rows("select count(*) from onr o join razp_pari p on p.id_razppari = o.id_razppari "
                   "and p.pmg = 1 and p.suma = o.suma")[0][0]
                  .toInt(),
              0);
    EXPECT_GT(rows("select count(*) from onr where id_razppari is null")[0][0].toInt(), 0);

    // The rent list shows most owners with rent due, some paid in part.
    fb::Statement list(c, schema::rent::rentList().text());
    int listed = 0, paid = 0, open = 0;
    list.open(tr);
    while (list.fetch()) {
        ++listed;
        paid += list.value(QStringLiteral("IZPL")).toDouble() > 0 ? 1 : 0;
        open += list.value(QStringLiteral("OSTATYK")).toDouble() > 0 ? 1 : 0;
    }
    EXPECT_GT(listed, 150);
    EXPECT_GT(paid, 50);
    EXPECT_GT(open, 100);
}

// The load switches the plain indexes, the marking triggers and the trail off and
// computes the kept figures once at its end: the register it leaves works as
// one kept up row by row.
TEST_F(Demo, LeavesEveryIndexAndTriggerWorkingAndTheKeptFiguresUpToDate)
{
    EXPECT_EQ(rows("select count(*) from rdb$indices where rdb$index_inactive = 1")[0][0].toInt(), 0);
    EXPECT_EQ(rows("select count(*) from rdb$triggers where rdb$trigger_inactive = 1")[0][0].toInt(), 0);
    EXPECT_EQ(
        rows("select count(*) from rdb$triggers where rdb$trigger_name in ('NR_SOBSTV', 'ZD_ZEMQ')")[0][0].toInt(), 2);
    EXPECT_GT(rows("select count(*) from rdb$indices where rdb$index_name = 'IX_DOGHORAZEMI_ID_SOBSTV'")[0][0].toInt(),
              0);
    tr.commit();
    EXPECT_EQ(schema::plots::bringUpToDate(c), 0);
    const schema::rent::Refresh rent = schema::rent::bringUpToDate(c);
    EXPECT_FALSE(rent.everything);
    EXPECT_EQ(rent.owners, 0);
    EXPECT_EQ(rows("select count(*) from zemq_dogpl")[0][0].toInt(), 1000);
    EXPECT_GT(rows("select count(*) from nach_renta")[0][0].toInt(), 150);
    // An owner's share changed afterwards is marked as ever.
    fb::execute(c, tr,
                QStringLiteral("update sobstv set prredpl = prredpl + 1 where id_hora = "
                               "(select min(id_sobstv) from nach_renta) and id_dog > 0"));
    tr.commit();
    EXPECT_EQ(schema::rent::bringUpToDate(c).owners, 1);
    // The generated rows are nobody's changes; the change after them is trailed.
    EXPECT_GT(rows("select count(*) from jurnal_prom where tablica = 'SOBSTV'")[0][0].toInt(), 0);
    EXPECT_EQ(rows("select count(*) from jurnal_prom where tablica <> 'SOBSTV'")[0][0].toInt(), 0);
}

TEST(DemoSeed, OneSeedMakesOneEnterprise)
{
    testsupport::TestDatabase first, second, other;
    fill(first.path(), 80, 250, 7);
    fill(second.path(), 80, 250, 7);
    fill(other.path(), 80, 250, 8);
    const QStringList rows = contents(first.path());
    EXPECT_GT(rows.size(), 1000);
    EXPECT_EQ(rows, contents(second.path()));
    EXPECT_NE(rows, contents(other.path()));
}

TEST(DemoTool, FillsOnlyANewDatabase)
{
    testsupport::TestDatabase db;
    QProcess tool;
    tool.start(QStringLiteral(ARVENTA_DEMO), {db.path(), QStringLiteral("--owners"), QStringLiteral("20"),
                                              QStringLiteral("--plots"), QStringLiteral("50")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(tool.readAllStandardOutput().startsWith("arventa-demo: 20 owners, 50 plots"));

    tool.start(QStringLiteral(ARVENTA_DEMO), {db.path(), QStringLiteral("--owners"), QStringLiteral("20"),
                                              QStringLiteral("--plots"), QStringLiteral("50")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(tool.readAllStandardError().contains("already holds a register"));

    tool.start(QStringLiteral(ARVENTA_DEMO), {db.path(), QStringLiteral("--owners"), QStringLiteral("20")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 2);
}
