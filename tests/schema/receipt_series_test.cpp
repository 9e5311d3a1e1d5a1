#include "schema/receipt_series.h"

#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/schema.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr long kUniqueKeyViolation = 335544665L;  // isc_unique_key_violation

class ReceiptSeries : public ::testing::Test {
protected:
    void SetUp() override { c.attach(db.path()); }
    void receipt(fb::Connection& on, fb::Transaction& tr, int number)
    {
        fb::execute(on, tr, QStringLiteral("insert into \"RAZP DANNI\" (ID_HORA, NOM) values (1, ?)"), {number});
    }
    void payment(fb::Connection& on, fb::Transaction& tr, int number)
    {
        fb::execute(on, tr, QStringLiteral("insert into RAZP_PARI (ID_HORA, NOMER) values (1, ?)"), {number});
    }
    QString claimed()
    {
        fb::Transaction tr(c);
        return fb::fetchScalar(c, tr,
                               QStringLiteral("select list(NOMER, ' ') from (select NOMER from RAZP_NOMERA "
                                              "order by NOMER)"))
            .toString();
    }

    testsupport::TestDatabase db;
    fb::Connection c;
};

}  // namespace

TEST_F(ReceiptSeries, ANumberIsTakenOnceByEitherKindAndFreedWhenItsRowLetsItGo)
{
    fb::Transaction tr(c);
    receipt(c, tr, 5);
    payment(c, tr, 6);
    fb::execute(c, tr, QStringLiteral("insert into RAZP_PARI (ID_HORA) values (1)"));  // no number, nothing taken
    tr.commit();
    try {
        payment(c, tr, 5);
        ADD_FAILURE() << "a cash payment took a goods receipt's number";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.has(kUniqueKeyViolation)) << e.what();
    }
    EXPECT_THROW(receipt(c, tr, 6), fb::Error);
    tr.rollback();
    EXPECT_EQ(claimed(), QStringLiteral("5 6"));

    fb::execute(c, tr, QStringLiteral("update \"RAZP DANNI\" set NOM = 7 where NOM = 5"));
    fb::execute(c, tr, QStringLiteral("delete from RAZP_PARI where NOMER = 6"));
    tr.commit();
    EXPECT_EQ(claimed(), QStringLiteral("7"));
    payment(c, tr, 5);
    receipt(c, tr, 6);
    tr.commit();
    EXPECT_EQ(claimed(), QStringLiteral("5 6 7"));
}

// Two desks give the same number at the same moment: the one that writes
// second is refused, at once in a no-wait transaction (a waiting one would
// wait for the first one's end), and after the first one's commit in any;
// a rollback of the first leaves the number free.
TEST_F(ReceiptSeries, TheSecondDeskToWriteANumberIsRefusedWhileTheFirstHoldsIt)
{
    fb::Connection other;
    other.attach(db.path());
    fb::Transaction first(c, fb::TransactionOptions::readCommitted(true));
    fb::Transaction noWait(other, fb::TransactionOptions::readCommitted(false));
    receipt(c, first, 9);
    try {
        payment(other, noWait, 9);
        ADD_FAILURE() << "a number held by another desk was given again";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.has(kUniqueKeyViolation)) << e.what();
    }
    first.commit();
    fb::Transaction waiting(other, fb::TransactionOptions::readCommitted(true));
    try {
        receipt(other, waiting, 9);
        ADD_FAILURE() << "a committed number was given again";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.has(kUniqueKeyViolation)) << e.what();
    }
    payment(c, first, 10);
    first.rollback();
    payment(other, waiting, 10);  // the first desk let it go
    waiting.commit();
    EXPECT_EQ(claimed(), QStringLiteral("9 10"));
}

// A register of an earlier version may hold a number twice: both rows stay,
// the number stays taken until the last of them goes.
TEST_F(ReceiptSeries, AnUpgradedRegisterClaimsTheNumbersInUseOnce)
{
    fb::Transaction tr(c);
    for (const char* trigger : {"RN_RAZP_DANNI", "RN_RAZP_PARI"})
        c.executeImmediate(tr, QStringLiteral("drop trigger ") + QLatin1String(trigger));
    c.executeImmediate(tr, QStringLiteral("drop table RAZP_NOMERA"));
    tr.commit();
    receipt(c, tr, 3);
    payment(c, tr, 3);
    payment(c, tr, 4);
    fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 3"));
    tr.commit();
    schema::upgrade(c);
    EXPECT_EQ(claimed(), QStringLiteral("3 4"));
    fb::execute(c, tr, QStringLiteral("delete from RAZP_PARI where NOMER = 3"));
    tr.commit();
    EXPECT_EQ(claimed(), QStringLiteral("3 4"));
    fb::execute(c, tr, QStringLiteral("delete from \"RAZP DANNI\" where NOM = 3"));
    tr.commit();
    EXPECT_EQ(claimed(), QStringLiteral("4"));
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select version from arventa_schema")).toInt(), schema::kVersion);
}

// Two desks starting at once on a register of an earlier version: one
// upgrades it while the other waits, and then finds nothing left to do.
// (Both upgrading made the second fail on the tables the first had made.)
TEST_F(ReceiptSeries, TwoDesksStartingAtOnceUpgradeTheRegisterOnce)
{
    for (int round = 0; round < 3; ++round) {
        {
            fb::Transaction tr(c);
            for (const char* trigger : {"RN_RAZP_DANNI", "RN_RAZP_PARI"})
                c.executeImmediate(tr, QStringLiteral("drop trigger ") + QLatin1String(trigger));
            c.executeImmediate(tr, QStringLiteral("drop table RAZP_NOMERA"));
            tr.commit();
            payment(c, tr, 8);
            // The last round starts from a register without the version table.
            if (round == 2)
                c.executeImmediate(tr, QStringLiteral("drop table ARVENTA_SCHEMA"));
            else
                fb::execute(c, tr, QStringLiteral("update arventa_schema set version = 3"));
            tr.commit();
        }
        fb::Connection desks[2];
        QString failures[2];
        std::vector<std::thread> starting;
        for (int d = 0; d < 2; ++d) {
            desks[d].attach(db.path());
            starting.emplace_back([&, d] {
                try {
                    schema::upgrade(desks[d]);
                } catch (const fb::Error& e) {
                    failures[d] = e.message();
                }
            });
        }
        for (std::thread& t : starting)
            t.join();
        EXPECT_EQ(failures[0].toStdString(), "") << round;
        EXPECT_EQ(failures[1].toStdString(), "") << round;
        EXPECT_EQ(claimed(), QStringLiteral("8"));
        fb::Transaction tr(c);
        EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select list(version) from arventa_schema")).toString(),
                  QString::number(schema::kVersion));
        fb::execute(c, tr, QStringLiteral("delete from RAZP_PARI"));
        tr.commit();
    }
}
