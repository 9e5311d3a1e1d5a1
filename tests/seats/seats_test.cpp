// Several desks on one register through a Firebird server: two data
// modules, as two copies of the program would hold them, on one server
// database. The desks' steps run in a fixed order in this one thread.
#include "common/failure.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "firebird_server.h"
#include "rent/receipt_numbers.h"
#include "rent/tfrko.h"
#include "schema/roles.h"
#include "service/users.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

#include <unistd.h>

namespace {

constexpr long kUpdateConflict = 335544336L;      // isc_deadlock: "update conflicts with concurrent update"
constexpr long kUniqueKeyViolation = 335544665L;  // isc_unique_key_violation

class Seats : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<testsupport::FirebirdServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        if (!server->problem().isEmpty()) {
            // A machine without the server package cannot run these; one
            // with it must (CI installs it).
            if (!testsupport::FirebirdServer::installed())
                GTEST_SKIP() << server->problem().toStdString();
            FAIL() << "the Firebird server cannot be started: " << server->problem().toStdString();
        }
        database =
            server->copyTemplate(QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                 QStringLiteral(".fdb"));
        ASSERT_FALSE(database.isEmpty());
        seed({QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (1, '7501010001', 'Иван Петров')"),
              QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (2, '7501010002', 'Мария Колева')"),
              QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER) values (1, '1')")});
    }

    void seed(const QStringList& statements)
    {
        fb::Connection c;
        c.attach(database);
        fb::Transaction tr(c);
        for (const QString& s : statements)
            fb::execute(c, tr, s);
        tr.commit();
    }

    // A correction as the owners register makes it: start, edit, post,
    // commit, open again on the row.
    static void renameOwner(TDM& desk, int owner, const QString& name)
    {
        desk.IBTHora.ensureStarted();
        ASSERT_TRUE(desk.THora.locate(QStringLiteral("ID_HORA"), owner));
        desk.THora.edit();
        desk.THora.field("IME").setValue(name);
        desk.THora.post();
        desk.IBTHora.commit();
        desk.THora.open();
    }

    static QString ownerName(TDM& desk, int owner)
    {
        return desk.THora.locate(QStringLiteral("ID_HORA"), owner) ? desk.THora.field("IME").asString() : QString();
    }

    static std::unique_ptr<testsupport::FirebirdServer> server;
    QString database;
};

std::unique_ptr<testsupport::FirebirdServer> Seats::server;

}  // namespace

TEST_F(Seats, TwoDesksSaveTwoOwnersAndEachSeesTheOthersRowOnReread)
{
    TDM first(database);
    TDM second(database);
    ASSERT_FALSE(first.connectError()) << first.connectError()->what();
    ASSERT_FALSE(second.connectError());
    EXPECT_FALSE(first.IBDatabase1.connection().databaseName().isEmpty());

    renameOwner(first, 1, QStringLiteral("Иван Петров Иванов"));
    renameOwner(second, 2, QStringLiteral("Мария Колева Димова"));
    // Each desk read the list anew after its own commit: the first desk's
    // snapshot is older than the second's save, the second's is not.
    EXPECT_EQ(ownerName(second, 1), QStringLiteral("Иван Петров Иванов"));
    EXPECT_EQ(ownerName(first, 2), QStringLiteral("Мария Колева"));
    first.IBTHora.commit();  // the list read again as its window becomes active
    first.THora.open();
    EXPECT_EQ(ownerName(first, 2), QStringLiteral("Мария Колева Димова"));

    // A row another desk adds turns up on the next read too.
    renameOwner(second, 2, QStringLiteral("Мария Колева"));
    second.IBTHora.ensureStarted();
    second.THora.append();
    second.THora.field("EGN").setValue(QStringLiteral("7501010003"));
    second.THora.field("IME").setValue(QStringLiteral("Петър Стоянов"));
    second.THora.post();
    second.IBTHora.commit();
    first.IBTHora.commit();
    first.THora.open();
    EXPECT_EQ(first.THora.rowCount(), 3);
}

