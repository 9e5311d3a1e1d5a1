// The contracted area kept per plot and per locality against the contract
// lines it adds up: the properties summary over the kept rows equals the
// summary added up from every line, on a generated register, after random
// edits of plots, lines and contracts, and after an upgrade of a register of
// the fourth and of the sixth version.
#include "reports/property_summary.h"

#include "demo/writer.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/plot_area_cache.h"
#include "schema/schema.h"
#include "support/random_edits.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <random>

using fb::Value;
namespace plots = schema::plots;

namespace {

// The summary as it was read before the figures were kept: one pass over the
// plots and every contract line of a contract not terminated (a line adds
// no area, so a locality whose plots have none shows it empty).
const char* const kSummaryFromLines =
    "select Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl, count(*) Q1 from "
    "(select zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.naim_mestn, U.sumplosht, U.Redpl from "
    "(select L.id_mest, sum(L.plosht) sumplosht, sum(L.redpl) Redpl from "
    "(select zemq.id_mest, zemq.plosht, 0 redpl from zemq union all "
    "select zemq.id_mest, cast(null as numeric(15,3)), doghorazemi.redplosht from zemq "
    "inner join doghorazemi on doghorazemi.id_zemq = zemq.id_zemq "
    "inner join \"DOG DANNI\" on \"DOG DANNI\".id_dog = doghorazemi.id_dog "
    "where \"DOG DANNI\".systoqnie<>'Прекратен') L group by L.id_mest) U "
    "inner join mestnost on mestnost.id_mestn = U.id_mest "
    "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
    "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte) Q1 "
    "group by Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl";

// Every row of a select as text, sorted; areas as the screen shows them (three
// decimals: sums of the same areas added in another order may differ in the
// last bit of a double).
QStringList selected(fb::Connection& c, const QString& select)
{
    fb::Transaction tr(c, fb::TransactionOptions::readCommitted(true));
    fb::Statement st(c, select);
    QStringList rows;
    for (const auto& row : fb::fetchAll(st, tr)) {
        QStringList fields;
        for (const Value& v : row)
            fields << (v.isNull()                        ? QStringLiteral("<empty>")
                       : v.type() == Value::Type::Double ? QString::number(v.toDouble(), 'f', 3)
                                                         : v.toString());
        rows << fields.join(QLatin1Char('|'));
    }
    rows.sort();
    return rows;
}

class PlotAreaCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.attach(db.path());
        demo::fill(c, {120, 500, 7});
    }

    // Where the kept figures differ from those computed from the lines now.
    void expectKeptEqualsComputed(const char* when)
    {
        plots::bringUpToDate(c);
        const QStringList kept = selected(c, reports::summaryStatement(plots::keptLocalityAreas()));
        EXPECT_EQ(kept, selected(c, QString::fromUtf8(kSummaryFromLines))) << when;
        EXPECT_EQ(selected(c, plots::keptPlotAreas()), selected(c, plots::plotAreas())) << when;
        const QString computed = plots::localityAreas(plots::plotAreas());
        EXPECT_EQ(selected(c, plots::keptLocalityAreas()), selected(c, computed)) << when;
        EXPECT_EQ(selected(c, reports::settlementsStatement(plots::keptLocalityAreas())),
                  selected(c, reports::settlementsStatement(computed)))
            << when;
    }

    testsupport::TestDatabase db;
    fb::Connection c;
};

// Random edits of what the kept rows read, as the screens make them.
class Editor : testsupport::RandomEdits {
public:
    Editor(fb::Connection& c, fb::Transaction& tr, std::mt19937& random) : RandomEdits(c, tr, random) {}

