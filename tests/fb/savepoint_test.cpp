#include "fb/connection.h"
#include "fb/error.h"
#include "fb/savepoint.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

using fb::Connection;
using fb::Transaction;

namespace {

int crops(Connection& c, Transaction& tr)
{
    return fb::fetchScalar(c, tr, QStringLiteral("select count(*) from kultura where naim_kult starting with 'Step'"))
        .toInt();
}

void addCrop(Connection& c, Transaction& tr, const QString& name)
{
    fb::execute(c, tr, QStringLiteral("insert into kultura (naim_kult) values (?)"), {name});
}

}  // namespace

// A failed step takes back its own writes only; a kept one stays pending and
// is committed with the rest; steps inside steps unwind one by one.
TEST(Savepoints, AStepIsUndoneAloneAndAKeptStepStaysWithTheEdit)
{
    testsupport::TestDatabase db;
    Connection c;
    c.attach(db.path());
    Transaction edit(c);
    addCrop(c, edit, QStringLiteral("Step 1"));
    {
        fb::Savepoint kept(c, edit);
        addCrop(c, edit, QStringLiteral("Step 2"));
        {
            fb::Savepoint failed(c, edit);
            addCrop(c, edit, QStringLiteral("Step 3"));
        }  // not released: undone
        EXPECT_EQ(crops(c, edit), 2);
        kept.release();
    }
    {
        fb::Savepoint failed(c, edit);
        addCrop(c, edit, QStringLiteral("Step 4"));
        failed.rollback();
        EXPECT_EQ(crops(c, edit), 2);
    }
    edit.commit();
    Transaction reader(c);
    EXPECT_EQ(crops(c, reader), 2);
}

// A step whose statement the engine refuses leaves the transaction usable.
TEST(Savepoints, AStepTheEngineRefusesLeavesTheEditUsable)
{
    testsupport::TestDatabase db;
    Connection c;
    c.attach(db.path());
    Transaction edit(c);
    addCrop(c, edit, QStringLiteral("Step 1"));
    try {
        fb::Savepoint step(c, edit);
        addCrop(c, edit, QStringLiteral("Step 2"));
        fb::execute(c, edit, QStringLiteral("insert into kultura (naim_kult) values (rpad('Step', 40, 'x'))"));
        step.release();
        FAIL() << "the engine took a name longer than its column";
    } catch (const fb::Error&) {
    }
    EXPECT_EQ(crops(c, edit), 1);
    edit.commit();
}
