// Logging in to a register on a server: the user's own login, asked again
// when refused, three refusals end the program; a file register asks nothing.
#include "app/login.h"
#include "app/tflogin.h"
#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/error.h"
#include "fb/transaction.h"
#include "firebird_server.h"
#include "schema/roles.h"
#include "service/users.h"
#include "support/scripted_prompter.h"
#include "support/screen_test.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>

namespace {

class LoginTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<testsupport::FirebirdServer>(); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override
    {
        if (!server->problem().isEmpty()) {
            if (!testsupport::FirebirdServer::installed())
                GTEST_SKIP() << server->problem().toStdString();
            FAIL() << "the Firebird server cannot be started: " << server->problem().toStdString();
        }
        database = server->copyTemplate(QStringLiteral("login.fdb"));
    }

    // Answers the login questions in order and keeps what each said above the fields.
    LoginAsker answering(std::deque<std::optional<Login>> answers)
    {
        return [this, answers](const QString& refusal) mutable {
            said << refusal;
            std::optional<Login> next = answers.front();
            answers.pop_front();
            return next;
        };
    }

    static std::unique_ptr<testsupport::FirebirdServer> server;
    QString database;
    testsupport::ScriptedPrompter prompter;
    QStringList said;
};

std::unique_ptr<testsupport::FirebirdServer> LoginTest::server;

TEST_F(LoginTest, ARefusedLoginIsAskedAgainAndThreeRefusalsEndTheProgram)
{
    const Login wrong{QStringLiteral("SYSDBA"), QStringLiteral("not-the-password")};
    const Login right{QStringLiteral("SYSDBA"), server->password()};
    fb::setSessionLogin(QStringLiteral("nobody"), QString());

    EXPECT_TRUE(logIn(database, prompter, answering({wrong, wrong, right})));
    EXPECT_EQ(said, (QStringList{QString(), kWrongLogin, kWrongLogin}));
    EXPECT_EQ(fb::sessionPassword(), server->password());  // every connection now attaches with it
    fb::Connection desk;
    desk.attach(database);
    EXPECT_TRUE(prompter.shown().isEmpty());

    said.clear();
    EXPECT_FALSE(logIn(database, prompter, answering({wrong, wrong, wrong})));
    EXPECT_EQ(said.size(), 3);
    EXPECT_EQ(prompter.shown(), QStringList{kNoLogin});

    // "Отказ" ends it without a word; a register of the folder asks nothing.
    prompter.clearShown();
    EXPECT_FALSE(logIn(database, prompter, answering({std::nullopt})));
    EXPECT_TRUE(prompter.shown().isEmpty());
    said.clear();
    const testsupport::TestDatabase file;
    EXPECT_TRUE(logIn(file.path(), prompter, answering({})));
    EXPECT_TRUE(said.isEmpty());
}

// The dialog: the name typed, the password hidden, "Вход" by Enter; after a
// refusal the name stays and the password is asked again; Esc gives up.
TEST(LoginDialog, EnterLogsInAndEscGivesUp)
{
    TFLogin dialog(QStringLiteral("office/3050:arventa"));
    auto* user = dialog.findChild<QLineEdit*>(QStringLiteral("edPotrebitel"));
    auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("edParola"));
    ASSERT_TRUE(user && password);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    QTimer::singleShot(0, &dialog, [&] {
        testsupport::typeText(user, QStringLiteral("мария"));
        password->setFocus();
        testsupport::typeText(password, QStringLiteral("тайна парола"));
        QTest::keyClick(password, Qt::Key_Return);
    });
    const std::optional<Login> first = dialog.ask({});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->user, QStringLiteral("мария"));
    EXPECT_EQ(first->password, QStringLiteral("тайна парола"));

    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_EQ(user->text(), QStringLiteral("мария"));
        EXPECT_TRUE(password->text().isEmpty());
        testsupport::keepScreenshot(dialog.grab().toImage(), QStringLiteral("TFLogin"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_FALSE(dialog.ask(kWrongLogin));
}

// On a server the trail names the login the change was made under: a name a
// client hands the database for itself (as the embedded desk does) is not
// taken from over the network.
TEST_F(LoginTest, OnAServerTheTrailNamesTheLoginWhateverTheClientClaims)
{
    fb::setSessionLogin(QStringLiteral("SYSDBA"), server->password());
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    fb::execute(c, tr,
                QStringLiteral("execute block as declare r integer; begin "
                               "r = rdb$set_context('USER_SESSION', 'ARVENTA_USER', 'подправен'); end"));
    fb::execute(c, tr, QStringLiteral("insert into hora (id_hora, ime) values (901, 'Гост')"));
    tr.commit();
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select list(potrebitel) from jurnal_prom")).toString(),
              QStringLiteral("SYSDBA"));
}

