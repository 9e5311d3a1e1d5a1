// The plot editor as a user meets it: opened by the land browser's
// "Корекция", driven by its widgets' names, owners and persons chosen in the
// owners register opened as a picker. Only what the user sees and what is
// stored is checked.
#include "common/sort_switch.h"
#include "registers/tfkatdob.h"
#include "registers/tfzemq.h"
#include "support/scripted_prompter.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

using testsupport::countRows;
using testsupport::gridRows;
using testsupport::typeText;

// Изгрев, locality Горна with four plots and Долна with none. Category 3
// counts 0.8. Plot 101 has categories 3 and 4 and nothing else; 102 a
// category and no owner; a plot without a number; 104 consolidated, with its
// owner. Three owners to pick from.
const QStringList kLand = {
    "update CATEGORY_COEFFICIENT set COEFFICIENT = 0.8 where CATEGORY = 3",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (11, 1, 'Долна')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) values (100, 10, '101', 1, 2, 2.5, "
    "2.2)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 3, 1.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 1)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) values (101, 10, '102', 1, 2, 1, 1)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (101, 4, 1)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST) values (102, 10)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT, KOMASIRAN, KOMASTEKST, KOMASIN, "
    "KOMASIP) values (103, 10, '104', 1, 2, 1, 1, 1, 'Да', '77', 3.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (103, 4, 1)",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (1, '7501010000', 'Иван', '00134', 'BLG03', "
    "'BLG')",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (2, '7501020000', 'Мария', '00134', "
    "'BLG03', 'BLG')",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (3, '7501030000', 'Петър', '00134', "
    "'BLG03', 'BLG')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL, CHAST) values (1, 103, 1, 1, '1/1')",
};

const QString kNoData = QStringLiteral("Няма данни!");
const QString kConfirmDelete = QStringLiteral("Моля, потвърдете изтриването!");

class PlotEditorCommands : public ::testing::Test {
protected:
    PlotEditorCommands()
    {
        testsupport::runSql(db.path(), kLand);
        dm = std::make_unique<TDM>(db.path());
        browser = new TFZemq(*dm, prompter, direction, ownersDirection);
        browser->show();
    }
    ~PlotEditorCommands() override
    {
        delete editor.data();
        delete browser.data();
    }

    QTableView* browserGrid(const char* name) const { return browser->findChild<QTableView*>(QLatin1String(name)); }
    void selectLocality(int row)
    {
        QTableView* localities = browserGrid("jvdbgridMestnosti");
        localities->setCurrentIndex(localities->model()->index(row, 0));
    }
    // The land browser's "Корекция" on the plot of that number in Горна;
    // the editor it opens becomes the active window.
    QWidget* correct(const QString& number)
    {
        selectLocality(0);
        QTableView* plots = browserGrid("jvdbgridImoti");
        for (int r = 0; r < plots->model()->rowCount(); ++r)
            if (plots->model()->index(r, 0).data().toString() == number)
                plots->setCurrentIndex(plots->model()->index(r, 0));
        QTest::mouseClick(browser->findChild<QPushButton*>(QStringLiteral("bitImotiKor")), Qt::LeftButton);
        editor = visible(QStringLiteral("TFImot"));
        if (editor) {
            editor->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(editor));
        }
        return editor;
    }
    static QWidget* visible(const QString& objectName)
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == objectName && w->isVisible())
                return w;
        return nullptr;
    }

    template <typename T>
    T* control(const char* name) const
    {
        T* w = editor->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    QString shown(const char* label) const { return control<QLabel>(label)->text(); }
    QStringList rows(const char* grid) const { return gridRows(control<QTableView>(grid)); }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    void typeInto(const char* name, const QString& text)
    {
        edit(name)->setFocus();
        edit(name)->clear();
        typeText(edit(name), text);
    }
    bool editorClosed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return editor.isNull() || !editor->isVisible();
    }

    // `command` opens the owners register as a picker; the owner of that name
    // is selected there and its "Избери" pressed. Returns the name the
    // picker opened on.
    QString pick(const char* command, const QString& name, const char* chooseButton)
    {
        click(command);
        QWidget* picker = visible(QStringLiteral("TFHora"));
        EXPECT_TRUE(picker) << command;
        if (!picker)
            return {};
        auto* owners = picker->findChild<QTableView*>(QStringLiteral("jvdbgridHora"));
        const QString openedOn = owners->currentIndex().siblingAtColumn(1).data().toString();
        for (int r = 0; r < owners->model()->rowCount(); ++r)
            if (owners->model()->index(r, 1).data().toString() == name)
                owners->setCurrentIndex(owners->model()->index(r, 1));
        QPushButton* choose = picker->findChild<QPushButton*>(QLatin1String(chooseButton));
        EXPECT_TRUE(choose && choose->isVisible()) << chooseButton;
        if (choose)
            choose->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (editor)
            editor->activateWindow();
        return openedOn;
    }
    // The category dialog opened by `command`, `act` run in it (it must end it).
    void inCategoryDialog(const char* command, std::function<void(TFKatdob&)> act)
    {
        testsupport::onModalDialog<TFKatdob>(std::move(act));
        click(command);
    }
    static void chooseCategory(TFKatdob& d, int vid)
    {
        auto* combo = d.findChild<QComboBox*>(QStringLiteral("cbKat"));
        combo->setCurrentIndex(combo->findText(QString::number(vid)));
        emit combo->activated(combo->currentIndex());
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
    SortSwitch direction, ownersDirection;
    QPointer<TFZemq> browser;
    QPointer<QWidget> editor;
};

// The land browser's "Корекция": nothing to correct in an empty locality;
// otherwise the editor on the selected plot, with both "Собственост"
// buttons, and one editor at a time.
TEST_F(PlotEditorCommands, TheLandBrowsersCorrectionOpensTheSelectedPlot)
{
    selectLocality(1);
    QTest::mouseClick(browser->findChild<QPushButton*>(QStringLiteral("bitImotiKor")), Qt::LeftButton);
    EXPECT_EQ(prompter.shown(), QStringList{kNoData});
    EXPECT_FALSE(visible(QStringLiteral("TFImot")));

    ASSERT_TRUE(correct(QStringLiteral("101")));
    EXPECT_EQ(shown("dbtImotNo"), "101");
    EXPECT_EQ(shown("lblZemlishte"), "Изгрев");
    EXPECT_EQ(shown("lblMestnost"), "Горна");
    EXPECT_EQ(shown("lblPlosht"), "2,500");
    EXPECT_EQ(shown("lblPrPlosht"), "2,200");
    EXPECT_TRUE(control<QWidget>("bitSobstSobstv")->isVisible());
    EXPECT_TRUE(control<QWidget>("bitIstoriqSobstv")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("dbedImotNo2"));

    QPointer<QWidget> first = editor;
    correct(QStringLiteral("102"));
    EXPECT_EQ(editor, first);
    EXPECT_EQ(shown("dbtImotNo"), "101");
    int editors = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        editors += w->objectName() == QLatin1String("TFImot") && w->isVisible();
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(prompter.shown(), QStringList{kNoData});
}

// The share panel's "OK" wants both areas, each refusal leaving the focus
// where the figure is missing.
TEST_F(PlotEditorCommands, TheSharePanelWantsItsAreaAndItsEqualisedArea)
{
    ASSERT_TRUE(correct(QStringLiteral("101")));
    pick("bitSobstDob", QStringLiteral("Мария"), "bitHoraIzberi");
    ASSERT_TRUE(control<QWidget>("panelSobstv")->isVisible());
    EXPECT_TRUE(edit("edPrDka")->isEnabled());  // category 3 counts 0.8
    click("bitSobstOK");
    EXPECT_EQ(QApplication::focusWidget(), edit("edDka"));
    typeInto("edDka", QStringLiteral("0"));
    click("bitSobstOK");
    EXPECT_EQ(QApplication::focusWidget(), edit("edDka"));
    EXPECT_EQ(prompter.shown(), QStringList(2, "Въведете дка!"));

    prompter.clearShown();
    typeInto("edDka", QStringLiteral("2"));
    edit("edPrDka")->setFocus();  // leaving "Дка:" gives "Пр. дка:" the same figure
    EXPECT_EQ(edit("edPrDka")->text(), "2");
    edit("edPrDka")->clear();
    click("bitSobstOK");
    EXPECT_EQ(QApplication::focusWidget(), edit("edPrDka"));
    typeInto("edPrDka", QStringLiteral("0"));
    click("bitSobstOK");
    EXPECT_EQ(prompter.shown(), QStringList(2, "Не са въведени приравнени декари!"));
    EXPECT_TRUE(control<QWidget>("panelSobstv")->isVisible());
    EXPECT_FALSE(control<QWidget>("jvdbgridSobstv")->isEnabled());

    typeInto("edPrDka", QStringLiteral("1,6"));
    click("bitSobstOK");
    EXPECT_FALSE(control<QWidget>("panelSobstv")->isVisible());
    EXPECT_TRUE(control<QWidget>("jvdbgridSobstv")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("bitSobstDob"));
    EXPECT_EQ(rows("jvdbgridSobstv"), QStringList{"7501020000 | Мария |  | 2,000 | 1,600"});
    EXPECT_EQ(shown("lblRed"), "2,000");
    EXPECT_EQ(shown("lblRedDiff"), "0,500");
    EXPECT_EQ(shown("lblPrRed"), "1,600");
    EXPECT_EQ(shown("lblPrRedDiff"), "0,600");
    EXPECT_EQ(prompter.shown().size(), 2);
}

// "Собственост" with no row to open asks for an owner first, in both lists;
// saving a plot without a number or without an owner is refused.
TEST_F(PlotEditorCommands, AnOwnerAndANumberAreAskedFor)
{
    ASSERT_TRUE(correct(QStringLiteral("102")));
    click("bitSobstSobstv");
    click("bitIstoriqSobstv");
    EXPECT_FALSE(control<QWidget>("panelSobstv")->isVisible());
    EXPECT_FALSE(control<QWidget>("panelIstoriq")->isVisible());
    click("bitZapis");
    EXPECT_EQ(prompter.shown(),
              (QStringList{"Моля, въведете собственик!", "Моля, въведете собственик!", "Въведете собственик!"}));
    EXPECT_FALSE(editorClosed());
    click("bitOtkaz");
    ASSERT_TRUE(editorClosed());

    // The plot without a number comes first in its locality; no other check
    // is reached before the number's.
    prompter.clearShown();
    ASSERT_TRUE(correct(QString()));
    EXPECT_TRUE(shown("dbtImotNo").isEmpty());
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{"Липсва номер на имот!"});
    EXPECT_FALSE(editorClosed());
    click("bitOtkaz");
    EXPECT_TRUE(editorClosed());
}

