#include "schema/rent_due_cache.h"

#include "demo/writer.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/schema.h"
#include "support/random_edits.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDate>

#include <random>

using fb::Value;
namespace rent = schema::rent;

namespace {

// Lists compared in tests print as their lines.
struct Lines {
    QStringList rows;
    bool operator==(const Lines&) const = default;
};

void PrintTo(const Lines& lines, std::ostream* os)
{
    *os << lines.rows.join(QLatin1Char('\n')).toStdString();
}

// Every row of a select as text, in its order.
Lines selected(fb::Connection& c, const QString& select)
{
    fb::Transaction tr(c, fb::TransactionOptions::readCommitted(true));
    fb::Statement st(c, select);
    QStringList rows;
    for (const auto& row : fb::fetchAll(st, tr)) {
        QStringList fields;
        for (const Value& v : row)
            fields << (v.isNull() ? QStringLiteral("<empty>") : v.toString());
        rows << fields.join(QLatin1Char('|'));
    }
    return {rows};
}

// Every row of a rent list statement, in owner order.
Lines listed(fb::Connection& c, const rent::RentListStatement& statement)
{
    return selected(c, statement.base + QStringLiteral(" order by Q1.id_sobstv"));
}

// Every share row (HDZ with the owner's and the contract type's columns), over
// the kept contract lines or computed now.
Lines shares(fb::Connection& c, bool kept)
{
    rent::SharesOptions options{true, true, true};
    if (kept)
        options.lines = rent::keptContractLines();
    return selected(c, QStringLiteral("select * from (") + rent::contractedShares(options) +
                           QStringLiteral(") order by id_sobstv, id_zeml, id_dt, systoqnie"));
}

// Where the kept rows differ from the rows computed now: the rent list's rows
// both ways, and the share rows.
Lines differences(fb::Connection& c)
{
    rent::bringUpToDate(c);
    const QStringList cached = listed(c, rent::cachedRentList()).rows;
    const QStringList computed = listed(c, rent::rentList()).rows;
    Lines differ;
    for (const QString& row : cached)
        if (!computed.contains(row))
            differ.rows << QStringLiteral("kept:     ") + row;
    for (const QString& row : computed)
        if (!cached.contains(row))
            differ.rows << QStringLiteral("computed: ") + row;
    if (shares(c, true) != shares(c, false))
        differ.rows << QStringLiteral("the share rows differ");
    // The unpaid rest of the report and the year closing, whole rows.
    const auto rest = [&](const QString& select) {
        return selected(c, QStringLiteral("select * from (") + select + QStringLiteral(") order by id_sobstv"));
    };
    if (rest(rent::cachedUnpaidRest()) != rest(rent::unpaidRest()))
        differ.rows << QStringLiteral("the unpaid rest differs");
    return differ;
}

// A generated enterprise to edit at random.
class RentDueCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.attach(db.path());
        demo::fill(c, {120, 500, 7});
    }

    testsupport::TestDatabase db;
    fb::Connection c;
};

// Random edits of every input of the rent due, as the screens make them.
class Editor : testsupport::RandomEdits {
public:
    Editor(fb::Connection& c, fb::Transaction& tr, std::mt19937& random) : RandomEdits(c, tr, random) {}

