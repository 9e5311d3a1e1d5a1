#include "app/startup.h"
#include "app/tfabout.h"
#include "common/register_screen.h"
#include "common/screen.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/screen_test.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString kCloseAll = QStringLiteral("Моля затворете всички отворени екрани!");

// A screen kind of the tests' own; it refuses to close while told to.
class TestScreen : public Screen {
public:
    bool refuse = false;

protected:
    bool closeCheck() override { return !refuse; }
};

class TFMainTest : public ::testing::Test {
protected:
    Arventa start(const QString& database)
    {
        Arventa program = startArventa(exeDir.path(), prompter, database);
        return program;
    }
    void seedFirm(const QString& name, int kind, const QString& mol)
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        fb::execute(c, tr, QStringLiteral("insert into FIRMA (NAIM_FIRMA, ID_VZP, MOL) values (?, ?, ?)"),
                    {name, kind, mol});
        tr.commit();
    }
    // Registers a test screen for each kind and enables their commands.
    void registerTestScreens(Arventa& program, const QStringList& kinds)
    {
        for (const QString& kind : kinds)
            program.registry->add(kind, [](const ScreenContext&) { return new TestScreen; });
        program.main->updateCommands();
    }
    QList<QMdiSubWindow*> openWindows(Arventa& program)
    {
        QList<QMdiSubWindow*> out;
        for (QMdiSubWindow* w : program.main->mdiArea()->subWindowList())
            if (!w->isHidden())
                out << w;
        return out;
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
};

TEST_F(TFMainTest, ABrokenOffYearClosingStopsTheStartWithAnExitCodeUnlessTheUserLetsItsLeftoversGo)
{
    seedFirm(QStringLiteral("Агро ООД"), 2, QString());
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        fb::execute(c, tr, QStringLiteral("update FIRMA set FROMYEAR = '2009-10-01', TOYEAR = '2010-09-30'"));
        tr.commit();
    }
    ASSERT_TRUE(QDir(exeDir.path()).mkdir(QStringLiteral("TEMP")));
    prompter.answerNo();  // TEMP is empty: the closing was cut during its first copy
    {
        Arventa program = start(db.path());
        EXPECT_EQ(prompter.shown().size(), 2);
        EXPECT_EQ(prompter.shown().last(), QStringLiteral("Извършено е неуспешно приключване на период!\n"
                                                          "Моля, свържете се с Стелмар ЕООД!"));
        EXPECT_FALSE(program.main);
        EXPECT_NE(program.exitCode, 0);
        ASSERT_TRUE(program.dm);
        EXPECT_TRUE(program.dm->THora.isOpen());  // the module came first, and it did open
        EXPECT_TRUE(QDir(exeDir.path()).exists(QStringLiteral("TEMP")));
    }
    prompter.answerYes();
    Arventa program = start(db.path());
    EXPECT_TRUE(program.main);
    EXPECT_EQ(program.exitCode, 0);
    EXPECT_FALSE(QDir(exeDir.path()).exists(QStringLiteral("TEMP")));
}