TEST_F(Seats, TheSecondSaverOfTheSameOwnerIsRefusedAndKeepsHisValues)
{
    TDM first(database);
    TDM second(database);
    second.IBTHora.ensureStarted();  // the second desk's list was read before the first one saved

    renameOwner(first, 1, QStringLiteral("Иван Петров Иванов"));
    ASSERT_TRUE(second.THora.locate(QStringLiteral("ID_HORA"), 1));
    second.THora.edit();
    second.THora.field("IME").setValue(QStringLiteral("Иван П. Иванов"));
    try {
        second.THora.post();
        ADD_FAILURE() << "the second saver overwrote the first one's correction";
    } catch (const fb::Error& e) {
        // The owners area waits; the first desk had committed already, so
        // the database says at once that the row changed under it.
        EXPECT_TRUE(e.has(kUpdateConflict)) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("update conflicts with concurrent update"))) << e.what();
    }
    EXPECT_EQ(second.THora.state(), dataset::State::Edit);
    EXPECT_EQ(second.THora.field("IME").asString(), QStringLiteral("Иван П. Иванов"));
    // He gives up his correction and reads the register again.
    second.THora.cancel();
    second.IBTHora.rollback();
    second.THora.open();
    EXPECT_EQ(ownerName(second, 1), QStringLiteral("Иван Петров Иванов"));

    // The contracts area does not wait: a contract another desk holds in
    // an edit not yet saved is refused at once.
    ASSERT_TRUE(first.TDogovor.locate(QStringLiteral("ID_DOG"), 1));
    first.TDogovor.edit();
    first.TDogovor.field("NOMER").setValue(QStringLiteral("1А"));
    first.TDogovor.post();
    ASSERT_TRUE(second.TDogovor.locate(QStringLiteral("ID_DOG"), 1));
    second.TDogovor.edit();
    second.TDogovor.field("NOMER").setValue(QStringLiteral("1Б"));
    try {
        second.TDogovor.post();
        ADD_FAILURE() << "a contract held by another desk was written";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.has(kUpdateConflict)) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("concurrent transaction number is"))) << e.what();
    }
    EXPECT_EQ(second.TDogovor.field("NOMER").asString(), QStringLiteral("1Б"));
    first.IBTDog.commit();
}

// Two desks propose the same free number at the same moment; the first to
// save keeps it, the second is refused by the database and keeps his
// receipt open to give another number.
TEST_F(Seats, ReceiptNumbersGivenAtTheSameMomentStayUnique)
{
    TDM first(database);
    TDM second(database);
    ASSERT_FALSE(receipts::numberUsed(first, 41));
    ASSERT_FALSE(receipts::numberUsed(second, 41));

    const auto postHeader = [](TDM& desk, int owner, int number) {
        desk.IBTRazp.ensureStarted();
        desk.TRD.open();
        desk.TRD.append();
        desk.TRD.field("ID_HORA").setValue(owner);
        desk.TRD.field("NOM").setValue(number);
        desk.TRD.post();
    };
    postHeader(first, 1, 41);
    first.IBTRazp.commit();
    try {
        postHeader(second, 2, 41);
        ADD_FAILURE() << "a receipt number was given twice";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.has(kUniqueKeyViolation)) << e.what();
        // The second desk is told what it would be told of a number taken earlier.
        EXPECT_EQ(failure::text(QStringLiteral("Разписката не е записана."), e),
                  QStringLiteral("Разписката не е записана.\n") + receipts::kNumberUsed + QStringLiteral("\n\n") +
                      e.message());
    }
    EXPECT_EQ(second.TRD.state(), dataset::State::Insert);
    EXPECT_TRUE(second.IBTRazp.isActive());
    EXPECT_TRUE(receipts::numberUsed(second, 41));
    second.TRD.field("NOM").setValue(42);
    second.TRD.post();
    second.IBTRazp.commit();

    // A cash payment of the same series cannot take a goods receipt's number.
    first.IBTRazpPari.ensureStarted();
    first.TRKO.open();
    first.TRKO.append();
    first.TRKO.field("ID_HORA").setValue(1);
    first.TRKO.field("NOMER").setValue(42);
    try {
        first.TRKO.post();
        ADD_FAILURE() << "a cash payment took a goods receipt's number";
    } catch (const fb::Error& e) {
        EXPECT_EQ(failure::reason(e), receipts::kNumberUsed) << e.what();
    }
    first.TRKO.cancel();
    first.IBTRazpPari.rollback();

    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    EXPECT_EQ(
        fb::fetchScalar(c, tr, QStringLiteral("select list(NOM) from (select NOM from \"RAZP DANNI\" order by NOM)"))
            .toString(),
        QStringLiteral("41,42"));
}

