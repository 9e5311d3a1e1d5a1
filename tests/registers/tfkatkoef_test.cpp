#include "common/failure.h"
#include "registers/tfkatkoef.h"

#include "app/startup.h"
#include "app/tfmain.h"
#include "common/sort_switch.h"
#include "demo/writer.h"
#include "dm/tdm.h"
#include "fb/connection.h"
#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

using testsupport::typeText;

const QString kEmpty = QStringLiteral("Въведете коефициент!");
const QString kNotANumber = QStringLiteral("Коефициентът трябва да е число, например 0,8!");
const QString kRefusal = QStringLiteral("Моля, запишете или откажете корекцията!");

// One cadastral area (Благоевград) with two localities. Every delivered
// coefficient is 1 but category 6's, which is 1.15. Each plot's stored
// equalised area (the last value) agrees with its categories or not:
//   101  categories 3 and 4, agrees, until category 3 counts for less;
//   102  1.235 + 0.5 stored as 1.735, agrees;   103  the same stored as 1.734;
//   104  no categories at all;                   105  no form of management;
//   106  8.59 of category 6 stored as 9.879, agrees;  107  the same stored as 9.878.
const QStringList kLand = {
    QStringLiteral("update CATEGORY_COEFFICIENT set COEFFICIENT = 1.15 where CATEGORY = 6"),
    QStringLiteral("insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '04279', 'BLG03', 'BLG')"),
    QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (1, 1, 'Къра')"),
    QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (2, 1, 'Баира')"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) "
                   "values (1, 1, '101', 1, 2, 3.5, 3.5)"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) "
                   "values (2, 1, '102', 1, 2, 1.735, 1.735)"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) "
                   "values (3, 2, '103', 2, 1, 1.735, 1.734)"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) "
                   "values (4, 1, '104', 1, 2, 2, 9.999)"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, PLOSHT, PRPLOSHT) "
                   "values (5, 1, '105', 1, 2, 7)"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) "
                   "values (6, 1, '106', 1, 2, 8.59, 9.879)"),
    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) "
                   "values (7, 1, '107', 1, 2, 8.59, 9.878)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 3, 2.5)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 4, 1)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (2, 4, 1.235)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (2, 5, 0.5)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (3, 4, 1.235)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (3, 5, 0.5)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (5, 3, 2)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (6, 6, 8.59)"),
    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (7, 6, 8.59)"),
};

class TFKatKoefTest : public testsupport::ScreenTest<TFKatKoef> {
protected:
    // The screen goes before the sort switch it was given.
    ~TFKatKoefTest() override { delete screen.data(); }

    TFKatKoef& open() { return show(new TFKatKoef(module(), prompter, outputs, direction)); }
    QTableView* coefficients() const { return control<QTableView>("jvdbgridKatKoef"); }
    QTableView* plots() const { return control<QTableView>("jvdbgridImoti"); }
    QWidget* panel() const { return control<QWidget>("panelKatKoef"); }
    QLineEdit* koef() const { return edit("dbedKoef"); }

