#include "schema/rent_sql.h"

#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QMap>
#include <QSet>

using fb::Value;
namespace rent = schema::rent;

// Readable failure messages for texts and lists of texts.
void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

constexpr int kArenda = 1;  // delivered contract type "Аренда"
constexpr int kNaem = 2;    // delivered contract type "Наем"
constexpr int kWheat = 2;   // a goods rent type the tests add

const QString kInForce = QStringLiteral("Действащ");
const QString kTerminated = QStringLiteral("Прекратен");

QDate day(int y, int m, int d)
{
    return QDate(y, m, d);
}

// One rent list row, read back as the texts of its exact decimals.
struct ListRow {
    QString zdpl, zpl, sop, rr, rp, izpl, ostatyk;
};

// A fresh register in the farming year 01.10.2009 - 30.09.2010, with one
// cadastral area (and locality) and a wheat rent type; each test adds the
// owners, plots, contracts, rules and payouts it needs.
class RentSql : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.attach(db.path());
        exec("insert into firma (id_firma, fromyear, toyear) values (1, ?, ?)", {day(2009, 10, 1), day(2010, 9, 30)});
        exec("insert into vid_renta (id_vr, naim_vr, me) values (?, 'Пшеница', 'кг')", {kWheat});
        exec("insert into rentakult (id_rk, rk) values (2, 'Пшеница')");
        area = addArea("00014");
    }

    void exec(const char* sql, const std::vector<Value>& params = {})
    {
        fb::execute(c, tr, QString::fromUtf8(sql), params);
    }
    int lastKey(const char* table, const char* key)
    {
        return fb::fetchScalar(c, tr, QStringLiteral("select max(%1) from %2").arg(key, table)).toInt();
    }

    // A cadastral area of the settlement with one locality; returns the
    // locality, the area is lastArea.
    int addArea(const char* ekatte)
    {
        exec("insert into zemlishte (ekatte) values (?)", {ekatte});
        lastArea = lastKey("zemlishte", "id_zeml");
        exec("insert into mestnost (id_zeml, naim_mestn) values (?, 'Герена')", {lastArea});
        return lastKey("mestnost", "id_mestn");
    }
    int addOwner(const QString& name)
    {
        exec("insert into hora (egn, ime, predst) values (?, ?, '')", {QString::number(owners++), name});
        return lastKey("hora", "id_hora");
    }
    int addContract(const Value& state, const Value& from, const Value& to, const Value& terminated = {},
                    int type = kArenda)
    {
        exec(
            "insert into \"DOG DANNI\" (nomer, systoqnie, otdata, dodata, datapr, id_dt, id_firma) "
            "values (?, ?, ?, ?, ?, ?, 1)",
            {QString::number(++contracts), state, from, to, terminated, type});
        return lastKey("\"DOG DANNI\"", "id_dog");
    }
    int inForce(int type = kArenda) { return addContract(kInForce, day(2008, 1, 1), day(2015, 1, 1), {}, type); }

    // A plot in `locality` of which `owner` holds `area` decares (`equalised`
    // after equalisation), bound by a line of `contract`.
    void bind(int contract, int owner, double area, double equalised, int locality)
    {
        exec("insert into zemq (id_mest, imot_no, plosht, prplosht) values (?, ?, ?, ?)",
             {locality, QString::number(++plots), area, equalised});
        const int plot = lastKey("zemq", "id_zemq");
        exec("insert into doghorazemi (id_zemq, id_sobstv, id_dog, chast, redplosht) values (?, ?, ?, '1/1', ?)",
             {plot, owner, contract, area});
        exec(
            "insert into sobstv (id_hora, id_zemq, redplosht, chast, id_dog, id_dhz, prredpl) "
            "values (?, ?, ?, '1/1', ?, ?, ?)",
            {owner, plot, area, contract, lastKey("doghorazemi", "id_dhz"), equalised});
    }
    void bind(int contract, int owner, double equalised) { bind(contract, owner, equalised, equalised, area); }

    // The rule of the last area for `type`, with the given lines.
    int addRule(int type = kArenda, int zeml = 0)
    {
        exec("insert into \"RENTA ZEML\" (id_zeml, id_dt) values (?, ?)", {zeml ? zeml : lastArea, type});
        return lastKey("\"RENTA ZEML\"", "id_rz");
    }
    void addRuleLine(int rule, int rentType, double kol, double ec)
    {
        exec("insert into vidrentakol (id_vrk, id_rz, kol, ec) values (?, ?, ?, ?)", {rentType, rule, kol, ec});
    }

    int addReceipt(int owner)
    {
        // Each receipt a number of its own: the database admits a number once.
        exec(
            "insert into \"RAZP DANNI\" (id_hora, data, nom) "
            "values (?, ?, (select coalesce(max(nom), 0) + 1 from \"RAZP DANNI\"))",
            {owner, day(2010, 1, 15)});
        return lastKey("\"RAZP DANNI\"", "id_rd");
    }
    void addReceiptLine(int receipt, int rentType, double kol, double value, int goods)
    {
        exec(
            "insert into \"RAZP RENTA\" (id_rd, id_vr, kol, stoinost, id_rk, id_dt, id_zeml) "
            "values (?, ?, ?, ?, ?, 1, ?)",
            {receipt, rentType, kol, value, goods, lastArea});
    }
    void addPayment(int owner, double sum, const Value& pmg = {})
    {
        exec("insert into razp_pari (id_hora, suma, pmg, data) values (?, ?, ?, ?)",
             {owner, sum, pmg, day(2010, 2, 1)});
    }

    // Owner -> rows of HDZ (with the contract state), from the plain block.
    QMap<int, QStringList> sharesByOwner()
    {
        fb::Statement st(c, QStringLiteral("select id_sobstv, systoqnie, ZPl from (") + rent::contractedShares() +
                                QStringLiteral(") order by 1, 2"));
        QMap<int, QStringList> rows;
        for (const auto& r : fb::fetchAll(st, tr))
            rows[r[0].toInt()] << r[1].toString() + QLatin1Char(' ') + r[2].toDecimal().toString();
        return rows;
    }

    // Owner -> "type: quantity / value" per rent type, from the applying rules with the due quantity and value.
    QMap<int, QStringList> duePerType()
    {
        const QString sql = QStringLiteral(
                                "select HDZ.id_sobstv, vidrentakol.id_vrk, case when vidrentakol.id_vrk = 1 then "
                                "cast(sum(%1) as decimal(15,2)) else cast(sum(%2) as decimal(15,0)) end, %3 ")
                                .arg(rent::dueQuantity(rent::Form::Money), rent::dueQuantity(rent::Form::Goods),
                                     rent::dueValuePerType()) +
                            rent::rulesThatApply(rent::contractedShares()) +
                            QStringLiteral("group by HDZ.id_sobstv, vidrentakol.id_vrk order by 1, 2");
        fb::Statement st(c, sql);
        QMap<int, QStringList> rows;
        for (const auto& r : fb::fetchAll(st, tr)) {
            // The case gives both forms the scale of money; goods were already whole units.
            const int type = r[1].toInt();
            const fb::Decimal quantity = r[2].toDecimal().rescaled(type == rent::kMoneyType ? 2 : 0);
            rows[r[0].toInt()]
                << QStringLiteral("%1: %2 / %3").arg(type).arg(quantity.toString(), r[3].toDecimal().toString());
        }
        return rows;
    }

    QMap<int, ListRow> rentList()
    {
        fb::Statement st(c, rent::rentList().text());
        QMap<int, ListRow> rows;
        st.open(tr);
        while (st.fetch()) {
            const auto text = [&](const char* column) {
                const fb::Value& v = st.value(QLatin1String(column));
                return v.isNull() ? QStringLiteral("<empty>") : v.toDecimal().toString();
            };
            rows[st.value(QStringLiteral("ID_SOBSTV")).toInt()] = {
                text("ZDPL"), text("ZPL"), text("SOP"), text("RR"), text("RP"), text("IZPL"), text("OSTATYK")};
        }
        return rows;
    }

    testsupport::TestDatabase db;
    fb::Connection c;
    fb::Transaction tr{c};
    int area = 0;
    int lastArea = 0;
    int owners = 1000000000;
    int contracts = 0;
    int plots = 0;
};

}  // namespace