// Each user logs in under the strongest role he holds in the register; one
// who holds none is refused as a wrong login is. Only an administrator
// keeps users, and the server refuses the rest what their role may not do.
TEST_F(LoginTest, EachUserWorksUnderHisRoleAndOnlyAnAdministratorKeepsUsers)
{
    using schema::roles::Role;
    struct Restore {
        ~Restore() { fb::setSessionLogin(QStringLiteral("SYSDBA"), server->password()); }
    } restore;
    fb::setSessionLogin(QStringLiteral("SYSDBA"), server->password());
    {
        fb::Connection admin;
        admin.attach(database);
        users::add(admin, QStringLiteral("klark"), QStringLiteral("klark-parola"), Role::Clerk);
        users::add(admin, QStringLiteral("anna"), QStringLiteral("anna-parola"), Role::Administrator);
        fb::Transaction tr(admin);
        admin.executeImmediate(tr, QStringLiteral("create user BEZROLQ password 'bez-rolq-1'"));
        tr.commit();
    }

    EXPECT_TRUE(logIn(database, prompter,
                      answering({Login{QStringLiteral("bezrolq"), QStringLiteral("bez-rolq-1")},
                                 Login{QStringLiteral("klark"), QStringLiteral("klark-parola")}})));
    EXPECT_EQ(said, (QStringList{QString(), kNoRole.arg(QStringLiteral("bezrolq"))}));
    EXPECT_EQ(fb::sessionRole(), QStringLiteral("Служител"));
    EXPECT_EQ(schema::roles::current(), Role::Clerk);
    {
        fb::Connection clerk;
        clerk.attach(database);
        fb::Transaction tr(clerk);
        EXPECT_NO_THROW(fb::execute(clerk, tr, QStringLiteral("insert into hora (ime) values ('Стоян')")));
        EXPECT_THROW(fb::execute(clerk, tr, QStringLiteral("update \"RENTA ZEML\" set razmer = 0")), fb::Error);
        EXPECT_THROW(fb::execute(clerk, tr, QStringLiteral("delete from jurnal_prom")), fb::Error);
        tr.commit();
        EXPECT_THROW(users::add(clerk, QStringLiteral("drug"), QStringLiteral("drug-parola"), Role::Clerk), fb::Error);
        EXPECT_THROW(users::setPassword(clerk, QStringLiteral("anna"), QStringLiteral("nova-parola")), fb::Error);
    }

    said.clear();
    EXPECT_TRUE(logIn(database, prompter, answering({Login{QStringLiteral("anna"), QStringLiteral("anna-parola")}})));
    EXPECT_EQ(schema::roles::current(), Role::Administrator);
    fb::Connection admin;
    admin.attach(database);
    users::add(admin, QStringLiteral("petya"), QStringLiteral("petya-parola"), Role::Viewer);
    users::setRole(admin, QStringLiteral("petya"), Role::Accountant);
    const auto roleOf = [&](const QString& name) -> std::optional<Role> {
        for (const users::User& u : users::all(admin))
            if (u.name == name)
                return u.role;
        return std::nullopt;
    };
    EXPECT_EQ(roleOf(QStringLiteral("PETYA")), Role::Accountant);
    EXPECT_EQ(roleOf(QStringLiteral("SYSDBA")), Role::Administrator);
    EXPECT_EQ(roleOf(QStringLiteral("BEZROLQ")), std::nullopt);
    users::remove(admin, QStringLiteral("petya"));
    EXPECT_EQ(roleOf(QStringLiteral("PETYA")), std::nullopt);
    EXPECT_TRUE(users::changeProblem(QStringLiteral("sysdba"), QStringLiteral("anna")).has_value());
    EXPECT_TRUE(users::changeProblem(QStringLiteral("anna"), QStringLiteral("ANNA")).has_value());
    EXPECT_FALSE(users::changeProblem(QStringLiteral("klark"), QStringLiteral("anna")).has_value());
    // A removed user cannot log in any more.
    EXPECT_THROW(
        fb::Connection({.user = QStringLiteral("petya"), .password = QStringLiteral("petya-parola"), .role = {}})
            .attach(database),
        fb::Error);
}

}  // namespace