    // One random edit; an edit the database refuses (a key taken) is skipped.
    void edit()
    {
        owners_ = keys("select id_hora from hora");
        plots_ = keys("select id_zemq from zemq");
        contracts_ = keys("select id_dog from \"DOG DANNI\"");
        lines_ = keys("select id_dhz from doghorazemi");
        localities_ = keys("select id_mestn from mestnost");
        areas_ = keys("select id_zeml from zemlishte");
        rules_ = keys("select id_rz from \"RENTA ZEML\"");
        try {
            // Mostly edits of some owners' land, now and then one of everyone's.
            apply(pick(4) ? pick(15) : pick(22));
        } catch (const fb::Error&) {
        }
    }

private:
    void apply(int what)
    {
        switch (what) {
            case 0: {  // a share's equalised area
                const Value owner = any(owners_);
                run("update sobstv set prredpl = ? where id_hora = ? and id_zemq = (select first 1 id_zemq from "
                    "sobstv where id_hora = ?)",
                    {area(), owner, owner});
                break;
            }
            case 1:  // a contract line's area, sometimes none
                run("update doghorazemi set redplosht = ? where id_dhz = ?", {pick(8) ? area() : Value(), any(lines_)});
                break;
            case 2:  // a line passes to another owner
                run("update doghorazemi set id_sobstv = ? where id_dhz = ?", {any(owners_), any(lines_)});
                break;
            case 3:  // a line moves to another plot or contract
                run("update doghorazemi set id_zemq = ?, id_dog = ? where id_dhz = ?",
                    {any(plots_), any(contracts_), any(lines_)});
                break;
            case 4: {  // a new line with its share
                const Value owner = any(owners_), plot = any(plots_);
                run("insert into doghorazemi (id_zemq, id_sobstv, id_dog, redplosht) values (?, ?, ?, ?)",
                    {plot, owner, any(contracts_), area()});
                run("insert into sobstv (id_hora, id_zemq, prredpl, redplosht) values (?, ?, ?, ?)",
                    {owner, plot, area(), area()});
                break;
            }
            case 5:
                run("delete from doghorazemi where id_dhz = ?", {any(lines_)});
                break;
            case 6:
                run("delete from sobstv where id_zemq = ?", {any(plots_)});
                break;
            case 7:  // terminated, inside the farming year or not, or without a date
                run("update \"DOG DANNI\" set systoqnie = 'Прекратен', datapr = ? where id_dog = ?",
                    {pick(4) ? Value(QDate(2008 + pick(5), 1 + pick(12), 1)) : Value(), any(contracts_)});
                break;
            case 8:
                run("update \"DOG DANNI\" set systoqnie = ? where id_dog = ?",
                    {pick(6) ? Value(QStringLiteral("Действащ")) : Value(), any(contracts_)});
                break;
            case 9:  // its term
                run("update \"DOG DANNI\" set otdata = ?, dodata = ? where id_dog = ?",
                    {QDate(2005 + pick(8), 1, 1), QDate(2008 + pick(8), 12, 31), any(contracts_)});
                break;
            case 10:
                run("update \"DOG DANNI\" set id_dt = ? where id_dog = ?", {1 + pick(3), any(contracts_)});
                break;
            case 11:  // a contract is deleted, its lines stay behind
                run("delete from \"DOG DANNI\" where id_dog = ?", {any(contracts_)});
                break;
            case 12:
                run("update zemq set id_mest = ? where id_zemq = ?", {any(localities_), any(plots_)});
                break;
            case 13:
                run("delete from zemq where id_zemq = ?", {any(plots_)});
                break;
            case 14:
                run("update mestnost set id_zeml = ? where id_mestn = ?", {any(areas_), any(localities_)});
                break;
            case 15: {  // the farming year moves a year on or back
                const int years = pick(2) ? 1 : -1;
                run("update firma set fromyear = dateadd(? year to fromyear), toyear = dateadd(? year to toyear)",
                    {years, years});
                break;
            }
            case 16:  // a rule line's quantity and price
                run("update vidrentakol set kol = ?, ec = ? where id_rz = ?",
                    {pick(2) ? 12.5 + pick(40) : 10.125 + pick(30), 0.2 + pick(10) / 7.0, any(rules_)});
                break;
            case 17:
                run("insert into vidrentakol (id_vrk, id_rz, kol, ec) values (?, ?, ?, 1)",
                    {1 + pick(3), any(rules_), 5 + pick(50)});
                break;
            case 18:
                run("delete from vidrentakol where id_rz = ? and id_vrk = ?", {any(rules_), 1 + pick(3)});
                break;
            case 19:  // a rule of another area or contract type
                run("update \"RENTA ZEML\" set id_zeml = ?, id_dt = ? where id_rz = ?",
                    {any(areas_), 1 + pick(3), any(rules_)});
                break;
            case 20:  // payouts are joined as they stand, and an owner may go
                run("insert into razp_pari (id_hora, suma, pmg) values (?, ?, ?)",
                    {any(owners_), 10.0 + pick(200), pick(3) ? Value() : Value(1)});
                if (!pick(5))
                    run("delete from hora where id_hora = ?", {any(owners_)});
                break;
            default:  // an area of another settlement, or of none
                run("update zemlishte set ekatte = ? where id_zeml = ?",
                    {pick(3) ? QStringLiteral("00014") : QStringLiteral("99999"), any(areas_)});
                break;
        }
    }

    Value area() { return pick(10000) / 1000.0 + pick(7) / 10000.0; }

    std::vector<int> owners_, plots_, contracts_, lines_, localities_, areas_, rules_;
};

}  // namespace

TEST_F(RentDueCache, KeptListEqualsTheComputedOneAfterEveryBatchOfRandomEdits)
{
    ASSERT_EQ(differences(c), Lines());
    const Lines generated = listed(c, rent::rentList());
    ASSERT_GT(generated.rows.size(), 50);

    std::mt19937 random(20261209);
    fb::Transaction tr(c);
    Editor editor(c, tr, random);
    int changedLists = 0, partial = 0;
    Lines before = generated;
    for (int batch = 0; batch < 40; ++batch) {
        const int edits = 1 + std::uniform_int_distribution<int>(0, 14)(random);
        for (int i = 0; i < edits; ++i)
            editor.edit();
        tr.commit();
        const rent::Refresh done = rent::bringUpToDate(c);
        partial += done.everything ? 0 : 1;
        ASSERT_EQ(differences(c), Lines()) << "batch " << batch;
        const Lines now = listed(c, rent::rentList());
        changedLists += now == before ? 0 : 1;
        before = now;
    }
    // Every share's equalised area at once, as an equalisation of the categories makes it.
    fb::execute(c, tr, QStringLiteral("update sobstv set prredpl = prredpl * 1.01"));
    tr.commit();
    EXPECT_TRUE(rent::bringUpToDate(c).everything);
    EXPECT_EQ(differences(c), Lines());

    // The edits reached the figures, through both ways of bringing them up to date.
    EXPECT_GT(changedLists, 30);
    EXPECT_GT(partial, 10);
    EXPECT_LT(partial, 35);
}