TEST_F(RentSql, RuleLinesAreRoundedPerDecareBeforeTheAreaCountsIn)
{
    const int goods = addOwner(QStringLiteral("Иван Петров"));
    const int money = addOwner(QStringLiteral("Мария Колева"));
    bind(inForce(kArenda), goods, 1.0);
    bind(inForce(kNaem), money, 1.0);
    addRuleLine(addRule(kArenda), kWheat, 12.5, 1);
    addRuleLine(addRule(kNaem), rent::kMoneyType, 12.125, 1);

    const auto due = duePerType();
    EXPECT_EQ(due[goods], QStringList{"2: 13 / 13.00"}) << "12.5 kg per decare is 13 kg";
    EXPECT_EQ(due[money], QStringList{"1: 12.13 / 12.13"}) << "12.125 leva per decare is 12.13";
}

TEST_F(RentSql, GoodsAndMoneyLinesOfARuleAreReadRounded)
{
    const int rule = addRule();
    addRuleLine(rule, kWheat, 12.5, 0.3);
    addRuleLine(rule, rent::kMoneyType, 12.125, 1.5);
    const auto kolOf = [&](const QString& lines) {
        fb::Statement st(c, QStringLiteral("select kol, id_rz from (") + lines + QStringLiteral(")"));
        const auto rows = fb::fetchAll(st, tr);
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? QString() : rows[0][0].toDecimal().toString();
    };
    EXPECT_EQ(kolOf(rent::goodsLinesOfRules()), "13");
    EXPECT_EQ(kolOf(rent::moneyLineOfRules()), "12.13");

    // The due value read through them, for 2.5 equalised decares:
    // 13 kg x 2.5 = 32.5, rounded to 33 kg at 0.30; 12.13 x 1.5 = 18.195 -> 18.20 a decare.
    const int owner = addOwner(QStringLiteral("Кирил Жеков"));
    bind(inForce(), owner, 2.5);
    const QString sql = QStringLiteral("select cast(sum(%1) as decimal(15,2)), cast(sum(%2) as decimal(15,2)) ")
                            .arg(rent::dueValue(rent::Form::Goods, QStringLiteral("VRS")),
                                 rent::dueValue(rent::Form::Money, QStringLiteral("VRP"))) +
                        rent::rulesThatApply(rent::contractedShares(), false) + QStringLiteral(" inner join (") +
                        rent::goodsLinesOfRules() + QStringLiteral(") VRS on (\"RENTA ZEML\".id_rz=VRS.id_rz)") +
                        QStringLiteral(" inner join (") + rent::moneyLineOfRules() +
                        QStringLiteral(") VRP on (\"RENTA ZEML\".id_rz=VRP.id_rz)");
    fb::Statement st(c, sql);
    const auto rows = fb::fetchAll(st, tr);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toDecimal().toString(), "9.90");
    EXPECT_EQ(rows[0][1].toDecimal().toString(), "45.50");
}