// The proposal at one desk passes over the numbers another desk holds in a
// receipt it has not saved, and follows the highest number either saved.
TEST_F(Seats, TheProposalPassesOverANumberAnotherDeskHolds)
{
    TDM first(database);
    TDM second(database);
    EXPECT_EQ(receipts::proposeNumber(second, QString()), QStringLiteral("1"));
    first.IBTRazp.ensureStarted();
    first.TRD.open();
    first.TRD.append();
    first.TRD.field("ID_HORA").setValue(1);
    first.TRD.field("NOM").setValue(1);
    first.TRD.post();
    EXPECT_EQ(receipts::proposeNumber(first, QString()), QStringLiteral("2"));
    EXPECT_EQ(receipts::proposeNumber(second, QString()), QStringLiteral("2"));
    seed({QStringLiteral("insert into RAZP_PARI (ID_HORA, NOMER) values (2, 70)")});
    EXPECT_EQ(receipts::proposeNumber(second, QString()), QStringLiteral("71"));
    first.IBTRazp.rollback();
    EXPECT_EQ(receipts::proposeNumber(second, QString()), QStringLiteral("71"));
}

// A past-years row paid at one desk, its payment taken back at another and
// paid again at the first: the first desk's payment starts after the row
// was unlinked, so linking it again is no update conflict.
TEST_F(Seats, APastYearsRowIsPaidAgainAfterAnotherDeskTookThePaymentBack)
{
    seed({QStringLiteral("insert into ONR (ID_ONR, ID_HORA, SUMA, GODOT, GODDO) values (1, 1, 60, 2023, 2024)")});
    TDM first(database);
    TDM second(database);
    // What the cash receipt dialog stores for the past-years screen.
    const auto pay = [](TDM& desk, int number) {
        TFRKO::appendPayment(desk);
        desk.TRKO.field("ID_HORA").setValue(1);
        desk.TRKO.field("SUMA").setValue(60);
        desk.TRKO.field("PMG").setValue(1);
        desk.TRKO.field("NOMER").setValue(number);
        desk.TRKO.post();
        fb::execute(desk.IBDatabase1.connection(), desk.IBTRazpPari.transaction(),
                    QStringLiteral("update onr set id_razppari = ? where id_onr = 1"),
                    {desk.TRKO.field("ID_RAZPPARI").value()});
        desk.IBTRazpPari.commit();
        desk.TRKO.open();
    };
    pay(first, 1);
    {
        fb::Connection& c = second.IBDatabase1.connection();
        fb::Transaction tr(c);
        fb::execute(c, tr, QStringLiteral("delete from razp_pari where nomer = 1"));
        fb::execute(c, tr, QStringLiteral("update onr set id_razppari = 0 where id_onr = 1"));
        tr.commit();
    }
    try {
        pay(first, 2);
    } catch (const fb::Error& e) {
        ADD_FAILURE() << e.what();
    }
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    EXPECT_EQ(fb::fetchScalar(c, tr,
                              QStringLiteral("select r.nomer from onr o join razp_pari r "
                                             "on r.id_razppari = o.id_razppari where o.id_onr = 1"))
                  .toInt(),
              2);
}

namespace {

// The attributes line of the database's header page, as fbstat -h shows it.
QString headerAttributes(const QString& file)
{
    QProcess stat;
    stat.start(QStringLiteral("fbstat"), {QStringLiteral("-h"), file});
    if (!stat.waitForFinished(30000))
        return {};
    for (const QString& line : QString::fromUtf8(stat.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.trimmed().startsWith(QLatin1String("Attributes")))
            return line.trimmed();
    return {};
}

}  // namespace

// The server restarts under a desk that has a correction pending: the first
// step on the gone connection fails (and says why), the next one connects
// again, and the correction is saved there; the desk's lists are read again.
TEST_F(Seats, ADeskConnectsAgainAfterTheServerRestartsAndSavesItsPendingCorrection)
{
    TDM desk(database);
    QStringList notices;
    desk.IBDatabase1.setRecoveryNotice([&](bool restored, const QString&) { notices << (restored ? "да" : "не"); });
    desk.IBTHora.ensureStarted();
    ASSERT_TRUE(desk.THora.locate(QStringLiteral("ID_HORA"), 1));
    desk.THora.edit();
    desk.THora.field("IME").setValue(QStringLiteral("Иван Петров Иванов"));

    ASSERT_TRUE(server->restart()) << server->problem().toStdString();
    try {
        desk.THora.post();
        FAIL() << "posted through a connection the server dropped";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.connectionLost()) << e.what();
    }
    ASSERT_TRUE(desk.THora.isEditing());
    desk.THora.post();
    desk.IBTHora.commit();
    QCoreApplication::processEvents();
    EXPECT_EQ(notices, QStringList{QStringLiteral("да")});
    EXPECT_TRUE(desk.TCountry.isOpen());  // a list of another area, read again

