#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "rent/payout_statements.h"
#include "rent/rest_to_receive.h"
#include "rent_test_data.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Lists print as their lines when a comparison fails.
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "\n" << list.join(QLatin1Char('\n')).toStdString();
}
QT_END_NAMESPACE

namespace {

using fb::Value;

// The payout statements read over the small enterprise, as the payout
// screen reads them: one owner at a time, through the data layer.
class PayoutStatementsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::runSql(db.path(), renttest::kEnterprise);
        testsupport::runSql(db.path(), renttest::kRules);
    }

    // Every row of `statement` for `owner`, the named columns joined by " | ".
    QStringList read(const QString& statement, int owner, const QStringList& columns, const char* param = "id_sobstv")
    {
        dataset::Database database(db.path());
        dataset::TransactionArea area(database, QStringLiteral("IBTTest"), fb::TransactionOptions::readCommitted(true));
        dataset::Dataset rows(area, QStringLiteral("QueryTest"));
        rows.sql().setLines({statement});
        rows.setParam(QLatin1String(param), Value(owner));
        rows.open();
        QStringList out;
        for (int r = 0, n = rows.rowCount(); r < n; ++r) {
            QStringList cells;
            for (const QString& c : columns)
                cells << rows.value(r, rows.field(c).index()).toString();
            out << cells.join(QStringLiteral(" | "));
        }
        area.commit();
        return out;
    }

    testsupport::TestDatabase db;
};

// Иван: 3.457 equalised decares in Изгрев under Аренда (wheat 40 kg at 0.25,
// money 30 leva) and 3 in Бело поле under Наем (wheat 12.5 kg, taken as 13,
// at 0.3; money 12.125 leva, taken as 12.13).
TEST_F(PayoutStatementsTest, TheRentDueIsPerRentTypeInItsUnit)
{
    const QStringList columns{"ID_VR", "SOK", "SOP", "COUNT_REC"};
    EXPECT_EQ(read(rent::payout::dueByType(), 1, columns),
              (QStringList{"1 | 140.10 | 140.10 | 2", "2 | 177.00 | 46.20 | 2"}));
    // Петър's land in Бело поле is under an Аренда without a rule: it earns nothing.
    EXPECT_EQ(read(rent::payout::dueByType(), 3, columns), (QStringList{"1 | 30.00 | 33.00 | 1"}));
}

TEST_F(PayoutStatementsTest, OwnedPlotsAreTheCountingLinesAndTheRuleCheckFindsLandWithoutARule)
{
    EXPECT_EQ(read(rent::payout::ownedPlots(), 3, {"NOMER", "IMOT_NO"}), (QStringList{}))
        << "plots without a mode of use are not listed";
    testsupport::runSql(db.path(), {"update ZEMQ set ID_NTP = 1"});
    QStringList plots = read(rent::payout::ownedPlots(), 3, {"NOMER", "IMOT_NO", "PRREDPL"});
    plots.sort();
    EXPECT_EQ(plots, (QStringList{"2 | 102 | 1.5", "4 | 201 | 0.75"}));

    QStringList check = read(rent::payout::ruleCheck(), 3, {"IMOT_NO", "DT", "ZEML"});
    check.sort();
    EXPECT_EQ(check, (QStringList{"102 | 2 | 1", "201 | 0 | 0"}));
    EXPECT_EQ(read(rent::payout::ruleCheck(), 1, {"DT"}).count(QStringLiteral("0")), 0);
}

// Мария has two Аренда contracts in Изгрев this year, one running (2.1
// decares) and one terminated inside the year (1 decare): one due row per
// rule line over both, and what she received on it is subtracted once.
TEST_F(PayoutStatementsTest, ADueRowCountsEveryContractOfItsRuleLineAndSubtractsWhatWasReceivedOnce)
{
    testsupport::runSql(
        db.path(),
        {"insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, ID_DT, SYSTOQNIE, DATAPR) "
         "values (105, '6', '2020-10-01', '2030-09-30', 1, 'Прекратен', '2025-02-01')",
         "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (8, 105, 101, 2, 1)",
         "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 2, 1)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) values (1, 1, 2, 2, 30, 1, 1)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) values (2, 1, 1, 1, 3.1, 1, "
         "1)"});
    EXPECT_EQ(read(rent::payout::dueRows(), 2, {"ID_VRK", "ID_ZEML", "ID_DT", "OK", "RAZL", "EC", "COUNT_REC"}),
              (QStringList{"1 | 1 | 1 | 93.00 | 89.90 | 1.00000 | 2", "2 | 1 | 1 | 124.00 | 94.00 | 0.25000 | 2"}));
}

TEST_F(PayoutStatementsTest, TheReceiptLinesAreNumberedAndItsGoodsCountedInGoodsOrder)
{
    testsupport::runSql(
        db.path(),
        {"insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (7, 1, 7)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) values (1, 7, 2, 3, 10, 1, 1)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) values (2, 7, 2, 2, 20, 1, 1)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) values (3, 7, 2, 2, 5, 2, 2)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, ID_ZEML, ID_DT) values (4, 7, 1, 1, 9.5, 1, "
         "1)"});
    EXPECT_EQ(read(rent::payout::receiptLines(), 7, {"RED", "RK", "TD", "KOL"}, "ID"),
              (QStringList{"1 | Ечемик | Аренда | 10", "2 | Пшеница | Аренда | 20", "3 | Пшеница | Наем | 5",
                           "4 | Пари | Аренда | 9.5"}));
    EXPECT_EQ(read(rent::payout::printedGoods(), 7, {"NOMER", "RK", "SK"}, "ID_RD"),
              (QStringList{"1 | Пари | 9.5", "2 | Пшеница | 25", "3 | Ечемик | 10"}));
}

TEST(RestToReceive, IsTheDueValueLessWhatWasPaidUnlessEverythingDueWasHandedOut)
{
    rent::RestFigures f{.handedOut = {30},
                        .dueValues = {140.10, 46.20},
                        .dueQuantities = {140.10, 177},
                        .cashPaid = {10},
                        .receiptValues = {7.5}};
    EXPECT_NEAR(rent::restToReceive(f), 168.80, 1e-9);
    // Every due quantity handed out: nothing left, whatever the values say.
    f.handedOut = {140.10, 177};
    EXPECT_EQ(rent::restToReceive(f), 0);
    // Counts are whole numbers, halves to even: 140.5 counts as 140.
    f.handedOut = {140.5, 177};
    EXPECT_EQ(rent::restToReceive(f), 0);
    f.handedOut = {30};
    f.cashPaid = {200};
    EXPECT_EQ(rent::restToReceive(f), 0) << "more paid than due";
    EXPECT_EQ(rent::restToReceive({}), 0) << "nothing due";
}

}  // namespace
