// "Потребители" on a server register: the administrator adds a user with
// his role, changes the role, and removes him after a question that
// defaults to "Не"; the server's first administrator and his own user are
// refused; what the server refuses is said with its text.
#include "dm/tdm.h"
#include "fb/connection.h"
#include "firebird_server.h"
#include "service/tfpotrebiteli.h"
#include "service/users.h"
#include "support/screen_test.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <deque>

namespace {

using schema::roles::Role;

QStringList listed(QWidget& screen)
{
    auto* grid = screen.findChild<QTableView*>(QStringLiteral("jvdbgridPotrebiteli"));
    QStringList rows;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        rows << grid->model()->index(r, 0).data().toString() + QLatin1Char(' ') +
                    grid->model()->index(r, 1).data().toString();
    return rows;
}

void pick(QWidget& screen, const QString& user)
{
    auto* grid = screen.findChild<QTableView*>(QStringLiteral("jvdbgridPotrebiteli"));
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        if (grid->model()->index(r, 0).data().toString() == user)
            grid->setCurrentIndex(grid->model()->index(r, 0));
}

void press(QWidget& screen, const char* name)
{
    QTest::mouseClick(screen.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
}

}  // namespace

TEST(UsersScreen, TheAdministratorAddsChangesAndRemovesUsers)
{
    testsupport::FirebirdServer server;
    if (!server.problem().isEmpty()) {
        if (!testsupport::FirebirdServer::installed())
            GTEST_SKIP() << server.problem().toStdString();
        FAIL() << "the Firebird server cannot be started: " << server.problem().toStdString();
    }
    const QString database = server.copyTemplate(QStringLiteral("users.fdb"));
    TDM dm(database);
    testsupport::ScriptedPrompter prompter;
    std::deque<std::optional<UserEntry>> answers = {
        UserEntry{QStringLiteral("maria"), QStringLiteral("maria-parola"), Role::Clerk},
        UserEntry{QStringLiteral("MARIA"), {}, Role::Accountant},
        UserEntry{QStringLiteral("maria"), QStringLiteral("maria-parola"), Role::Clerk},  // there already
    };
    TFPotrebiteli screen(dm, prompter, [&](UserChange, const UserEntry&) {
        std::optional<UserEntry> next = answers.front();
        answers.pop_front();
        return next;
    });
    screen.show();
    EXPECT_EQ(listed(screen), QStringList{QStringLiteral("SYSDBA Администратор")});

    press(screen, "bitPotrDob");
    EXPECT_EQ(listed(screen), (QStringList{QStringLiteral("MARIA Служител"), QStringLiteral("SYSDBA Администратор")}));
    screen.resize(900, 500);
    testsupport::keepScreenshot(screen.grab().toImage(), QStringLiteral("TFPotrebiteli"));
    pick(screen, QStringLiteral("MARIA"));
    press(screen, "bitPotrRolq");
    EXPECT_TRUE(listed(screen).contains(QStringLiteral("MARIA Счетоводител")));

    // A name the server has already: its refusal is said, the list stays.
    pick(screen, QStringLiteral("MARIA"));
    press(screen, "bitPotrDob");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown()[0].startsWith(QStringLiteral("Потребителят MARIA не може да бъде добавен.")))
        << prompter.shown()[0].toStdString();
    prompter.clearShown();

    pick(screen, QStringLiteral("SYSDBA"));
    press(screen, "bitPotrDel");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown()[0].startsWith(QStringLiteral("SYSDBA е първият администратор")));

    pick(screen, QStringLiteral("MARIA"));
    prompter.answerNo();
    press(screen, "bitPotrDel");
    EXPECT_EQ(prompter.defaults().last(), Prompter::Default::No);
    EXPECT_EQ(listed(screen).size(), 2);
    prompter.answerYes();
    press(screen, "bitPotrDel");
    EXPECT_EQ(listed(screen), QStringList{QStringLiteral("SYSDBA Администратор")});
}

// The dialog keeps itself open and says what is wrong until the entry will do.
TEST(UserDialog, APoorNameOrPasswordIsSaidAndTheDialogStays)
{
    TFPotrebitel dialog(UserChange::New, {});
    dialog.show();
    testsupport::keepScreenshot(dialog.grab().toImage(), QStringLiteral("TFPotrebitel"));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("edPotrebitel"));
    auto* password = dialog.findChild<QLineEdit*>(QStringLiteral("edParola"));
    auto* again = dialog.findChild<QLineEdit*>(QStringLiteral("edParolaOtnovo"));
    auto* problem = dialog.findChild<QLabel*>(QStringLiteral("labGreshka"));
    auto* save = dialog.findChild<QPushButton*>(QStringLiteral("bitZapis"));
    name->setText(QStringLiteral("мария"));
    password->setText(QStringLiteral("дълга-парола"));
    again->setText(QStringLiteral("дълга-парола"));
    save->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(problem->text().startsWith(QStringLiteral("Потребителското име")));
    name->setText(QStringLiteral("maria"));
    again->setText(QStringLiteral("друга-парола"));
    save->click();
    EXPECT_EQ(problem->text(), QStringLiteral("Двете пароли се различават."));
    password->setText(QStringLiteral("кратка"));
    again->setText(QStringLiteral("кратка"));
    save->click();
    EXPECT_EQ(problem->text(), QStringLiteral("Паролата трябва да е поне 8 знака."));
    password->setText(QStringLiteral("дълга-парола"));
    again->setText(QStringLiteral("дълга-парола"));
    save->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.entry().name, QStringLiteral("maria"));
    EXPECT_EQ(dialog.entry().role, Role::Clerk);
}