TEST_F(RentSql, WorkedExampleOfGoodsAndMoneyDue)
{
    const int owner = addOwner(QStringLiteral("Стоян Димитров"));
    bind(inForce(), owner, 5.0, 3.4567, area);
    const int rule = addRule();
    addRuleLine(rule, kWheat, 40, 0.25);
    addRuleLine(rule, rent::kMoneyType, 30, 1);

    EXPECT_EQ(sharesByOwner()[owner], QStringList{"Действащ 3.457"});
    // 40 x 3.457 = 138.28 kg, rounded to 138 before it is priced at 0.25;
    // 30.00 leva x 3.457 = 103.71 leva.
    EXPECT_EQ(duePerType()[owner], QStringList({"1: 103.71 / 103.71", "2: 138 / 34.50"}));

    const ListRow row = rentList()[owner];
    EXPECT_EQ(row.zdpl, "5.000");
    EXPECT_EQ(row.zpl, "3.457");
    EXPECT_EQ(row.sop, "138.21");
    EXPECT_EQ(row.ostatyk, "138.21");
}

TEST_F(RentSql, OnlyContractsOfTheFarmingYearCount)
{
    struct Case {
        const char* what;
        Value state, from, to, terminated;
        bool counts;
    };
    const std::vector<Case> cases = {
        {"in force 2009-2010", kInForce, day(2009, 5, 1), day(2010, 5, 1), {}, true},
        {"terminated inside the year", kTerminated, day(2005, 1, 1), day(2015, 1, 1), day(2010, 3, 15), true},
        {"terminated the day after the year began", kTerminated, day(2005, 1, 1), day(2015, 1, 1), day(2009, 10, 2),
         true},
        {"empty state", Value(), day(2005, 1, 1), day(2015, 1, 1), {}, false},
        {"terminated without a date", kTerminated, day(2005, 1, 1), day(2015, 1, 1), {}, false},
        {"terminated on the first day", kTerminated, day(2005, 1, 1), day(2015, 1, 1), day(2009, 10, 1), false},
        {"terminated on the last day", kTerminated, day(2005, 1, 1), day(2015, 1, 1), day(2010, 9, 30), false},
        {"terminated before the year", kTerminated, day(2005, 1, 1), day(2015, 1, 1), day(2009, 6, 1), false},
        {"starts in the year the farming year ends", kInForce, day(2010, 1, 1), day(2015, 1, 1), {}, false},
        {"ends in the year the farming year starts", kInForce, day(2005, 1, 1), day(2009, 12, 31), {}, false},
        {"without a start", kInForce, Value(), day(2015, 1, 1), {}, false},
        {"without an end", kInForce, day(2005, 1, 1), Value(), {}, false},
    };
    QMap<int, const Case*> ownerOf;
    for (const Case& k : cases) {
        const int owner = addOwner(QString::fromUtf8(k.what));
        bind(addContract(k.state, k.from, k.to, k.terminated), owner, 1.0);
        ownerOf[owner] = &k;
    }
    const auto shares = sharesByOwner();
    for (auto it = ownerOf.cbegin(); it != ownerOf.cend(); ++it)
        EXPECT_EQ(shares.contains(it.key()), it.value()->counts) << it.value()->what;
}

