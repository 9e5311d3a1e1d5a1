// The engine's services over a server of the test's own: a backup streamed
// to this machine while another desk works, its restore, the errors, and
// who else is attached.
#include "fb/services.h"

#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "seats/firebird_server.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using fb::Connection;
using fb::ServiceManager;
using fb::Transaction;

#define NEED_SERVER(server)                                                                      \
    if (!(server).problem().isEmpty()) {                                                         \
        if (!testsupport::FirebirdServer::installed())                                           \
            GTEST_SKIP() << (server).problem().toStdString();                                    \
        FAIL() << "the Firebird server cannot be started: " << (server).problem().toStdString(); \
    }

// Every owner and crop of a database, in key order, as one text each.
QStringList contentOf(const QString& database)
{
    Connection c;
    c.attach(database);
    Transaction tr(c);
    QStringList rows;
    fb::Statement owners(c, QStringLiteral("select id_hora, ime, egn from hora order by id_hora"));
    for (const auto& row : fb::fetchAll(owners, tr))
        rows << QStringLiteral("HORA %1 %2 %3").arg(row[0].toInt()).arg(row[1].toString(), row[2].toString());
    fb::Statement crops(c, QStringLiteral("select id_kult, naim_kult from kultura order by id_kult"));
    for (const auto& row : fb::fetchAll(crops, tr))
        rows << QStringLiteral("KULTURA %1 %2").arg(row[0].toInt()).arg(row[1].toString());
    tr.commit();
    return rows;
}

// A database of the same server beside `database`, named `file`.
QString besideOnServer(const QString& database, const QString& file)
{
    const QString path = ServiceManager::pathOnEngine(database);
    return database.left(database.size() - path.size()) + QFileInfo(path).dir().filePath(file);
}

TEST(ServiceNames, TheManagerAndThePathOfEachKindOfName)
{
    EXPECT_EQ(ServiceManager::managerOf(QStringLiteral("office/3051:/srv/ARVENTA.FDB")),
              QStringLiteral("office/3051:service_mgr"));
    EXPECT_EQ(ServiceManager::pathOnEngine(QStringLiteral("office/3051:/srv/ARVENTA.FDB")),
              QStringLiteral("/srv/ARVENTA.FDB"));
    EXPECT_EQ(ServiceManager::managerOf(QStringLiteral("office:arventa")), QStringLiteral("office:service_mgr"));
    EXPECT_EQ(ServiceManager::pathOnEngine(QStringLiteral("office:arventa")), QStringLiteral("arventa"));
    EXPECT_EQ(ServiceManager::managerOf(QStringLiteral("inet://office:3051//srv/a.fdb")),
              QStringLiteral("inet://office:3051/service_mgr"));
    EXPECT_EQ(ServiceManager::pathOnEngine(QStringLiteral("inet://office:3051//srv/a.fdb")),
              QStringLiteral("/srv/a.fdb"));
    EXPECT_EQ(ServiceManager::managerOf(QStringLiteral("/data/ARVENTA.FDB")), QStringLiteral("service_mgr"));
    EXPECT_EQ(ServiceManager::pathOnEngine(QStringLiteral("/data/ARVENTA.FDB")), QStringLiteral("/data/ARVENTA.FDB"));
}

TEST(Services, ABackupTakenWhileAnotherDeskWorksRestoresToTheSameRows)
{
    testsupport::FirebirdServer server;
    NEED_SERVER(server);
    const QString database = server.copyTemplate(QStringLiteral("source.fdb"));
    Connection desk;
    desk.attach(database);
    {
        Transaction tr(desk);
        fb::execute(desk, tr, QStringLiteral("insert into hora (ime, egn) values ('Иван Петров', '7501011234')"));
        fb::execute(desk, tr, QStringLiteral("insert into kultura (naim_kult) values ('Пшеница „Победа“')"));
        tr.commit();
    }
    // The other desk is still attached, in the middle of a change of his own:
    // the backup is the committed database without it.
    Transaction open(desk);
    fb::execute(desk, open, QStringLiteral("insert into kultura (naim_kult) values ('Неписана')"));
    const QStringList committed = contentOf(database);
    ASSERT_TRUE(committed.contains(QStringLiteral("HORA 1 Иван Петров 7501011234")))
        << committed.join('\n').toStdString();

    QTemporaryDir here;
    const QString file = here.filePath(QStringLiteral("ARVENTA.FBK"));
    ServiceManager(database).backup(file);
    EXPECT_GT(QFileInfo(file).size(), 0);
    // Written here, and nothing of it on the server's disk.
    EXPECT_TRUE(QDir(server.folder()).entryList({QStringLiteral("*.fbk"), QStringLiteral("*.FBK")}).isEmpty());
    EXPECT_TRUE(desk.isAlive());
    open.rollback();

    // Restored on the server, streamed from this machine, and restored here
    // by the embedded engine: the same rows both times.
    const QString onServer = besideOnServer(database, QStringLiteral("restored.fdb"));
    ServiceManager(database).restore(file, onServer);
    EXPECT_EQ(contentOf(onServer), committed);
    const QString local = here.filePath(QStringLiteral("ARVENTA.FDB"));
    ServiceManager(local).restore(file, local);
    EXPECT_EQ(contentOf(local), committed);
}

TEST(Services, FailuresCarryTheClientsTextAndLeaveNoFile)
{
    testsupport::FirebirdServer server;
    NEED_SERVER(server);
    const QString database = server.copyTemplate(QStringLiteral("source.fdb"));
    QTemporaryDir here;
    const QString file = here.filePath(QStringLiteral("ARVENTA.FBK"));

    try {
        ServiceManager manager(database, QStringLiteral("SYSDBA"), QStringLiteral("not-the-password"));
        ADD_FAILURE() << "a wrong password was let in";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("user name and password"))) << e.what();
    }

    try {
        ServiceManager(besideOnServer(database, QStringLiteral("missing.fdb"))).backup(file);
        ADD_FAILURE() << "a missing database was backed up";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing.fdb"))) << e.what();
    }
    EXPECT_FALSE(QFileInfo::exists(file));

    // A restore never writes over a database that is there.
    ServiceManager(database).backup(file);
    try {
        ServiceManager(database).restore(file, database);
        ADD_FAILURE() << "a restore replaced a database";
    } catch (const fb::Error& e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_FALSE(contentOf(database).isEmpty());
}

TEST(Services, OtherAttachmentsNameEveryDeskButThisOne)
{
    testsupport::FirebirdServer server;
    NEED_SERVER(server);
    const QString database = server.copyTemplate(QStringLiteral("source.fdb"));
    Connection mine;
    mine.attach(database);
    EXPECT_TRUE(fb::otherAttachments(mine).empty());

    Connection other;
    other.attach(database);
    const std::vector<fb::Attachment> others = fb::otherAttachments(mine);
    ASSERT_EQ(others.size(), 1u);
    EXPECT_EQ(others[0].user, QStringLiteral("SYSDBA"));
    EXPECT_EQ(others[0].address, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(others[0].process, QStringLiteral("test_fb"));
    other.detach();
    EXPECT_TRUE(fb::otherAttachments(mine).empty());
}

}  // namespace