// A category is corrected in its dialog or deleted after the question, and
// the plot's areas follow; a category the plot has already is refused, its
// own included.
TEST_F(PlotEditorCommands, CategoriesAreCorrectedAndDeleted)
{
    ASSERT_TRUE(correct(QStringLiteral("101")));
    auto* categories = control<QTableView>("jvdbgridKat");
    categories->setCurrentIndex(categories->model()->index(0, 0));  // category 3
    inCategoryDialog("bitKatKor", [](TFKatdob& d) {
        auto* combo = d.findChild<QComboBox*>(QStringLiteral("cbKat"));
        EXPECT_EQ(combo->currentText(), "3");
        auto* area = d.findChild<QLineEdit*>(QStringLiteral("edPlosht"));
        area->clear();
        typeText(area, QStringLiteral("2,0004"));
        d.findChild<QPushButton*>(QStringLiteral("bitZapis"))->click();
    });
    EXPECT_EQ(rows("jvdbgridKat"), (QStringList{"3 | 2,000 | 1,600 | 0,8", "4 | 1,000 | 1,000 | 1"}));
    EXPECT_EQ(shown("lblPlosht"), "3,000");
    EXPECT_EQ(shown("lblPrPlosht"), "2,600");

    categories->setCurrentIndex(categories->model()->index(1, 0));  // category 4
    inCategoryDialog("bitKatKor", [](TFKatdob& d) { chooseCategory(d, 3); });
    inCategoryDialog("bitKatKor", [](TFKatdob& d) { chooseCategory(d, 4); });
    EXPECT_EQ(prompter.shown(), QStringList(2, "Тази категория е вече добавена!"));
    EXPECT_EQ(rows("jvdbgridKat"), (QStringList{"3 | 2,000 | 1,600 | 0,8", "4 | 1,000 | 1,000 | 1"}));

    prompter.clearShown();
    categories->setCurrentIndex(categories->model()->index(0, 0));
    prompter.answerNo();
    click("bitKatDel");
    EXPECT_EQ(rows("jvdbgridKat").size(), 2);
    prompter.answerYes();
    click("bitKatDel");
    EXPECT_EQ(rows("jvdbgridKat"), QStringList{"4 | 1,000 | 1,000 | 1"});
    EXPECT_EQ(shown("lblPlosht"), "1,000");
    EXPECT_EQ(shown("lblPrPlosht"), "1,000");
    EXPECT_EQ(prompter.defaults(), QList<Prompter::Default>(2, Prompter::Default::No));
    prompter.answerYes();
    click("bitKatDel");
    click("bitKatDel");
    click("bitKatKor");
    EXPECT_EQ(shown("lblPlosht"), "0,000");
    EXPECT_EQ(prompter.shown(), (QStringList{kConfirmDelete, kConfirmDelete, kConfirmDelete, kNoData, kNoData}));

    // Nothing reaches other readers before the plot is saved.
    EXPECT_EQ(countRows(db.path(), "KATEGORIQ where ID_ZEMQ = 100"), 2);
    click("bitOtkaz");
    EXPECT_EQ(countRows(db.path(), "KATEGORIQ where ID_ZEMQ = 100 and VID = 3 and PLOSHT = 1.5"), 1);
}