TEST_F(RentSql, TerminatedAndRunningContractsOfOneTypeAndAreaGiveTwoRows)
{
    const int owner = addOwner(QStringLiteral("Петя Иванова"));
    bind(addContract(kTerminated, day(2005, 1, 1), day(2015, 1, 1), day(2010, 2, 1)), owner, 2.0);
    const int running = inForce();
    bind(running, owner, 1.5);
    bind(running, owner, 1.0);
    addRuleLine(addRule(), rent::kMoneyType, 10, 1);

    EXPECT_EQ(sharesByOwner()[owner], QStringList({"Действащ 2.500", "Прекратен 2.000"}));
    EXPECT_EQ(rentList()[owner].sop, "45.00");
}

TEST_F(RentSql, RentListCountsAllContractedLandButRentOnlyUnderARule)
{
    const int covered = addOwner(QStringLiteral("Георги Стоянов"));
    const int uncovered = addOwner(QStringLiteral("Недялко Рулев"));
    bind(inForce(kArenda), covered, 2.0, 1.5, area);
    bind(inForce(kNaem), covered, 4.0, 4.0, area);  // no rule for Наем here
    bind(inForce(kNaem), uncovered, 3.0);
    addRule(kNaem);  // a rule without lines earns nothing
    addRuleLine(addRule(kArenda), rent::kMoneyType, 20, 1.5);

    const auto list = rentList();
    EXPECT_FALSE(list.contains(uncovered));
    const ListRow row = list[covered];
    EXPECT_EQ(row.zdpl, "6.000");
    EXPECT_EQ(row.zpl, "5.500");
    EXPECT_EQ(row.sop, "45.00");
}