    // One random edit; an edit the database refuses is skipped.
    void edit()
    {
        plots_ = keys("select id_zemq from zemq");
        contracts_ = keys("select id_dog from \"DOG DANNI\"");
        lines_ = keys("select id_dhz from doghorazemi");
        localities_ = keys("select id_mestn from mestnost");
        try {
            apply(pick(13));
        } catch (const fb::Error&) {
        }
    }

private:
    void apply(int what)
    {
        switch (what) {
            case 0:  // a line's area, sometimes none
                run("update doghorazemi set redplosht = ? where id_dhz = ?", {pick(8) ? area() : Value(), any(lines_)});
                break;
            case 1:  // a line moves to another plot or contract
                run("update doghorazemi set id_zemq = ?, id_dog = ? where id_dhz = ?",
                    {any(plots_), any(contracts_), any(lines_)});
                break;
            case 2:
                run("insert into doghorazemi (id_zemq, id_sobstv, id_dog, redplosht) values (?, 1, ?, ?)",
                    {any(plots_), any(contracts_), area()});
                break;
            case 3:
                run("delete from doghorazemi where id_dhz = ?", {any(lines_)});
                break;
            case 4:
                run("update \"DOG DANNI\" set systoqnie = 'Прекратен' where id_dog = ?", {any(contracts_)});
                break;
            case 5:  // in force again, or without a state (which counts: it is not terminated)
                run("update \"DOG DANNI\" set systoqnie = ? where id_dog = ?",
                    {pick(5) ? Value(QStringLiteral("Действащ")) : Value(), any(contracts_)});
                break;
            case 6:  // a contract is deleted, its lines stay behind
                run("delete from \"DOG DANNI\" where id_dog = ?", {any(contracts_)});
                break;
            case 7: {  // lines wait for a contract that comes later
                const int contract = 900000 + pick(1000);
                run("update doghorazemi set id_dog = ? where id_dhz = ?", {contract, any(lines_)});
                run("insert into \"DOG DANNI\" (id_dog, nomer, systoqnie) values (?, 'н', ?)",
                    {contract, pick(3) ? QStringLiteral("Действащ") : QStringLiteral("Прекратен")});
                break;
            }
            case 8:
                run("update zemq set id_mest = ? where id_zemq = ?", {any(localities_), any(plots_)});
                break;
            case 9:  // sometimes no area at all
                run("update zemq set plosht = ? where id_zemq = ?", {pick(6) ? area() : Value(), any(plots_)});
                break;
            case 10:
                run("delete from zemq where id_zemq = ?", {any(plots_)});
                break;
            case 11:
                run("insert into zemq (id_mest, imot_no, plosht) values (?, 'н', ?)", {any(localities_), area()});
                break;
            default:  // names are joined as they stand
                run("update mestnost set naim_mestn = ? where id_mestn = ?",
                    {QStringLiteral("М%1").arg(pick(5)), any(localities_)});
                break;
        }
    }

    Value area() { return pick(10000) / 1000.0; }

    std::vector<int> plots_, contracts_, lines_, localities_;
};

}  // namespace

TEST_F(PlotAreaCache, KeptSummaryEqualsTheOneFromEveryLineAfterEachBatchOfRandomEdits)
{
    expectKeptEqualsComputed("as generated");
    ASSERT_GT(selected(c, QString::fromUtf8(kSummaryFromLines)).size(), 20);

    std::mt19937 random(20261210);
    fb::Transaction tr(c);
    Editor editor(c, tr, random);
    int recomputed = 0;
    for (int batch = 0; batch < 30; ++batch) {
        const int edits = 1 + std::uniform_int_distribution<int>(0, 9)(random);
        for (int i = 0; i < edits; ++i)
            editor.edit();
        tr.commit();
        recomputed += plots::bringUpToDate(c);
        expectKeptEqualsComputed(("batch " + std::to_string(batch)).c_str());
        if (HasFailure())
            return;
    }
    EXPECT_GT(recomputed, 30);
}