// The persons of the plot's history: added, given their area and kind,
// changed for another person, deleted; the same person twice is refused.
TEST_F(PlotEditorCommands, TheHistoryCommands)
{
    ASSERT_TRUE(correct(QStringLiteral("101")));
    click("bitIstoriqKor");
    click("bitIstoriqDel");
    EXPECT_EQ(prompter.shown(), QStringList(2, kNoData));
    prompter.clearShown();

    pick("bitIstoriqDob", QStringLiteral("Иван"), "bitIstoriqIzberi");
    ASSERT_TRUE(control<QWidget>("panelIstoriq")->isVisible());
    EXPECT_FALSE(control<QWidget>("jvdbgridIstoriq")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), edit("edIstDka"));
    click("bitIstoriqOK");
    typeInto("edIstDka", QStringLiteral("0,75"));
    click("bitIstoriqOK");
    typeInto("edIstChast", QStringLiteral("1/2"));
    typeInto("edVidSobstv", QStringLiteral("Бивш собственик"));
    click("bitIstoriqOK");
    EXPECT_EQ(prompter.shown(), (QStringList{"Въведете дка!", "Въведете вид собственик!"}));
    EXPECT_FALSE(control<QWidget>("panelIstoriq")->isVisible());
    EXPECT_TRUE(control<QWidget>("jvdbgridIstoriq")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("bitIstoriqDob"));
    EXPECT_EQ(rows("jvdbgridIstoriq"), QStringList{"7501010000 | Иван | Бивш собственик | 1/2 | 0,750"});

    // The same person again, by adding or by changing: refused.
    prompter.clearShown();
    pick("bitIstoriqDob", QStringLiteral("Иван"), "bitIstoriqIzberi");
    EXPECT_EQ(pick("bitIstoriqKor", QStringLiteral("Иван"), "bitIstoriqIzberiEdit"), "Иван");
    EXPECT_EQ(prompter.shown(), QStringList(2, "Този човек вече е добавен!"));
    EXPECT_EQ(rows("jvdbgridIstoriq").size(), 1);
    EXPECT_FALSE(control<QWidget>("panelIstoriq")->isVisible());

    // Another person takes the row over with its figures; "Собственост" opens them.
    pick("bitIstoriqKor", QStringLiteral("Петър"), "bitIstoriqIzberiEdit");
    EXPECT_EQ(rows("jvdbgridIstoriq"), QStringList{"7501030000 | Петър | Бивш собственик | 1/2 | 0,750"});
    click("bitIstoriqSobstv");
    EXPECT_EQ(edit("edIstDka")->text(), "0,75");
    EXPECT_EQ(edit("edIstChast")->text(), "1/2");
    EXPECT_EQ(edit("edVidSobstv")->text(), "Бивш собственик");
    typeInto("edVidSobstv", QStringLiteral("Пълномощник"));
    click("bitIstoriqOK");
    EXPECT_EQ(rows("jvdbgridIstoriq"), QStringList{"7501030000 | Петър | Пълномощник | 1/2 | 0,750"});

    prompter.answerNo();
    click("bitIstoriqDel");
    EXPECT_EQ(rows("jvdbgridIstoriq").size(), 1);
    prompter.answerYes();
    click("bitIstoriqDel");
    EXPECT_TRUE(rows("jvdbgridIstoriq").isEmpty());
    EXPECT_EQ(prompter.defaults(), QList<Prompter::Default>(2, Prompter::Default::No));

    // A person kept with the plot is stored by "Запис"; the history asks for no owner's share.
    pick("bitIstoriqDob", QStringLiteral("Мария"), "bitIstoriqIzberi");
    typeInto("edIstDka", QStringLiteral("0,5"));
    typeInto("edVidSobstv", QStringLiteral("Наследник"));
    click("bitIstoriqOK");
    EXPECT_EQ(countRows(db.path(), "ISTORIQ"), 0);
    pick("bitSobstDob", QStringLiteral("Иван"), "bitHoraIzberi");
    typeInto("edDka", QStringLiteral("2,5"));
    typeInto("edPrDka", QStringLiteral("2,2"));
    click("bitSobstOK");
    click("bitZapis");
    EXPECT_TRUE(editorClosed());
    EXPECT_EQ(countRows(db.path(),
                        "ISTORIQ where ID_ZEMQ = 100 and ID_HORA = 2 and VIDSOBSTV = 'Наследник' and "
                        "PLOSHT = 0.5"),
              1);
}