TEST_F(RentSql, RentListCountsEachShareOnceWhateverTheRulesLookLike)
{
    const int owner = addOwner(QStringLiteral("Радка Пенева"));
    bind(inForce(), owner, 2.0, 2.0, area);
    // A second rule for the same area and type (the rules screen refuses one,
    // the database does not): both rules' lines earn, the land counts once.
    addRuleLine(addRule(), rent::kMoneyType, 10, 1);
    const int second = addRule();
    addRuleLine(second, rent::kMoneyType, 5, 1);
    addRuleLine(second, kWheat, 100, 0.5);
    // A line whose plot is gone: contracted land without an area, so no rent.
    const int contract = inForce();
    bind(contract, owner, 1.5);
    exec("delete from zemq where id_zemq = ?", {lastKey("zemq", "id_zemq")});

    const ListRow row = rentList()[owner];
    EXPECT_EQ(row.zdpl, "3.500");
    EXPECT_EQ(row.zpl, "3.500");
    EXPECT_EQ(row.sop, "130.00") << "2 x 10 + 2 x 5 leva and 200 kg at 0.50";
}

TEST_F(RentSql, AnOwnerWhoseLinesHaveNoAreasIsListedWithEmptyFigures)
{
    // Under a rule of two lines each line of the list meets every share row;
    // the empty areas must stay empty, not turn into 0.000.
    const int owner = addOwner(QStringLiteral("Трифон Празников"));
    exec("insert into zemq (id_mest, imot_no) values (?, 'x')", {area});
    const int plot = lastKey("zemq", "id_zemq");
    const int contract = inForce();
    exec("insert into doghorazemi (id_zemq, id_sobstv, id_dog, chast) values (?, ?, ?, '1/1')",
         {plot, owner, contract});
    exec("insert into sobstv (id_hora, id_zemq, chast, id_dog) values (?, ?, '1/1', ?)", {owner, plot, contract});
    const int rule = addRule();
    addRuleLine(rule, kWheat, 40, 0.25);
    addRuleLine(rule, rent::kMoneyType, 30, 1);
    addPayment(owner, 10);

    const ListRow row = rentList()[owner];
    EXPECT_EQ(row.zdpl, "<empty>");
    EXPECT_EQ(row.zpl, "<empty>");
    EXPECT_EQ(row.sop, "<empty>");
    EXPECT_EQ(row.rp, "10.00");
    EXPECT_EQ(row.izpl, "10.00");
    EXPECT_EQ(row.ostatyk, "<empty>");
}

TEST_F(RentSql, PaidAmountsReduceTheRestExceptPastYearsAndGoodsMissingFromTheList)
{
    const int owner = addOwner(QStringLiteral("Димитър Николов"));
    const int other = addOwner(QStringLiteral("Атанас Ангелов"));
    bind(inForce(), owner, 10.0);
    bind(inForce(), other, 1.0);
    const int rule = addRule();
    addRuleLine(rule, kWheat, 40, 0.25);         // 400 kg = 100.00 leva
    addRuleLine(rule, rent::kMoneyType, 30, 1);  // 300.00 leva

    const int receipt = addReceipt(owner);
    addReceiptLine(receipt, kWheat, 100, 25.0, 2);
    addReceiptLine(receipt, rent::kMoneyType, 50, 50.0, 1);
    addReceiptLine(receipt, kWheat, 40, 10.0, 99);  // its goods row is missing: not paid
    addPayment(owner, 20);
    addPayment(owner, 5, 0);    // 0 and empty both mean this year's payment
    addPayment(owner, 500, 1);  // past-years rent
    addPayment(other, 100);     // more than the 40.00 due

    const auto list = rentList();
    const ListRow row = list[owner];
    EXPECT_EQ(row.sop, "400.00");
    EXPECT_EQ(row.rr, "75.00");
    EXPECT_EQ(row.rp, "25.00");
    EXPECT_EQ(row.izpl, "100.00");
    EXPECT_EQ(row.ostatyk, "300.00");
    EXPECT_EQ(list[other].ostatyk, "-60.00");
    EXPECT_EQ(list.size(), 2);

    // Split into money and goods lines, as the unpaid-rent report reads them.
    const auto split = [&](rent::ReceiptLines lines, const char* prefix) {
        rent::ReceiptOptions options{lines, QString::fromLatin1(prefix)};
        fb::Statement st(c, QStringLiteral("select %1_kol, %1_pari from (%2) where id_hora = ?")
                                .arg(QLatin1String(prefix), rent::goodsReceipts(options)));
        st.bind(0, owner);
        const auto rows = fb::fetchAll(st, tr);
        return QStringLiteral("%1 / %2").arg(rows.at(0)[0].toDouble()).arg(rows.at(0)[1].toDecimal().toString());
    };
    EXPECT_EQ(split(rent::ReceiptLines::Money, "RRP"), "50 / 50.00");
    EXPECT_EQ(split(rent::ReceiptLines::Goods, "RRS"), "100 / 25.00");
}