TEST_F(PlotAreaCache, OnlyCommittedChangesCountAndATerminationReachesEveryPlotOfTheContract)
{
    plots::bringUpToDate(c);
    const QStringList start = selected(c, plots::keptPlotAreas());
    fb::Transaction tr(c);
    const int contract =
        fb::fetchScalar(c, tr,
                        QStringLiteral("select first 1 d.id_dog from doghorazemi d inner join \"DOG DANNI\" g on "
                                       "g.id_dog = d.id_dog where g.systoqnie <> 'Прекратен' and "
                                       "d.id_zemq is not null group by d.id_dog "
                                       "order by count(distinct d.id_zemq) desc"))
            .toInt();
    const int plotsOfIt = fb::fetchScalar(c, tr,
                                          QStringLiteral("select count(distinct id_zemq) from doghorazemi "
                                                         "where id_dog = ?"),
                                          {contract})
                              .toInt();
    ASSERT_GT(plotsOfIt, 1);
    fb::execute(c, tr, QStringLiteral("update \"DOG DANNI\" set systoqnie = 'Прекратен' where id_dog = ?"), {contract});

    // Brought up to date while the termination is open: nothing changes, the marks stay.
    EXPECT_EQ(plots::bringUpToDate(c), 0);
    EXPECT_EQ(selected(c, plots::keptPlotAreas()), start);
    tr.commit();
    EXPECT_EQ(plots::bringUpToDate(c), plotsOfIt);
    EXPECT_NE(selected(c, plots::keptPlotAreas()), start);
    expectKeptEqualsComputed("after the termination");
    EXPECT_EQ(plots::bringUpToDate(c), 0);
}

TEST_F(PlotAreaCache, ARegisterOfTheFourthVersionGetsTheKeptRowsOnUpgrade)
{
    fb::Transaction tr(c);
    for (const char* trigger : {"ZD_ZEMQ", "ZD_DOGHORAZEMI", "ZD_DOG_DANNI"})
        c.executeImmediate(tr, QStringLiteral("drop trigger ") + QLatin1String(trigger));
    c.executeImmediate(tr, QStringLiteral("drop procedure ZEMQ_DOGPL_MARK"));
    for (const char* table : {"ZEMQ_DOGPL_PROM", "ZEMQ_DOGPL_PROM_TR", "ZEMQ_DOGPL"})
        c.executeImmediate(tr, QStringLiteral("drop table ") + QLatin1String(table));
    c.executeImmediate(tr, QStringLiteral("drop index IX_DOGHORAZEMI_ZEMQ_SOBSTV"));
    tr.commit();
    fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 4"));
    tr.commit();

    schema::upgrade(c);
    schema::upgrade(c);  // a second time finds nothing to do
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select list(version) from arventa_schema")).toString(),
              QString::number(schema::kVersion));
    EXPECT_EQ(fb::fetchScalar(c, tr,
                              QStringLiteral("select count(*) from rdb$indices where rdb$index_name = "
                                             "'IX_DOGHORAZEMI_ZEMQ_SOBSTV'"))
                  .toInt(),
              1);
    tr.commit();
    EXPECT_EQ(plots::bringUpToDate(c), 0);
    expectKeptEqualsComputed("after the upgrade");

    // The triggers came back with the tables.
    fb::execute(c, tr,
                QStringLiteral("update zemq set plosht = plosht + 1 where id_zemq = (select min(id_zemq) from zemq)"));
    tr.commit();
    EXPECT_EQ(plots::bringUpToDate(c), 1);
    expectKeptEqualsComputed("after an edit");
}

// A change that marks a good part of the plots is computed in one pass over
// every line; a change still open meanwhile keeps its marks for the next call.
TEST_F(PlotAreaCache, ManyMarkedPlotsAreComputedInOnePassThatLeavesOpenChangesMarked)
{
    plots::bringUpToDate(c);
    fb::Transaction tr(c), open(c);
    fb::execute(c, tr, QStringLiteral("update doghorazemi set redplosht = redplosht + 1"));
    fb::execute(c, open, QStringLiteral("update zemq set plosht = 7 where id_zemq = (select max(id_zemq) from zemq)"));
    tr.commit();
    const int lines = fb::fetchScalar(c, tr, QStringLiteral("select count(distinct id_zemq) from doghorazemi")).toInt();
    tr.commit();
    ASSERT_GT(lines, 500 / 4);
    EXPECT_EQ(plots::bringUpToDate(c), lines);
    expectKeptEqualsComputed("after every line changed");

    open.commit();
    EXPECT_EQ(plots::bringUpToDate(c), 1);
    expectKeptEqualsComputed("after the open change");
}