    TDM other(database);
    EXPECT_EQ(ownerName(other, 1), QStringLiteral("Иван Петров Иванов"));
}

// While the server is down every step says so, and tries to connect again;
// once it is back the next step connects and the lists are read again.
TEST_F(Seats, WhileTheServerIsDownEachStepTriesAgain)
{
    TDM desk(database);
    QStringList notices;
    desk.IBDatabase1.setRecoveryNotice([&](bool restored, const QString&) { notices << (restored ? "да" : "не"); });
    server->stop();
    EXPECT_THROW(desk.THora.refresh(), fb::Error);  // this step finds the loss
    EXPECT_EQ(desk.IBDatabase1.recoverIfLost(), dataset::Database::Recovery::Failed);
    EXPECT_FALSE(desk.IBDatabase1.isConnected());
    EXPECT_THROW(desk.THora.refresh(), fb::Error);  // no step runs without a connection
    QCoreApplication::processEvents();
    EXPECT_EQ(notices, QStringList{QStringLiteral("не")});

    ASSERT_TRUE(server->start()) << server->problem().toStdString();
    desk.THora.refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(notices, (QStringList{QStringLiteral("не"), QStringLiteral("да")}));
    EXPECT_EQ(ownerName(desk, 2), QStringLiteral("Мария Колева"));
}