    QStringList column(QTableView* grid, int c) const
    {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, c).data().toString();
        return out;
    }
    QStringList listedPlots() const { return column(plots(), 3); }
    void clickTitle(int c) { emit plots()->horizontalHeader()->sectionClicked(c); }

    // "Корекция" on a category's row, then the coefficient saved as typed.
    void correct(int category, const QString& typed)
    {
        coefficients()->setCurrentIndex(coefficients()->model()->index(category - 1, 0));
        click("bitKoefKor");
        save(typed);
    }
    // The coefficient typed over, Tab to "Запис" and Enter, as the user does it.
    void save(const QString& typed)
    {
        typeOver(typed);
        QTest::keyClick(koef(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void typeOver(const QString& typed)
    {
        koef()->selectAll();
        QTest::keyClick(koef(), Qt::Key_Backspace);
        typeText(koef(), typed);
    }
    qint64 count(const QString& from) const { return testsupport::countRows(db.path(), from); }

    testsupport::ScriptedOutputChooser outputs;
    SortSwitch direction;
};

TEST_F(TFKatKoefTest, OpensOnTheCoefficientsAndThePlotsWhoseStoredEqualisedAreaDiffers)
{
    testsupport::runSql(db.path(), kLand);
    TFKatKoef& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Приравняване на категории"));
    EXPECT_EQ(control<QGroupBox>("gbKatKoef")->title(), QStringLiteral("Категория-Коефициенти"));
    EXPECT_EQ(control<QGroupBox>("gbImoti")->title(),
              QStringLiteral("Имоти с разлика между записана и преизчислена приравнена площ"));
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_EQ(column(coefficients(), 0), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(column(coefficients(), 1), (QStringList{"1", "1", "1", "1", "1", "1,15", "1", "1", "1", "1"}));
    QAbstractItemModelTester tester(plots()->model(), QAbstractItemModelTester::FailureReportingMode::Warning);

    QStringList titles;
    for (int c = 0; c < plots()->model()->columnCount(); ++c)
        titles << plots()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"ЕКАТТЕ", "Землище", "Местност", "Имот №", "Площ", "Приравнена площ",
                                   "Преизчислена приравнена площ", "НТП", "ФС"}));
    // By settlement, locality and plot number. 8.59 × 1.15 is 9.879 exactly:
    // the plot stored with it agrees, the one with 9.878 does not.
    ASSERT_EQ(listedPlots(), (QStringList{"103", "107"}));
    QStringList row;
    for (int c = 0; c < titles.size(); ++c)
        row << plots()->model()->index(0, c).data().toString();
    EXPECT_EQ(row,
              (QStringList{"04279", "Благоевград", "Баира", "103", "1,735", "1,734", "1,735", "Ливада", "Собствена"}));
    EXPECT_EQ(plots()->model()->index(1, 6).data().toString(), QStringLiteral("9,879"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();

    // The window is usable as it opens: both lists and every button in sight.
    s.resize(s.sizeHint());
    const QImage shot = s.grab().toImage();
    testsupport::keepScreenshot(shot, QStringLiteral("TFKatKoef"));
    for (const char* name : {"bitKoefKor", "bitRecalc", "bitPrint", "bitExit"}) {
        QWidget* b = control<QWidget>(name);
        EXPECT_TRUE(b->isVisible()) << name;
        EXPECT_TRUE(s.rect().contains(QRect(b->mapTo(&s, QPoint(0, 0)), b->size()))) << name;
    }
    EXPECT_GE(plots()->viewport()->height(), 6 * plots()->verticalHeader()->defaultSectionSize());
}

TEST_F(TFKatKoefTest, AChangedCoefficientListsThePlotsAfterRecalculationNotBefore)
{
    testsupport::runSql(db.path(), kLand);
    open();
    coefficients()->setCurrentIndex(coefficients()->model()->index(2, 0));
    click("bitKoefKor");
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_FALSE(coefficients()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), koef());
    EXPECT_EQ(control<QLabel>("dbtKat")->text(), QStringLiteral("3"));
    EXPECT_EQ(koef()->text(), QStringLiteral("1"));
    EXPECT_EQ(dm->TKatKoef.state(), dataset::State::Edit);
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFKatKoef-panel"));
    typeOver(QStringLiteral("0,8"));
    QTest::keyClick(koef(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("bitKatKoefSave"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_TRUE(coefficients()->isEnabled());
    EXPECT_EQ(count(QStringLiteral("CATEGORY_COEFFICIENT where CATEGORY = 3 and COEFFICIENT = 0.8")), 1);
    EXPECT_EQ(column(coefficients(), 1).at(2), QStringLiteral("0,8"));
    EXPECT_EQ(listedPlots(), (QStringList{"103", "107"}));  // not read again yet

    // A sort reads the list again too; "Преизчисляване" goes back to the default order.
    clickTitle(6);  // by the recomputed area, ascending
    EXPECT_EQ(listedPlots(), (QStringList{"103", "101", "107"}));
    EXPECT_EQ(column(plots(), 6), (QStringList{"1,735", "3,000", "9,879"}));
    clickTitle(3);  // by plot number, descending
    EXPECT_EQ(listedPlots(), (QStringList{"107", "103", "101"}));
    click("bitRecalc");
    EXPECT_EQ(listedPlots(), (QStringList{"103", "101", "107"}));  // Баира before Къра

    // Back to 1: plot 101 agrees again.
    correct(3, QStringLiteral("1"));
    click("bitRecalc");
    EXPECT_EQ(listedPlots(), (QStringList{"103", "107"}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
}

TEST_F(TFKatKoefTest, AnEmptyOrNonNumericCoefficientOrARefusingDatabaseKeepsThePanelEditing)
{
    open();
    correct(2, QString());
    save(QStringLiteral("   "));
    EXPECT_EQ(prompter.shown(), (QStringList{kEmpty, kEmpty}));
    EXPECT_EQ(QApplication::focusWidget(), koef());  // back from "Запис" to the field

    // Letters are never taken; a lone point is no number.
    save(QStringLiteral("x."));
    EXPECT_EQ(prompter.shown().last(), kNotANumber);
    EXPECT_EQ(QApplication::focusWidget(), koef());
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_EQ(dm->TKatKoef.state(), dataset::State::Edit);
    EXPECT_EQ(koef()->text(), QStringLiteral(","));

    // A coefficient is above zero and at most 10: said on leaving the field
    // and again by "Запис", the typed text kept, nothing stored.
    prompter.clearShown();
    save(QStringLiteral("0"));
    const QString range = QStringLiteral("Полето „Коефициент“ приема число над 0 до 10, с до 4 знака след запетаята!");
    EXPECT_EQ(prompter.shown(), (QStringList{range, range}));
    save(QStringLiteral("12,5"));
    save(QStringLiteral("0,12345"));
    EXPECT_EQ(prompter.shown(), QStringList(6, range));
    EXPECT_EQ(koef()->text(), QStringLiteral("0,12345"));
    EXPECT_EQ(QApplication::focusWidget(), koef());
    prompter.clearShown();

    // Esc is "Отказ": nothing stored, the grid back.
    QTest::keyClick(koef(), Qt::Key_Escape);
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_EQ(dm->TKatKoef.state(), dataset::State::Browse);
    EXPECT_EQ(count(QStringLiteral("CATEGORY_COEFFICIENT where COEFFICIENT <> 1")), 0);

    // The database's own refusal is shown as the client words it, and the row stays in the panel.
    testsupport::runSql(db.path(),
                        {QStringLiteral("create exception E_KOEF 'coefficient too large'"),
                         QStringLiteral("create trigger KOEF_CHECK for CATEGORY_COEFFICIENT before update as "
                                        "begin if (new.coefficient > 5) then exception E_KOEF; end")});
    const QString refused =
        testsupport::clientError(db.path(), QStringLiteral("update CATEGORY_COEFFICIENT set COEFFICIENT = 6"));
    ASSERT_FALSE(refused.isEmpty());
    prompter.clearShown();
    correct(2, QStringLiteral("6"));
    EXPECT_EQ(prompter.shown(), QStringList{failure::text(QStringLiteral("Записът не е направен."), refused)});
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_EQ(dm->TKatKoef.state(), dataset::State::Edit);
    typeOver(QStringLiteral("0,9"));
    click("bitKatKoefSave");
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("CATEGORY_COEFFICIENT where CATEGORY = 2 and COEFFICIENT = 0.9")), 1);
}

TEST_F(TFKatKoefTest, ClosingIsRefusedWhileACoefficientIsOpenAndLeavesTheCoefficientsReadable)
{
    open();
    coefficients()->setCurrentIndex(coefficients()->model()->index(4, 0));
    click("bitKoefKor");
    typeOver(QStringLiteral("0,7"));
    click("bitExit");
    screen->closeWindow();
    EXPECT_EQ(prompter.shown(), (QStringList{kRefusal, kRefusal}));
    EXPECT_FALSE(closed());
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_EQ(koef()->text(), QStringLiteral("0,7"));

    click("bitKatKoefSave");
    EXPECT_EQ(count(QStringLiteral("CATEGORY_COEFFICIENT where CATEGORY = 5 and COEFFICIENT = 0.7")), 1);

    // Closing ends the coefficients' transaction, so the plot editor, which
    // reads them through the shared cursor, sees what is stored by now.
    testsupport::runSql(db.path(),
                        {QStringLiteral("update CATEGORY_COEFFICIENT set COEFFICIENT = 0.6 where CATEGORY = 7")});
    QTest::keyClick(coefficients(), Qt::Key_Escape);  // Esc closes a screen that is browsing
    EXPECT_TRUE(closed());
    EXPECT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(dm->TKatKoef.state(), dataset::State::Browse);
    ASSERT_TRUE(dm->TKatKoef.locate(QStringLiteral("CATEGORY"), 7));
    EXPECT_EQ(dm->TKatKoef["COEFFICIENT"].asDouble(), 0.6);
}

// Every plot the demo enterprise has is stored with the equalised area its
// categories give, and the screen agrees with it on every one.
// The printed list is what the list holds at that moment, whatever the
// database holds meanwhile; without its layout file in the folder the
// command says so and stops.
TEST_F(TFKatKoefTest, PrintListsThePlotsTheListHolds)
{
    testsupport::runSql(db.path(), kLand);
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    open();
    click("bitPrint");
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().value(0).contains(QStringLiteral("SpisykKatKoef.rav")));

    ASSERT_TRUE(
        QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/SpisykKatKoef.rav"), folder.filePath("SpisykKatKoef.rav")));
    testsupport::runSql(db.path(), {"update ZEMQ set PRPLOSHT = 9.879 where ID_ZEMQ = 7"});
    const QString pdf = folder.filePath(QStringLiteral("plots.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrint");
    QDir::setCurrent(previous);
    const QString text = testsupport::pdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Приравняване на категории")));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral("Баира"))) {
            EXPECT_TRUE(line.contains(QStringLiteral("103")) && line.contains(QStringLiteral("1,734")))
                << line.toStdString();
        }
    }
    EXPECT_TRUE(text.contains(QStringLiteral("9,878")));  // as listed, not as stored since
    EXPECT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(listedPlots(), (QStringList{"103", "107"}));
}

TEST_F(TFKatKoefTest, AFreshDemoEnterpriseListsNoPlot)
{
    {
        fb::Connection c;
        c.attach(db.path());
        demo::fill(c, {300, 1000, 1});
    }
    open();
    EXPECT_EQ(plots()->model()->rowCount(), 0);
    EXPECT_GT(count(QStringLiteral("ZEMQ where PRPLOSHT <> PLOSHT")), 500);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
}

TEST(TFKatKoefMenu, TheMenuOpensOneChildWindowThatTheMainWindowCannotCloseWhileACoefficientIsOpen)
{
    testsupport::TestDatabase db;
    testsupport::runSql(db.path(), kLand);
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    TFMain& main = *program.main;
    main.show();
    EXPECT_TRUE(main.findChild<QAction*>(QStringLiteral("mKatKoef"))->isEnabled());
    main.runCommand(QStringLiteral("mKatKoef"));
    main.runCommand(QStringLiteral("mKatKoef"));
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
    QMdiSubWindow* frame = main.mdiArea()->subWindowList().first();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Приравняване на категории"));
    auto* screen = qobject_cast<TFKatKoef*>(program.registry->instance(QStringLiteral("TFKatKoef")));
    ASSERT_TRUE(screen);
    testsupport::keepScreenshot(main.grab().toImage(), QStringLiteral("TFKatKoef-main"));
    EXPECT_EQ(screen->findChild<QTableView*>(QStringLiteral("jvdbgridImoti"))->model()->rowCount(), 2);

    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("bitKoefKor")), Qt::LeftButton);
    EXPECT_FALSE(main.close());
    EXPECT_EQ(prompter.shown(), QStringList{kRefusal});
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("bitKatKoefCancel")), Qt::LeftButton);
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("bitExit")), Qt::LeftButton);
    EXPECT_EQ(program.registry->instance(QStringLiteral("TFKatKoef")), nullptr);
    EXPECT_EQ(prompter.shown().size(), 1);
}

}  // namespace