TEST_F(TFMainTest, TheCaptionFollowsTheFirmRow)
{
    EXPECT_EQ(TFMain::caption(QString(), 1, QStringLiteral("Петър Петров")), QStringLiteral("Арвента - Петър Петров"));
    EXPECT_EQ(TFMain::caption(QStringLiteral("ЗП Иван Иванов"), 1, QString()),
              QStringLiteral("Арвента - ЗП Иван Иванов"));
    EXPECT_EQ(TFMain::caption(QStringLiteral("Агро ООД"), 2, QStringLiteral("Мария Колева")),
              QStringLiteral("Арвента - Агро ООД"));

    {
        Arventa empty = start(db.path());  // no firm row at all
        EXPECT_EQ(empty.main->windowTitle(), QStringLiteral("Арвента"));
        EXPECT_TRUE(empty.main->windowState() & Qt::WindowMaximized);
    }
    seedFirm(QStringLiteral("ЗП Иван Иванов"), 1, QStringLiteral("Иван Иванов"));
    Arventa program = start(db.path());
    EXPECT_EQ(program.main->windowTitle(), QStringLiteral("Арвента - ЗП Иван Иванов - Иван Иванов"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFMainTest, AMissingDatabaseStopsTheStartBeforeAnyWindow)
{
    const QString missing = db.folder() + QStringLiteral("/NONE.FDB");
    Arventa program = start(missing);
    EXPECT_FALSE(program.main);
    EXPECT_NE(program.exitCode, 0);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().front().startsWith(
        QStringLiteral("Базата данни „%1“ не може да бъде отворена.\n").arg(QDir::toNativeSeparators(missing))));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(TFMainTest, TheMenuAndToolbarCarryTheirNamesAndOnlyBuiltScreensAreEnabled)
{
    Arventa program = start(db.path());
    TFMain& main = *program.main;
    const auto action = [&](const char* name) { return main.findChild<QAction*>(QLatin1String(name)); };
    ASSERT_TRUE(action("mHora"));
    EXPECT_EQ(action("mHora")->text(), QStringLiteral("Собственици"));
    EXPECT_EQ(action("mHora")->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    EXPECT_EQ(action("mSpisakRenta")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(action("miAK_access")->text(), QStringLiteral("Анкетна карта (zp_v15.mde)"));
    EXPECT_EQ(action("mExit")->text(), QStringLiteral("Изход"));
    EXPECT_TRUE(action("mHora")->isEnabled());            // the owners register is built
    EXPECT_TRUE(action("Dogovori")->isEnabled());         // and the contracts register
    EXPECT_TRUE(action("mSpisakRenta")->isEnabled());     // and the rent list
    EXPECT_TRUE(action("mSpisykRentaMG")->isEnabled());   // rent of past years
    EXPECT_TRUE(action("mSprNerazdRenta")->isEnabled());  // the unpaid-rent report
    EXPECT_TRUE(action("miDekl70")->isEnabled());         // the declarations
    EXPECT_TRUE(action("mAnketnaKarta")->isEnabled());    // the survey card, into the form
    EXPECT_TRUE(action("miAK_access")->isEnabled());      // and into the survey database
    EXPECT_TRUE(action("mAbout")->isEnabled());
    QStringList buttons;
    for (const char* name : {"bitHora", "bitZemq", "bitPravilaRenta", "BitBtn1", "bitDogovor"})
        buttons << main.findChild<QToolButton*>(QLatin1String(name))->text();
    EXPECT_EQ(buttons, (QStringList{"Собственици", "Земя", "Правила за рента", "Списък за рента", "Договори"}));

    registerTestScreens(program, {QStringLiteral("TFHora")});
    EXPECT_TRUE(action("mHora")->isEnabled());
    EXPECT_TRUE(main.findChild<QToolButton*>(QStringLiteral("bitHora"))->isEnabled());
    EXPECT_TRUE(main.findChild<QToolButton*>(QStringLiteral("BitBtn1"))->isEnabled());

    // On the toolbar, right of the last button, hidden until an old period is loaded.
    auto* label = main.findChild<QLabel*>(QStringLiteral("labStopGod"));
    auto* toolBar = main.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QAction* labelAction = toolBar->actions().last();
    ASSERT_EQ(toolBar->widgetForAction(labelAction), label);
    EXPECT_FALSE(labelAction->isVisible());
    main.showOldPeriod(2015);
    EXPECT_TRUE(labelAction->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("          Стопанска година: 2014/2015"));
}

TEST_F(TFMainTest, AnOpenScreenIsNotOpenedAgainEvenWhenMinimised)
{
    Arventa program = start(db.path());
    registerTestScreens(program, {QStringLiteral("TFHora")});
    TFMain& main = *program.main;
    main.findChild<QAction*>(QStringLiteral("mHora"))->trigger();
    ASSERT_EQ(openWindows(program).size(), 1);
    Screen* first = program.registry->instance(QStringLiteral("TFHora"));
    main.findChild<QToolButton*>(QStringLiteral("bitHora"))->click();
    EXPECT_EQ(openWindows(program).size(), 1);
    openWindows(program).first()->showMinimized();
    main.findChild<QAction*>(QStringLiteral("mHora"))->trigger();
    EXPECT_EQ(openWindows(program).size(), 1);
    EXPECT_TRUE(openWindows(program).first()->isMinimized());

    openWindows(program).first()->close();
    EXPECT_EQ(program.registry->instance(QStringLiteral("TFHora")), nullptr);
    QApplication::processEvents();
    main.findChild<QAction*>(QStringLiteral("mHora"))->trigger();
    EXPECT_EQ(openWindows(program).size(), 1);
    EXPECT_NE(program.registry->instance(QStringLiteral("TFHora")), nullptr);
    EXPECT_NE(program.registry->instance(QStringLiteral("TFHora")), first);
}

TEST_F(TFMainTest, ServiceCommandsRefuseWhileAnyScreenIsOpen)
{
    Arventa program = start(db.path());
    registerTestScreens(program, {QStringLiteral("TFHora"), QStringLiteral("TFBackup"), QStringLiteral("TFPreklgod"),
                                  QStringLiteral("TFZarejdanenagod")});
    TFMain& main = *program.main;
    main.runCommand(QStringLiteral("mHora"));
    openWindows(program).first()->showMinimized();
    for (const char* item : {"mArchive", "mPriklGod", "mZarejdaneGod"})
        main.runCommand(QLatin1String(item));
    EXPECT_EQ(prompter.shown(), (QStringList{kCloseAll, kCloseAll, kCloseAll}));
    EXPECT_EQ(openWindows(program).size(), 1);

    openWindows(program).first()->close();
    QApplication::processEvents();
    main.runCommand(QStringLiteral("mPriklGod"));
    EXPECT_EQ(openWindows(program).size(), 1);
    EXPECT_NE(program.registry->instance(QStringLiteral("TFPreklgod")), nullptr);
    EXPECT_EQ(prompter.shown().size(), 3);
}

TEST_F(TFMainTest, TheMainWindowStaysOpenWhileAScreenRefusesToClose)
{
    Arventa program = start(db.path());
    registerTestScreens(program, {QStringLiteral("TFHora"), QStringLiteral("TFZemq")});
    TFMain& main = *program.main;
    main.runCommand(QStringLiteral("mZemq"));
    main.runCommand(QStringLiteral("mHora"));
    auto* owners = static_cast<TestScreen*>(program.registry->instance(QStringLiteral("TFHora")));
    owners->refuse = true;
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(program.registry->instance(QStringLiteral("TFHora")), owners);

    owners->refuse = false;
    main.findChild<QAction*>(QStringLiteral("mExit"))->trigger();
    EXPECT_FALSE(main.isVisible());
    EXPECT_FALSE(program.registry->anyOpen());
}

TEST(TFAbout, ShowsTheBuildsVersion)
{
    EXPECT_EQ(TFAbout::versionLine(std::nullopt), QStringLiteral("Версия: "));
    EXPECT_EQ(TFAbout::versionLine(std::array<int, 4>{1, 2, 3, 4}), QStringLiteral("Версия: 1.2.3.4"));
    TFAbout box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("За продукта"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("Version"))->text(), QStringLiteral("Версия: 0.1.0.0"));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(), QStringLiteral("Продукт: Арвента"));
}

}  // namespace

// The register of the folder goes unnamed; any other database, a server's
// above all, is named in the status bar for as long as it is open.
TEST_F(TFMainTest, TheStatusBarNamesADatabaseOtherThanTheFoldersOwn)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(db.folder());
    {
        Arventa own = start(QStringLiteral("ARVENTA.FDB"));
        ASSERT_FALSE(own.dm->connectError());
        const auto* label = own.main->findChild<QLabel*>(QStringLiteral("labDatabase"));
        EXPECT_TRUE(!label || label->isHidden());
    }
    QDir::setCurrent(before);
    Arventa other = start(db.path());
    const auto* label = other.main->findChild<QLabel*>(QStringLiteral("labDatabase"));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), QStringLiteral("База данни: ") + db.path());
}