// The server admits its own users only, each over an encrypted connection,
// and nothing beyond the register is reached from SQL: an external file is
// refused even to the administrator.
TEST_F(Seats, TheServerAdmitsItsUsersOnlyOverEncryptedConnectionsAndNoFileBeyondTheRegister)
{
    for (const QString& password : {QStringLiteral("wrong-password"), QString()}) {
        fb::Connection stranger({.user = QStringLiteral("SYSDBA"), .password = password});
        try {
            stranger.attach(database);
            ADD_FAILURE() << "attached with the password \"" << password.toStdString() << "\"";
        } catch (const fb::Error& e) {
            EXPECT_EQ(failure::reason(e), QStringLiteral("Невалидно потребителско име или парола.")) << e.what();
        }
    }
    fb::Connection admin;
    admin.attach(database);
    fb::Transaction tr(admin);
    EXPECT_EQ(fb::fetchScalar(admin, tr,
                              QStringLiteral("select rdb$get_context('SYSTEM', 'WIRE_ENCRYPTED') from rdb$database"))
                  .toString(),
              QStringLiteral("TRUE"));
    const QString outside = QDir(server->folder()).filePath(QStringLiteral("../outside.txt"));
    // The table may be declared; the file is refused when it is written.
    fb::execute(admin, tr, QStringLiteral("create table OUTSIDE external file '%1' (A char(10))").arg(outside));
    tr.commit();
    EXPECT_THROW(fb::execute(admin, tr, QStringLiteral("insert into OUTSIDE (A) values ('x')")), fb::Error);
    tr.rollback();
    EXPECT_FALSE(QFile::exists(outside));

    // Started by root, the server runs as a user of its own: even the
    // administrator's backup through the service cannot write where that
    // user may not (here a folder of root's only).
    if (::geteuid() == 0) {
        const auto backUpTo = [&](const QString& target) {
            QProcess gbak;
            gbak.setProcessChannelMode(QProcess::MergedChannels);
            gbak.start(QStringLiteral("gbak"),
                       {QStringLiteral("-b"), QStringLiteral("-se"),
                        database.section(QLatin1Char(':'), 0, 0) + QStringLiteral(":service_mgr"),
                        database.section(QLatin1Char(':'), 1), target, QStringLiteral("-user"),
                        QStringLiteral("SYSDBA"), QStringLiteral("-password"), server->password()});
            return gbak.waitForFinished(60000) && gbak.exitCode() == 0;
        };
        QTemporaryDir rootsOnly;
        EXPECT_FALSE(backUpTo(QDir(rootsOnly.path()).filePath(QStringLiteral("register.fbk"))));
        EXPECT_TRUE(QDir(rootsOnly.path()).isEmpty());
        EXPECT_TRUE(backUpTo(QDir(server->folder()).filePath(QStringLiteral("register.fbk"))));
    }

    QFile conf(QDir(server->folder()).filePath(QStringLiteral("firebird.conf")));
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(conf.readAll());
    for (const char* line :
         {"WireCrypt = Required", "ExternalFileAccess = None", "UdfAccess = None", "AuthServer = Srp"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line;
}

// The hostile steps a client on the office network could try with a clerk's
// login, each refused by the server itself: shutting the register down,
// dropping it, backing it up (to read it whole or to write a file), taking
// another user's password, changing a rule, and reaching a file beyond the
// register. The register is as it was afterwards.
TEST_F(Seats, AClerksLoginCannotShutDropOrBackUpTheRegisterNorTakeAnotherUsersPassword)
{
    {
        fb::Connection admin;
        admin.attach(database);
        users::add(admin, QStringLiteral("sluj"), QStringLiteral("sluj-parola"), schema::roles::Role::Clerk);
    }
    const QString host = database.section(QLatin1Char(':'), 0, 0), path = database.section(QLatin1Char(':'), 1);
    const QStringList login = {QStringLiteral("-user"), QStringLiteral("SLUJ"), QStringLiteral("-password"),
                               QStringLiteral("sluj-parola")};
    const auto run = [](const QString& program, const QStringList& args, const QByteArray& input = {}) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(60000);
        const QString said = QString::fromUtf8(p.readAll());
        return p.exitCode() == 0 && !said.contains(QLatin1String("Statement failed")) ? QString() : said;
    };
    EXPECT_FALSE(run(QStringLiteral("gfix"), QStringList{QStringLiteral("-shut"), QStringLiteral("full"),
                                                         QStringLiteral("-force"), QStringLiteral("0"), database} +
                                                 login)
                     .isEmpty());
    EXPECT_FALSE(run(QStringLiteral("gbak"),
                     QStringList{QStringLiteral("-b"), QStringLiteral("-se"), host + QStringLiteral(":service_mgr"),
                                 path, QDir(server->folder()).filePath(QStringLiteral("x.fbk"))} +
                         login)
                     .isEmpty());
    const QStringList clerk = QStringList{QStringLiteral("-q"), QStringLiteral("-role"), QStringLiteral("Служител")} +
                              login + QStringList{database};
    // What his role may do goes through the same way.
    EXPECT_EQ(run(QStringLiteral("isql-fb"), clerk, "insert into hora (ime) values ('Стоян'); commit;"), QString());
    for (const char* sql : {"alter user SYSDBA password 'taken-over';", "update \"RENTA ZEML\" set razmer = 0;",
                            "create table STOLEN external file '/etc/passwd' (A char(80)); commit; "
                            "select * from STOLEN;",
                            "drop database;"})
        EXPECT_FALSE(run(QStringLiteral("isql-fb"), clerk, QByteArray(sql)).isEmpty()) << sql;
    // The register is there, open and whole, and the administrator's password his.
    fb::Connection admin;
    admin.attach(database);
    fb::Transaction tr(admin);
    EXPECT_EQ(fb::fetchScalar(admin, tr, QStringLiteral("select count(*) from hora")).toInt(), 3);
}

// The tests' template runs without forced writes; the register the script
// puts on a server has them, and the file it was copied from stays as it was.
TEST(ServerCopy, TheRegisterPutOnAServerHasForcedWritesOn)
{
    const testsupport::TestDatabase db;  // a copy: other tests read the template meanwhile
    const QString source = db.path();
    if (headerAttributes(source).isEmpty())
        GTEST_SKIP() << "fbstat is not installed";
    ASSERT_FALSE(headerAttributes(source).contains(QLatin1String("force write")));
    QTemporaryDir root;
    QProcess copy;
    copy.start(QStringLiteral("bash"),
               {QStringLiteral(ARVENTA_SOURCE_DIR "/scripts/server.sh"), QStringLiteral("copy"), root.path(), source});
    ASSERT_TRUE(copy.waitForFinished(60000));
    ASSERT_EQ(copy.exitCode(), 0) << copy.readAllStandardError().toStdString();
    EXPECT_TRUE(headerAttributes(root.filePath(QStringLiteral("ARVENTA.FDB"))).contains(QLatin1String("force write")));
    EXPECT_FALSE(headerAttributes(source).contains(QLatin1String("force write")));
}
