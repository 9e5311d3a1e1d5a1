// The owners register on the second of two desks on one server register:
// the desk that saves second is told the database's message and keeps his
// panel and what he typed.
#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "firebird_server.h"
#include "registers/tfhora.h"
#include "support/scripted_prompter.h"
#include "support/typing.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

QPushButton* button(QWidget& screen, const char* name)
{
    return screen.findChild<QPushButton*>(QLatin1String(name));
}

}  // namespace

TEST(SeatsScreen, TheSecondDeskToSaveAnOwnerIsToldAndKeepsHisPanel)
{
    testsupport::FirebirdServer server;
    if (!server.problem().isEmpty()) {
        if (!testsupport::FirebirdServer::installed())
            GTEST_SKIP() << server.problem().toStdString();
        FAIL() << "the Firebird server cannot be started: " << server.problem().toStdString();
    }
    const QString database = server.copyTemplate(QStringLiteral("screen.fdb"));
    {
        fb::Connection c;
        c.attach(database);
        fb::Transaction tr(c);
        fb::execute(c, tr,
                    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                                   "values (2, '7102020023', 'Анна Петрова', '04279', 'BLG03', 'BLG', 'BG', 'не')"));
        tr.commit();
    }
    TDM first(database);
    TDM second(database);
    testsupport::ScriptedPrompter prompter;
    SortSwitch direction;
    auto screen = std::make_unique<TFHora>(second, prompter, direction);
    screen->show();
    auto* grid = screen->findChild<QTableView*>(QStringLiteral("jvdbgridHora"));
    ASSERT_TRUE(grid);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::mouseClick(button(*screen, "bitHoraKor"), Qt::LeftButton);

    // The first desk saves its correction while the second one types his.
    first.IBTHora.ensureStarted();
    ASSERT_TRUE(first.THora.locate(QStringLiteral("ID_HORA"), 2));
    first.THora.edit();
    first.THora.field("IME").setValue(QStringLiteral("Анна Петрова Иванова"));
    first.THora.post();
    first.IBTHora.commit();

    auto* name = screen->findChild<QLineEdit*>(QStringLiteral("dbedIme"));
    ASSERT_TRUE(name);
    name->setFocus(Qt::TabFocusReason);
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    testsupport::typeText(name, QStringLiteral("Анна П. Петрова"));
    QTest::mouseClick(button(*screen, "bitZapis"), Qt::LeftButton);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown()[0].contains(QStringLiteral("update conflicts with concurrent update")))
        << prompter.shown()[0].toStdString();
    EXPECT_TRUE(button(*screen, "bitZapis")->isVisible());
    EXPECT_EQ(name->text(), QStringLiteral("Анна П. Петрова"));

    // He gives up his correction: the list shows the first desk's.
    QTest::mouseClick(button(*screen, "bitOtkaz"), Qt::LeftButton);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("Анна Петрова Иванова"));
    EXPECT_EQ(prompter.shown().size(), 1);
}
