#include "dm/tdm.h"
#include "rent/line_quantity.h"
#include "rent/receipt_numbers.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

namespace {

using receipts::proposedNumber;

TEST(ReceiptNumbers, TheProposalIsTheNumberAfterTheHighest)
{
    EXPECT_EQ(proposedNumber(17, QString()), "18");
    EXPECT_EQ(proposedNumber(0, QStringLiteral("7")), "1");
    EXPECT_EQ(proposedNumber(2147483646, QString()), "2147483647");
    // No number fits after the largest one: the box keeps what it has.
    EXPECT_EQ(proposedNumber(2147483647, QString()), "");
    EXPECT_EQ(proposedNumber(2147483647, QStringLiteral("12")), "12");
}

TEST(ReceiptNumbers, ATypedNumberMustFitTheNumberColumns)
{
    EXPECT_EQ(receipts::storedNumber(QStringLiteral("18")), 18);
    EXPECT_EQ(receipts::storedNumber(QStringLiteral("0018")), 18);
    EXPECT_EQ(receipts::storedNumber(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(receipts::storedNumber(QStringLiteral("2147483648")), std::nullopt);
    EXPECT_EQ(receipts::storedNumber(QStringLiteral("99999999999999999999999")), std::nullopt);
    EXPECT_EQ(receipts::storedNumber(QString()), std::nullopt);
}

TEST(LineQuantity, AQuantityMayReachTheLimitOrRoundToIt)
{
    // A money due row with 103.71 leva left and a new line.
    EXPECT_TRUE(rent::quantityWithinLimit(103.71, 103.71));
    EXPECT_TRUE(rent::quantityWithinLimit(100, 103.71));
    EXPECT_TRUE(rent::quantityWithinLimit(104.20, 103.71));  // both 104
    EXPECT_FALSE(rent::quantityWithinLimit(104.60, 103.71));
    // A goods line of 60 kg corrected on a row with 40 kg left.
    EXPECT_TRUE(rent::quantityWithinLimit(100, 60 + 40));
    EXPECT_FALSE(rent::quantityWithinLimit(101, 60 + 40));
    // Halves go to the even neighbour: 104.5 rounds as 104, 105.5 as 106.
    EXPECT_TRUE(rent::quantityWithinLimit(104.5, 103.6));
    EXPECT_FALSE(rent::quantityWithinLimit(105.5, 104.6));
    EXPECT_EQ(rent::roundHalfEven(0.5), 0);
    EXPECT_EQ(rent::roundHalfEven(1.5), 2);
    EXPECT_EQ(rent::roundHalfEven(-2.5), -2);
}

TEST(LineQuantity, AGoodsLineHandingOutTheRestIsPricedOnTheRest)
{
    EXPECT_DOUBLE_EQ(rent::lineValue(40, 138, 0.25, true), 10.00);
    EXPECT_DOUBLE_EQ(rent::lineValue(103.71, 103.71, 1, false), 103.71);
    // 138 kg typed for a rest of 138.28 kg: the rest is what is priced.
    EXPECT_DOUBLE_EQ(rent::lineValue(138, 138.28, 0.25, true), 138.28 * 0.25);
    // Money is always priced on what was typed.
    EXPECT_DOUBLE_EQ(rent::lineValue(103, 103.28, 1, false), 103);
}

class ReceiptSeriesTest : public ::testing::Test {
protected:
    void seed(const QStringList& sql) { testsupport::runSql(db.path(), sql); }
    QString proposal(const QString& current = QString()) { return receipts::proposeNumber(dm, current); }
    // A header posted in the receipts transaction and not committed, as the
    // goods receipt number dialog leaves it.
    void postPendingHeader(int number)
    {
        dm.IBTRazp.ensureStarted();
        dm.TRD.open();
        dm.TRD.append();
        dm.TRD.field(QStringLiteral("ID_HORA")).setValue(1);
        dm.TRD.field(QStringLiteral("NOM")).setValue(number);
        dm.TRD.post();
    }

    testsupport::TestDatabase db;
    TDM dm{db.path()};
};

TEST_F(ReceiptSeriesTest, TheProposalFollowsTheHighestNumberOfEitherKind)
{
    EXPECT_EQ(proposal(), "1");
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (1, 1, 15)",
          "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 1, 17)"});
    EXPECT_EQ(proposal(), "18");
    // The highest number, not the last row by id: 20 came after 30.
    seed({"insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (2, 1, 30)",
          "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (3, 1, 20)"});
    EXPECT_EQ(proposal(), "31");
    seed({"delete from \"RAZP DANNI\" where ID_RD = 3"});
    EXPECT_EQ(proposal(), "31");
    seed({"delete from \"RAZP DANNI\""});
    EXPECT_EQ(proposal(), "16");
    // A cash payment's number far above the rest, and one at the very end.
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (2, 1, 1000000)"});
    EXPECT_EQ(proposal(), "1000001");
    seed({"insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (4, 1, 2147483647)"});
    EXPECT_EQ(proposal(QStringLiteral("5")), "5");
    seed({"delete from RAZP_PARI", "delete from \"RAZP DANNI\"",
          "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (3, 1, 1)"});
    EXPECT_EQ(proposal(), "2");
}

TEST_F(ReceiptSeriesTest, AHeaderPendingInTheReceiptsTransactionCountsAtOnce)
{
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (1, 1, 15)",
          "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 1, 17)"});
    postPendingHeader(18);
    ASSERT_EQ(testsupport::countRows(db.path(), QStringLiteral("\"RAZP DANNI\" where NOM = 18")), 0);
    EXPECT_TRUE(receipts::receiptWorkPending(dm));
    EXPECT_EQ(proposal(), "19");
    EXPECT_TRUE(receipts::numberUsed(dm, 18));

    dm.IBTRazp.rollback();
    EXPECT_FALSE(receipts::receiptWorkPending(dm));
    EXPECT_EQ(proposal(), "18");
    EXPECT_FALSE(receipts::numberUsed(dm, 18));
}

// Another desk's receipt not yet saved keeps its number: this desk is told
// at once instead of waiting at the save for that desk to finish.
TEST_F(ReceiptSeriesTest, ANumberPendingAtAnotherDeskIsUsed)
{
    TDM other(db.path());
    other.IBTRazpPari.ensureStarted();
    other.TRKO.open();
    other.TRKO.append();
    other.TRKO.field("ID_HORA").setValue(1);
    other.TRKO.field("NOMER").setValue(25);
    other.TRKO.post();
    EXPECT_TRUE(receipts::numberUsed(dm, 25));
    EXPECT_FALSE(receipts::numberUsed(dm, 26));
    // Not proposed either: the series is empty here, 25 is held there.
    EXPECT_EQ(proposal(), "1");
    seed({"insert into RAZP_PARI (ID_HORA, NOMER) values (1, 24)"});
    EXPECT_EQ(proposal(), "26");
    other.IBTRazpPari.rollback();
    EXPECT_FALSE(receipts::numberUsed(dm, 25));
    postPendingHeader(26);  // the free check claimed nothing
    dm.IBTRazp.commit();
    EXPECT_TRUE(receipts::numberUsed(dm, 26));
}

}  // namespace
