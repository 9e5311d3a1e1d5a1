// The backup and the year closing of a register on a server of the test's
// own: made by the server's engine while the desk stays connected, checked
// here, and a closing refused while another desk is attached.
#include "fb/connection.h"
#include "seats/firebird_server.h"
#include "schema/roles.h"
#include "service/server_archive.h"
#include "service/service_test.h"
#include "service/tfbackup.h"
#include "service/tfpreklgod.h"
#include "service/users.h"
#include "support/screen_test.h"

#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

namespace {

using namespace servicetest;

// A screen over a register on a server, with the owner Иван Петров in the
// farming year 2009/2010; `desk` is a second desk, attached when a test says.
template <typename S>
class ServerScreenTest : public testsupport::ScreenTest<S> {
protected:
    void SetUp() override
    {
        if (!server.problem().isEmpty()) {
            if (!testsupport::FirebirdServer::installed())
                GTEST_SKIP() << server.problem().toStdString();
            FAIL() << "the Firebird server cannot be started: " << server.problem().toStdString();
        }
        database = server.copyTemplate(QStringLiteral("register.fdb"));
        seedYear(database, 2009, QStringLiteral("Иван Петров"));
        QDir::setCurrent(data.path());
        this->dm = std::make_unique<TDM>(database);
    }
    // The desks go before their server.
    void TearDown() override
    {
        delete this->screen.data();
        this->dm.reset();
        desk.detach();
    }
    static QString content(const QString& file)
    {
        return testsupport::selectedText(file, QStringLiteral("select ime from hora")) + QStringLiteral(" ") +
               testsupport::selectedText(file, QStringLiteral("select extract(year from fromyear) from firma"));
    }

    testsupport::FirebirdServer server;
    CurrentFolderGuard folderGuard;
    QTemporaryDir data;  // the data folder: the layouts
    QString database;
    fb::Connection desk;
};

using ServerBackupTest = ServerScreenTest<TFBackup>;
using ServerClosingTest = ServerScreenTest<TFPreklgod>;

TEST_F(ServerBackupTest, TheServerBacksUpWhileTheDesksStayAndTheRestoreIsChecked)
{
    desk.attach(database);
    QTemporaryDir target;
    const QDate day(2024, 3, 15);
    show(new TFBackup(module(), prompter, [day] { return day; }));
    EXPECT_EQ(control<QLabel>("labBaza")->text(),
              QStringLiteral("Ще бъде копирана базата „%1“ за стопанска 2009/2010 година.").arg(database));
    edit("edFileName")->setText(QDir::toNativeSeparators(target.path()));
    click("BitBtn2");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Създадено е архивно копие!")});
    const QDir folder(QDir(target.path()).filePath(backupFolderName(day)));
    EXPECT_EQ(folder.entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("ARVENTA.FBK"), QStringLiteral("ARVENTA.FDB")}));
    EXPECT_EQ(content(folder.filePath(QStringLiteral("ARVENTA.FDB"))), QStringLiteral("Иван Петров 2009"));
    // Nobody was let go: this desk's cursors and the other desk work on.
    EXPECT_TRUE(desk.isAlive());
    EXPECT_TRUE(dm->THora.isOpen());
    EXPECT_TRUE(dm->IBDatabase1.connection().isAlive());

    // A backup the server refuses (here a login it does not know) leaves no folder.
    click("BitBtn3");
    ASSERT_TRUE(closed());
    prompter.clearShown();
    const QDate next = day.addDays(1);
    show(new TFBackup(module(), prompter, [next] { return next; }));
    edit("edFileName")->setText(QDir::toNativeSeparators(target.path()));
    fb::setSessionLogin(QStringLiteral("SYSDBA"), QStringLiteral("not-the-password"));
    click("BitBtn2");
    fb::setSessionLogin(QStringLiteral("SYSDBA"), server.password());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown()[0].startsWith(
        QStringLiteral("Архива не е създаден!\n\nСървърът не направи архив на базата „%1“.").arg(database)))
        << prompter.shown()[0].toStdString();
    EXPECT_TRUE(prompter.shown()[0].contains(QStringLiteral("user name and password")))
        << prompter.shown()[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(target.path()).filePath(backupFolderName(next))));
}