// "Имот №:" and "Площ:" of "Комасация" take figures only while "Да" is
// chosen; "Не" empties them, and "Запис" stores the choice.
TEST_F(PlotEditorCommands, TheConsolidationIsTypedOnlyWhileChosen)
{
    ASSERT_TRUE(correct(QStringLiteral("104")));
    EXPECT_TRUE(control<QRadioButton>("rbKomasDa")->isChecked());
    EXPECT_TRUE(edit("dbedKomasIN")->isEnabled());
    EXPECT_EQ(edit("dbedKomasIN")->text(), "77");
    EXPECT_EQ(edit("dbedKomasIP")->text(), "3,500");

    control<QRadioButton>("rbKomasNe")->click();
    EXPECT_FALSE(edit("dbedKomasIN")->isEnabled());
    EXPECT_FALSE(edit("dbedKomasIP")->isEnabled());
    EXPECT_TRUE(edit("dbedKomasIN")->text().isEmpty());
    EXPECT_TRUE(edit("dbedKomasIP")->text().isEmpty());
    click("bitZapis");
    ASSERT_TRUE(editorClosed());
    EXPECT_EQ(countRows(db.path(),
                        "ZEMQ where ID_ZEMQ = 103 and KOMASIRAN = 0 and KOMASTEKST = 'Не' and KOMASIN is "
                        "null and KOMASIP is null"),
              1);

    ASSERT_TRUE(correct(QStringLiteral("104")));
    EXPECT_TRUE(control<QRadioButton>("rbKomasNe")->isChecked());
    EXPECT_FALSE(edit("dbedKomasIN")->isEnabled());
    control<QRadioButton>("rbKomasDa")->click();
    EXPECT_TRUE(edit("dbedKomasIN")->isEnabled());
    EXPECT_TRUE(edit("dbedKomasIP")->isEnabled());
    typeInto("dbedKomasIN", QStringLiteral("88"));
    typeInto("dbedKomasIP", QStringLiteral("4,25"));
    click("bitZapis");
    ASSERT_TRUE(editorClosed());
    EXPECT_EQ(countRows(db.path(),
                        "ZEMQ where ID_ZEMQ = 103 and KOMASIRAN = 1 and KOMASTEKST = 'Да' and KOMASIN = "
                        "'88' and KOMASIP = 4.25"),
              1);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

}  // namespace