namespace {

// A user works under his role: what it may not do at all is not offered,
// and a screen whose rows it may read but not change opens without the
// commands that change them.
TEST_F(TFMainTest, EachRoleIsOfferedOnlyWhatItMayDo)
{
    {
        fb::Connection owner;
        owner.attach(db.path());
        fb::Transaction tr(owner);
        owner.executeImmediate(tr, QStringLiteral("grant \"Преглед\" to ANNA"));
        owner.executeImmediate(tr, QStringLiteral("grant \"Служител\" to IVAN"));
        fb::execute(owner, tr,
                    QStringLiteral("insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL, KOD_COUNTRY, CHFL) "
                                   "values (2, '7102020023', 'Анна Петрова', '04279', 'BLG03', 'BLG', 'BG', 'не')"));
        tr.commit();
    }
    struct Restore {
        ~Restore() { fb::setSessionLogin(QStringLiteral("SYSDBA"), QString()); }
    } restore;
    const auto visible = [](Arventa& program, const char* name) {
        return program.main->findChild<QAction*>(QLatin1String(name))->isVisible();
    };
    const auto changing = [](Screen* screen) {
        QStringList shown;
        for (QAbstractButton* b : screen->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(screen) &&
                QStringList({"Добавяне", "Корекция", "Изтриване", "Изплати рента"}).contains(b->text()))
                shown << b->objectName();
        return shown;
    };

    fb::setSessionLogin(QStringLiteral("ANNA"), QString(), QStringLiteral("Преглед"));
    {
        Arventa program = start(db.path());
        ASSERT_TRUE(program.main) << prompter.shown().join(' ').toStdString();
        for (const char* acting : {"mArchive", "mPriklGod", "mZarejdaneGod", "mPotrebiteli"})
            EXPECT_FALSE(visible(program, acting)) << acting;
        EXPECT_TRUE(visible(program, "mHora"));
        EXPECT_TRUE(visible(program, "mJurnal"));
        program.main->findChild<QAction*>(QStringLiteral("mHora"))->trigger();
        Screen* owners = program.registry->instance(QStringLiteral("TFHora"));
        ASSERT_TRUE(owners);
        QApplication::processEvents();
        EXPECT_TRUE(owners->readingOnly());
        program.main->resize(1366, 768);
        testsupport::keepScreenshot(program.main->grab().toImage(), QStringLiteral("TFHora-Pregled"));
        EXPECT_TRUE(changing(owners).isEmpty()) << changing(owners).join(' ').toStdString();
        // Nor does a double click on a row start its correction.
        auto* grid = owners->findChild<QTableView*>(QStringLiteral("jvdbgridHora"));
        ASSERT_TRUE(grid);
        ASSERT_EQ(grid->model()->rowCount(), 1);
        emit grid->doubleClicked(grid->model()->index(0, 1));
        EXPECT_FALSE(static_cast<RegisterScreen*>(owners)->flow().isEditing());
    }

    fb::setSessionLogin(QStringLiteral("IVAN"), QString(), QStringLiteral("Служител"));
    {
        Arventa program = start(db.path());
        EXPECT_FALSE(visible(program, "mPriklGod"));
        program.main->findChild<QAction*>(QStringLiteral("mHora"))->trigger();
        EXPECT_FALSE(program.registry->instance(QStringLiteral("TFHora"))->readingOnly());
        program.main->findChild<QAction*>(QStringLiteral("mFirma"))->trigger();
        EXPECT_TRUE(program.registry->instance(QStringLiteral("TFFirma"))->readingOnly());
    }

    // The desk of the embedded register may do everything; the users are a server's.
    fb::setSessionLogin(QStringLiteral("SYSDBA"), QString());
    Arventa program = start(db.path());
    EXPECT_TRUE(visible(program, "mPriklGod"));
    EXPECT_FALSE(visible(program, "mPotrebiteli"));
}

}  // namespace