TEST_F(ServerClosingTest, RefusedWhileAnotherDeskIsAttachedAndDoneWhenAlone)
{
    QTemporaryDir program;
    ASSERT_TRUE(writeFile(QDir(data.path()).filePath(QStringLiteral("Sprnr.rav")), "layout"));
    show(new TFPreklgod(module(), prompter, program.path(), {}, [] { return QDate(2010, 11, 1); }));

    // Refused before any question, naming the desk; nothing written.
    desk.attach(database);
    click("BitBtn1");
    EXPECT_EQ(prompter.shown(),
              QStringList{QStringLiteral("Годината не може да бъде приключена, докато към базата са свързани и други "
                                         "работни места:\nSYSDBA от 127.0.0.1 (test_service)\n"
                                         "Затворете програмата на тези места и опитайте отново.")});
    EXPECT_EQ(QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(content(database), QStringLiteral("Иван Петров 2009"));
    EXPECT_FALSE(closed());

    // Alone, the year is archived through the server and closed.
    desk.detach();
    prompter.clearShown();
    prompter.answerYes();
    click("BitBtn1");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Периодът е приключен успешно!"));
    const QDir archive(QDir(program.path()).filePath(QStringLiteral("2009_2010")));
    EXPECT_EQ(archive.entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("ARVENTA.FDB"), QStringLiteral("Sprnr.rav")}));
    EXPECT_EQ(content(archive.filePath(QStringLiteral("ARVENTA.FDB"))), QStringLiteral("Иван Петров 2009"));
    EXPECT_EQ(content(database), QStringLiteral("Иван Петров 2010"));
    EXPECT_FALSE(QFileInfo::exists(QDir(program.path()).filePath(QStringLiteral("TEMP"))));
    EXPECT_TRUE(dm->IBDatabase1.isConnected());
}

// An administrator other than the server's first closes the year under his
// role: the server's backup, which the engine lets only an administrator
// make, reads the register with the role's rights.
TEST_F(ServerClosingTest, AnAdministratorOfTheOfficeClosesTheYearUnderHisRole)
{
    {
        fb::Connection admin;
        admin.attach(database);
        users::add(admin, QStringLiteral("upravitel"), QStringLiteral("upravitel-1"),
                   schema::roles::Role::Administrator);
    }
    fb::setSessionLogin(QStringLiteral("UPRAVITEL"), QStringLiteral("upravitel-1"),
                        schema::roles::engineRole(schema::roles::Role::Administrator));
    struct Restore {
        QString password;
        ~Restore() { fb::setSessionLogin(QStringLiteral("SYSDBA"), password); }
    } restore{server.password()};
    dm = std::make_unique<TDM>(database);
    QTemporaryDir program;
    ASSERT_TRUE(writeFile(QDir(data.path()).filePath(QStringLiteral("Sprnr.rav")), "layout"));
    show(new TFPreklgod(module(), prompter, program.path(), {}, [] { return QDate(2010, 11, 1); }));
    prompter.answerYes();
    click("BitBtn1");
    ASSERT_EQ(prompter.shown().last(), QStringLiteral("Периодът е приключен успешно!"))
        << prompter.shown().join('|').toStdString();
    EXPECT_EQ(content(database), QStringLiteral("Иван Петров 2010"));
    const QDir archive(QDir(program.path()).filePath(QStringLiteral("2009_2010")));
    EXPECT_EQ(content(archive.filePath(QStringLiteral("ARVENTA.FDB"))), QStringLiteral("Иван Петров 2009"));
}

}  // namespace