TEST_F(PlotAreaCache, ARegisterOfTheSixthVersionGetsTheSumsPerLocalityOnUpgrade)
{
    fb::Transaction tr(c);
    c.executeImmediate(tr, QStringLiteral("drop index IX_ZEMQ_DOGPL_ID_MEST"));
    c.executeImmediate(tr, QStringLiteral("drop table ZEMQ_DOGPL_MEST"));
    tr.commit();
    fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 6"));
    // A plot changed under the sixth version is marked as it was then.
    fb::execute(c, tr,
                QStringLiteral("update zemq set plosht = plosht + 2 where id_zemq = (select min(id_zemq) from zemq)"));
    tr.commit();

    schema::upgrade(c);
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select list(version) from arventa_schema")).toString(),
              QString::number(schema::kVersion));
    tr.commit();
    expectKeptEqualsComputed("after the upgrade");
    fb::execute(c, tr,
                QStringLiteral("update zemq set id_mest = (select max(id_mestn) from mestnost) "
                               "where id_zemq = (select max(id_zemq) from zemq)"));
    tr.commit();
    EXPECT_EQ(plots::bringUpToDate(c), 1);
    expectKeptEqualsComputed("after a plot moved to another locality");
}

// The eighth version indexed the marks and found a transaction's own by their
// record version; upgraded, the marks have no index (an index emptied at once
// is what a killed engine left damaged), a mark made under the eighth version
// still counts, and a transaction marks a plot once.
TEST_F(PlotAreaCache, ARegisterOfTheEighthVersionKeepsItsMarksWithoutAnIndex)
{
    plots::bringUpToDate(c);
    fb::Transaction tr(c);
    c.executeImmediate(tr, QStringLiteral("create or alter procedure ZEMQ_DOGPL_MARK (PLOT integer) as\n"
                                          "begin\n"
                                          "  if (not exists(select 1 from zemq_dogpl_prom where id_zemq = :plot\n"
                                          "                 and rdb$record_version = current_transaction)) then\n"
                                          "    insert into zemq_dogpl_prom (id_zemq) values (:plot);\n"
                                          "end"));
    c.executeImmediate(tr, QStringLiteral("create or alter procedure NACH_RENTA_MARK (OWNER integer) as\n"
                                          "begin\n"
                                          "  insert into nach_renta_prom (id_hora) values (:owner);\n"
                                          "end"));
    tr.commit();
    for (const char* table : {"ZEMQ_DOGPL_PROM_TR", "NACH_RENTA_PROM_TR"})
        c.executeImmediate(tr, QStringLiteral("drop table ") + QLatin1String(table));
    c.executeImmediate(tr, QStringLiteral("create index IX_ZEMQ_DOGPL_PROM_ID_ZEMQ on ZEMQ_DOGPL_PROM (ID_ZEMQ)"));
    c.executeImmediate(tr, QStringLiteral("create index IX_NACH_RENTA_PROM_ID_HORA on NACH_RENTA_PROM (ID_HORA)"));
    tr.commit();
    fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 8"));
    const QString change =
        QStringLiteral("update zemq set plosht = plosht + 1 where id_zemq = (select min(id_zemq) from zemq)");
    fb::execute(c, tr, change);
    tr.commit();

    schema::upgrade(c);
    const auto scalar = [&](const char* sql) { return fb::fetchScalar(c, tr, QLatin1String(sql)).toInt(); };
    EXPECT_EQ(scalar("select max(version) from arventa_schema"), schema::kVersion);
    EXPECT_EQ(scalar("select count(*) from rdb$indices where rdb$relation_name in ('ZEMQ_DOGPL_PROM', "
                     "'NACH_RENTA_PROM')"),
              0);
    EXPECT_EQ(scalar("select count(*) from zemq_dogpl_prom"), 1);
    fb::execute(c, tr, change);
    fb::execute(c, tr, change);
    EXPECT_EQ(scalar("select count(*) from zemq_dogpl_prom"), 2);
    tr.commit();
    EXPECT_EQ(plots::bringUpToDate(c), 1);
    expectKeptEqualsComputed("after the upgrade");
}
