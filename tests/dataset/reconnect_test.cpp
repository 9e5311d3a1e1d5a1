// A connection that goes away under the program: the attachment is shut down
// from another one (as a server restart or a broken network leaves it), and
// the next step finds it gone.
#include "common/edit_flow.h"
#include "common/failure.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "dm/tables.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

using namespace dataset;

namespace {

class ReconnectTest : public ::testing::Test {
protected:
    ReconnectTest()
    {
        database.ensureConnected();
        fb::Transaction tr(database.connection());
        fb::execute(database.connection(), tr,
                    QStringLiteral("execute block as declare i integer = 1; begin while (i <= 1000) do begin "
                                   "insert into hora (egn, ime) values (lpad(:i, 10, '0'), 'Собственик ' || :i); "
                                   "i = i + 1; end end"));
        tr.commit();
        database.setRecoveryNotice([this](bool restored, const QString& detail) {
            notices << (restored ? QStringLiteral("restored") : QStringLiteral("failed: ") + detail);
        });
        hora.setFetchOnDemand(true);
        dm::useTable(hora, QStringLiteral("HORA"));
    }

    // Shuts our attachment down from another one, as the engine does to
    // the attachments of a server that goes away.
    void loseTheConnection()
    {
        fb::Transaction own(database.connection());
        const fb::Value id =
            fb::fetchScalar(database.connection(), own, QStringLiteral("select current_connection from rdb$database"));
        own.commit();
        fb::Connection other;
        other.attach(db.path());
        fb::Transaction tr(other);
        fb::execute(other, tr, QStringLiteral("delete from mon$attachments where mon$attachment_id = ?"), {id});
        tr.commit();
        // The engine shuts the attachment down in a thread of its own.
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            fb::Transaction look(other);
            if (fb::fetchScalar(other, look,
                                QStringLiteral("select count(*) from mon$attachments where mon$attachment_id = ?"),
                                {id})
                    .toInt() == 0)
                return;
            look.commit();
            QThread::msleep(10);
        }
        ADD_FAILURE() << "the attachment was not shut down";
    }

    QString storedName(const QString& egn)
    {
        fb::Connection other;
        other.attach(db.path());
        fb::Transaction tr(other);
        return fb::fetchScalar(other, tr, QStringLiteral("select ime from hora where egn = ?"), {egn}).toString();
    }

    // What follows a recovery runs once the step that found it is over.
    static void afterTheStep() { QCoreApplication::processEvents(); }

    testsupport::TestDatabase db;
    Database database{db.path()};
    TransactionArea area{database, QStringLiteral("IBTHora")};
    Dataset hora{area, QStringLiteral("THora")};
    QStringList notices;
};

TEST_F(ReconnectTest, AListCutByTheLossIsReadAgainFromItsStartAndTheUserIsTold)
{
    hora.open();
    hora.moveTo(99);
    ASSERT_EQ(hora.loadedRowCount(), 200);
    loseTheConnection();

    // The grid reading on finds the loss; the list is not left as far as it was read.
    EXPECT_THROW(hora.fetchMore(500), fb::Error);
    afterTheStep();
    EXPECT_EQ(notices, QStringList{QStringLiteral("restored")});
    EXPECT_TRUE(database.connection().isAlive());
    EXPECT_EQ(hora.field("EGN").asString(), "0000000100");  // back on its row
    EXPECT_EQ(hora.rowCount(), 1000);                       // read from the start, to the end
}

TEST_F(ReconnectTest, APendingEditKeepsItsValuesAndIsSavedOnTheNewConnection)
{
    hora.open();
    ASSERT_TRUE(hora.locate(QStringLiteral("EGN"), QStringLiteral("0000000007")));
    hora.edit();
    hora.field("IME").setValue(QStringLiteral("Петър Петров"));
    loseTheConnection();

    try {
        hora.post();
        FAIL() << "posted through a connection that is gone";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.connectionLost()) << e.what();
        EXPECT_EQ(failure::reason(e), QStringLiteral("Връзката с базата данни е прекъсната."));
    }
    EXPECT_TRUE(hora.isEditing());
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Петър Петров"));

    // Saved again: the connection is made again first, the row is written there.
    hora.post();
    area.commit();
    afterTheStep();
    EXPECT_EQ(storedName(QStringLiteral("0000000007")), QStringLiteral("Петър Петров"));
    EXPECT_EQ(notices, QStringList{QStringLiteral("restored")});
}

// The panel's save: the connection goes down with the commit of a new row.
// The row is not lost, not turned into a correction of a row that was never
// stored: the next "Запис" stores it as new on the new connection.
TEST_F(ReconnectTest, ANewRowWhoseCommitWentDownWithTheConnectionIsStoredByTheNextSave)
{
    testsupport::ScriptedPrompter prompter;
    hora.open();
    EditFlow flow(prompter, hora, nullptr);
    bool lose = true;
    QObject::connect(&hora, &Dataset::rowInserted, [&] {
        if (std::exchange(lose, false))
            loseTheConnection();
    });
    flow.add();
    hora.field("EGN").setValue(QStringLiteral("0000002000"));
    hora.field("IME").setValue(QStringLiteral("Нов Собственик"));

    EXPECT_FALSE(flow.save());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(
        prompter.shown().front().startsWith(QStringLiteral("Записът не е направен.\nВръзката с базата данни "
                                                           "е прекъсната.")))
        << prompter.shown().front().toStdString();
    EXPECT_TRUE(flow.isEditing());
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Нов Собственик"));

    EXPECT_TRUE(flow.save());
    afterTheStep();
    EXPECT_EQ(storedName(QStringLiteral("0000002000")), QStringLiteral("Нов Собственик"));
    EXPECT_EQ(hora.rowCount(), 1001);
}

}  // namespace