TEST_F(RentDueCache, OnlyCommittedChangesCountAndNoneIsLost)
{
    rent::bringUpToDate(c);
    const Lines start = listed(c, rent::cachedRentList());
    fb::Transaction tr(c);
    const int owner = fb::fetchScalar(c, tr, QStringLiteral("select min(id_sobstv) from nach_renta")).toInt();
    fb::execute(c, tr, QStringLiteral("update doghorazemi set redplosht = redplosht + 1000 where id_sobstv = ?"),
                {owner});

    // All his lines changed, one mark.
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from nach_renta_prom")).toInt(), 1);

    // Brought up to date while the change is open: the figures stay as they were.
    rent::bringUpToDate(c);
    EXPECT_EQ(listed(c, rent::cachedRentList()), start);
    tr.commit();
    const rent::Refresh done = rent::bringUpToDate(c);
    EXPECT_FALSE(done.everything);
    EXPECT_EQ(done.owners, 1);
    EXPECT_NE(listed(c, rent::cachedRentList()), start);
    EXPECT_EQ(differences(c), Lines());

    // A payout leaves the figures alone and still shows.
    fb::execute(c, tr, QStringLiteral("insert into razp_pari (id_hora, suma) select first 1 id_hora, 10 from hora"));
    tr.commit();
    EXPECT_EQ(rent::bringUpToDate(c).owners, 0);
    EXPECT_EQ(differences(c), Lines());
}

TEST_F(RentDueCache, ADatabaseOfTheFirstVersionGetsTheKeptFiguresOnUpgrade)
{
    const Lines computed = listed(c, rent::rentList());
    // Back to the first version: nothing of the cache is left, and at last no
    // version table either (a register made elsewhere).
    const auto firstVersion = [&](bool versionTable) {
        fb::Transaction tr(c);
        for (const char* trigger : {"DOGHORAZEMI", "SOBSTV", "ZEMQ", "MESTNOST", "DOG_DANNI", "FIRMA", "RENTA_ZEML",
                                    "VIDRENTAKOL", "VID_RENTA", "DOGTIP", "ZEMLISHTE", "NAS_MQSTO"})
            c.executeImmediate(tr, QStringLiteral("drop trigger NR_") + QLatin1String(trigger));
        c.executeImmediate(tr, QStringLiteral("drop procedure NACH_RENTA_MARK"));
        for (const char* table :
             {"NACH_RENTA_PROM", "NACH_RENTA_PROM_TR", "NACH_RENTA_DOG", "NACH_RENTA", "NACH_RENTA_NR"})
            c.executeImmediate(tr, QStringLiteral("drop table ") + QLatin1String(table));
        if (!versionTable)
            c.executeImmediate(tr, QStringLiteral("drop table ARVENTA_SCHEMA"));
        tr.commit();
        if (versionTable) {
            fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 1"));
            tr.commit();
        }
    };
    for (const bool versionTable : {true, false}) {
        firstVersion(versionTable);
        schema::upgrade(c);
        schema::upgrade(c);  // a second time finds nothing to do
        fb::Transaction tr(c);
        EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select list(version) from arventa_schema")).toString(),
                  QString::number(schema::kVersion));
        EXPECT_TRUE(rent::bringUpToDate(c).everything);
        EXPECT_EQ(listed(c, rent::cachedRentList()), computed);
    }
    // The second version lacks only the kept unpaid due.
    {
        fb::Transaction tr(c);
        c.executeImmediate(tr, QStringLiteral("drop table NACH_RENTA_NR"));
        tr.commit();
        fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 2"));
        tr.commit();
    }
    schema::upgrade(c);
    EXPECT_TRUE(rent::bringUpToDate(c).everything);
    EXPECT_EQ(differences(c), Lines());
}

// A change undone with the statement that made it takes its mark along; the
// owner is marked again by the next change of the same transaction.
TEST_F(RentDueCache, AChangeUndoneWithItsStatementLeavesNoMarkAndTheNextOneMarks)
{
    rent::bringUpToDate(c);
    fb::Transaction tr(c);
    const int owner = fb::fetchScalar(c, tr, QStringLiteral("select min(id_sobstv) from nach_renta")).toInt();
    const QString change =
        QStringLiteral("update doghorazemi set redplosht = redplosht + 1 where id_sobstv = %1").arg(owner);
    EXPECT_THROW(c.executeImmediate(
                     tr, QStringLiteral("execute block as declare x integer; begin %1; x = 1/0; end").arg(change)),
                 fb::Error);
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from nach_renta_prom")).toInt(), 0);
    fb::execute(c, tr, change);
    fb::execute(c, tr, change);
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from nach_renta_prom")).toInt(), 1);
    tr.commit();
    EXPECT_EQ(differences(c), Lines());
}