TEST_F(RentSql, ReceivedPerRuleLineAddsUpEveryGoodsHandedOut)
{
    const int owner = addOwner(QStringLiteral("Васил Христов"));
    exec("insert into rentakult (id_rk, rk) values (3, 'Ечемик')");
    const int first = addReceipt(owner);
    addReceiptLine(first, kWheat, 100, 25, 2);
    addReceiptLine(first, kWheat, 30, 6, 3);
    addReceiptLine(addReceipt(owner), kWheat, 20, 5, 2);
    addReceiptLine(first, rent::kMoneyType, 12.5, 12.5, 1);

    fb::Statement st(c, QStringLiteral("select id_vr, SK from (") + rent::receivedPerRuleLine() +
                            QStringLiteral(") where id_hora = ? and id_dt = 1 and id_zeml = ? order by 1"));
    st.bind(0, owner);
    st.bind(1, lastArea);
    const auto rows = fb::fetchAll(st, tr);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1].toDouble(), 12.5);
    EXPECT_EQ(rows[1][1].toDouble(), 150.0);
}

TEST_F(RentSql, UnpaidRestCountsEachLineOnceAndRoundsTheWholeDueOnce)
{
    constexpr int kCorn = 3;
    exec("insert into vid_renta (id_vr, naim_vr, me) values (?, 'Царевица', 'кг')", {kCorn});
    const int owed = addOwner(QStringLiteral("Иван Петров"));
    const int paid = addOwner(QStringLiteral("Мария Колева"));
    const int tiny = addOwner(QStringLiteral("Петър Илиев"));
    addOwner(QStringLiteral("Без договор"));
    bind(inForce(), owed, 2.5, 3.4567, area);
    bind(inForce(), paid, 1.0);
    bind(inForce(kNaem), tiny, 0.5);
    const int rule = addRule();
    addRuleLine(rule, rent::kMoneyType, 30, 1);  // 30.00 x 3.457 = 103.71
    addRuleLine(rule, kWheat, 40, 0.25);         // 138 kg = 34.50
    addRuleLine(rule, kCorn, 10, 0.2);           // 35 kg = 7.00
    // Half a stotinka in money and half in goods: one stotinka due, not two.
    const int small = addRule(kNaem);
    addRuleLine(small, rent::kMoneyType, 0.01, 1);
    addRuleLine(small, kWheat, 1, 0.005);

    addReceiptLine(addReceipt(owed), kWheat, 100, 25.0, 2);
    addPayment(owed, 20);
    addPayment(owed, 5, 0);    // 0 and empty both are this year's
    addPayment(owed, 500, 1);  // past-years rent
    addPayment(paid, 42);      // exactly the 30 + 10 + 2 due

    fb::Statement st(c, QStringLiteral("select id_sobstv, ime, ZDPl, ZPl, SOK, SOP, RRS_kol, RP_sum, OSTATYK from (") +
                            rent::unpaidRest() + QStringLiteral(") order by id_sobstv"));
    QStringList rows;
    for (const auto& r : fb::fetchAll(st, tr)) {
        QStringList cells{r[1].toString()};
        for (int i : {2, 3, 4, 5, 7, 8})
            cells << (r[i].isNull() ? QStringLiteral("-") : r[i].toDecimal().toString());
        cells << QString::number(r[6].toDouble());
        rows << cells.join(QStringLiteral(" | "));
        EXPECT_NE(r[0].toInt(), paid);
    }
    EXPECT_EQ(rows.join(QLatin1Char('\n')).toStdString(),
              std::string("Иван Петров | 2.500 | 3.457 | 172.850 | 145.21 | 25.00 | 95.21 | 100\n"
                          "Петър Илиев | 0.500 | 0.500 | 0.500 | 0.01 | - | 0.01 | 0"));
}
