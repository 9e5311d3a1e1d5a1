#include "registers/tfimot.h"

#include "common/sort_switch.h"
#include "registers/plot_rules.h"
#include "registers/tfhora.h"
#include "registers/tfkatdob.h"
#include "registers/tfnomerimot.h"
#include "registers/tfzemq.h"
#include "support/qt_printers.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

#include <functional>

namespace {

using testsupport::countRows;
using testsupport::typeText;

// Изгрев, locality Горна, plot 101 (no categories yet), three owners. Category
// 3 counts 0.8, category 5 has no coefficient. Plot 102 has a share of owner
// 3 in a terminated contract.
const QStringList kLand = {
    "update CATEGORY_COEFFICIENT set COEFFICIENT = 0.8 where CATEGORY = 3",
    "delete from CATEGORY_COEFFICIENT where CATEGORY = 5",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS) values (100, 10, '101', 1, 2)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT) values (101, 10, '102', 1, 2, 1, 1)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (101, 4, 1)",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (1, '7501010000', 'Иван', '00134', 'BLG03', "
    "'BLG')",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (2, '7501020000', 'Мария', '00134', "
    "'BLG03', 'BLG')",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (3, '7501030000', 'Петър', '00134', "
    "'BLG03', 'BLG')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL, CHAST) values (3, 101, 1, 1, '1/1')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, SYSTOQNIE) values (1, '1', 'Прекратен')",
    "insert into DOGHORAZEMI (ID_DHZ, ID_ZEMQ, ID_SOBSTV, ID_DOG) values (1, 101, 3, 1)",
};

class TFImotTest : public testsupport::ScreenTest<TFImot> {
protected:
    TFImotTest() { testsupport::runSql(db.path(), kLand); }
    ~TFImotTest() override { delete screen.data(); }

    // The editor on a plot put into edit, as the land browser's "Корекция" does.
    TFImot& open(int plot = 100)
    {
        TDM& dm = module();
        dm.IBTImot.ensureStarted();
        EXPECT_TRUE(dm.TZemq.locate(QStringLiteral("ID_ZEMQ"), plot));
        dm.TZemq.edit();
        TFImot& editor = show(new TFImot(dm, prompter, ownersDirection, QStringLiteral("Изгрев")));
        editor.showShareOwnership(true);
        return editor;
    }
    QString shown(const char* label) const { return control<QLabel>(label)->text(); }
    // A category row typed in the category dialog.
    void addCategory(int vid, const QString& area)
    {
        testsupport::onModalDialog<TFKatdob>([vid, area](TFKatdob& d) {
            auto* combo = d.findChild<QComboBox*>("cbKat");
            combo->setCurrentIndex(combo->findText(QString::number(vid)));
            emit combo->activated(combo->currentIndex());
            if (d.isVisible()) {
                d.findChild<QLineEdit*>("edPlosht")->setText(area);
                d.findChild<QPushButton*>("bitZapis")->click();
            }
        });
        click("bitKatDob");
    }
    // A share of `owner`, picked and given its decares in the panel.
    void addShare(int owner, const QString& dka)
    {
        screen->ownerPicked(OwnerPick::AddShare, owner);
        edit("edDka")->setText(dka);
        edit("edPrDka")->clear();
        click("bitSobstOK");
    }

    SortSwitch ownersDirection;
};

TEST_F(TFImotTest, CategoriesMakeThePlotsAreasWithTheirCoefficients)
{
    open();
    addCategory(2, QStringLiteral("1,2346"));
    addCategory(4, QStringLiteral("0,5"));
    EXPECT_EQ(shown("lblPlosht"), "1,735");
    EXPECT_EQ(shown("lblPrPlosht"), "1,735");
    addCategory(3, QStringLiteral("2,5"));  // 0.8 → 2.000
    addCategory(5, QStringLiteral("1"));    // no coefficient: nothing
    EXPECT_EQ(shown("lblPlosht"), "5,235");
    EXPECT_EQ(shown("lblPrPlosht"), "3,735");
    addCategory(4, QStringLiteral("9"));  // already there
    EXPECT_EQ(prompter.shown(), QStringList{"Тази категория е вече добавена!"});
    EXPECT_EQ(countRows(db.path(), "KATEGORIQ where ID_ZEMQ = 100"), 0);  // nothing committed yet

    // The dialog's own refusals.
    prompter.clearShown();
    testsupport::onModalDialog<TFKatdob>([](TFKatdob& d) {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        d.findChild<QLineEdit*>("edPlosht")->setFocus();  // no category chosen yet
        d.findChild<QPushButton*>("bitZapis")->click();
        d.findChild<QPushButton*>("bitOtkaz")->click();
    });
    click("bitKatDob");
    EXPECT_EQ(prompter.shown(), (QStringList{"Посочете категория!", "Моля, попълнете всички данни!"}));
}

TEST_F(TFImotTest, SharesAreCheckedAgainstThePlotOnSaving)
{
    testsupport::runSql(db.path(), {"insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 1)"});
    open();
    addShare(1, QStringLiteral("0,6"));
    EXPECT_FALSE(edit("edPrDka")->isEnabled());  // every coefficient is 1
    addShare(2, QStringLiteral("0,5"));
    EXPECT_EQ(shown("lblRed"), "1,100");
    EXPECT_EQ(shown("lblRedDiff"), "-0,100");
    click("bitZapis");

    // A new area leaves the equalised area as it was first set.
    const auto correct = [this](int owner, const char* dka, const char* prDka) {
        ASSERT_TRUE(module().TSobstv.locate(QStringLiteral("ID_HORA"), owner));
        click("bitSobstSobstv");
        edit("edDka")->setText(QString::fromUtf8(dka));
        if (prDka)
            edit("edPrDka")->setText(QString::fromUtf8(prDka));
        click("bitSobstOK");
    };
    correct(1, "0,5", nullptr);
    EXPECT_EQ(shown("lblRed"), "1,000");
    EXPECT_EQ(shown("lblPrRed"), "1,100");
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), (QStringList{"Грешка в частите!", "Грешка в частите на приравнената площ!"}));

    prompter.clearShown();
    correct(1, "0,5", "0,5");
    correct(2, "0,4", "0,4");
    click("bitZapis");
    EXPECT_EQ(prompter.shown(),
              (QStringList{"Не е разпределен целия имот!", "Не е разпределна цялата приравнена площ!"}));
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_ZEMQ = 100"), 2);
    EXPECT_EQ(countRows(db.path(), "ZEMQ where ID_ZEMQ = 100 and PLOSHT = 1 and PRPLOSHT = 1 and OBRT = 'Да'"), 1);
}

TEST_F(TFImotTest, TheSaveChecksComeInTheirOrder)
{
    testsupport::runSql(db.path(), {"update ZEMQ set ID_NTP = null, ID_FS = null where ID_ZEMQ = 100"});
    open();
    screen->ownerPicked(OwnerPick::AddShare, 1);  // the share panel stays open
    screen->ownerPicked(OwnerPick::AddShare, 1);
    // While it is open no other row of the owners or the history can start,
    // not even from a picker opened before.
    for (const char* command : {"bitSobstDob", "bitSobstSobstv", "bitIstoriqDob", "bitIstoriqKor"})
        EXPECT_FALSE(control<QPushButton>(command)->isEnabled()) << command;
    screen->ownerPicked(OwnerPick::AddShare, 2);
    screen->ownerPicked(OwnerPick::AddHistory, 2);
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_ZEMQ = 100"), 0);
    EXPECT_EQ(module().TSobstv.rowCount(), 1);
    click("bitZapis");
    // Leaving "Дка:" gives the closed "Пр. дка:" the same figure.
    focusOn("edDka");
    typeText(edit("edDka"), QStringLiteral("1"));
    QTest::keyClick(edit("edDka"), Qt::Key_Tab);
    EXPECT_EQ(edit("edPrDka")->text(), "1");
    click("bitSobstOK");
    click("bitZapis");
    combo("jvdblcNTP")->setCurrentIndex(0);
    emit combo("jvdblcNTP")->activated(0);
    click("bitZapis");
    combo("jvdblcFS")->setCurrentIndex(0);
    emit combo("jvdblcFS")->activated(0);
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), (QStringList{"Този собственик е добавен вече!", "Затворете панела за собственост!",
                                             "Затворете панела за собственост!", "Затворете панела за собственост!",
                                             "Изберете начин на трайно ползване!", "Изберете форма на стопанисване!",
                                             "Липсва категория!"}));
    EXPECT_TRUE(control<QPushButton>("bitSobstDob")->isEnabled());
    EXPECT_FALSE(closed());

    // "Отказ" takes back every row written during the edit.
    click("bitOtkaz");
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_ZEMQ = 100"), 0);
    EXPECT_FALSE(module().IBTImot.isActive() && module().TZemq.isEditing());
}

TEST_F(TFImotTest, AShareInAnyContractKeepsItsOwnerAndArea)
{
    open(101);
    click("bitSobstDel");
    click("bitSobstKor");
    click("bitSobstSobstv");
    EXPECT_EQ(prompter.shown(), QStringList(3, "Има сключен договор!"));
    EXPECT_FALSE(edit("edDka")->isEnabled());
    EXPECT_FALSE(edit("edChast")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("bitSobstOK"));  // "Пр. дка:" is closed too
    click("bitSobstOK");
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_ZEMQ = 101 and ID_HORA = 3"), 1);
}

// Every figure and date typed is stored as typed or refused with its
// message, never stored as 0 or as no date in its place.
TEST_F(TFImotTest, WhatIsTypedIsStoredOrRefusedNeverTurnedIntoZeroOrNoDate)
{
    testsupport::runSql(db.path(), {"insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 1)",
                                    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (1, 100, 1, 1)"});
    open();
    const QString areaRange = QStringLiteral("Полето „Площ“ приема число от 0 до 99 999,999 дка!");
    // A category of an area no rent statement could multiply stays in its dialog.
    testsupport::onModalDialog<TFKatdob>([](TFKatdob& d) {
        auto* combo = d.findChild<QComboBox*>("cbKat");
        combo->setCurrentIndex(combo->findText(QStringLiteral("2")));
        emit combo->activated(combo->currentIndex());
        typeText(d.findChild<QLineEdit*>("edPlosht"), QStringLiteral("99999999999999999999"));
        d.findChild<QPushButton*>("bitZapis")->click();
        EXPECT_TRUE(d.isVisible());
        d.findChild<QPushButton*>("bitOtkaz")->click();
    });
    click("bitKatDob");
    EXPECT_EQ(prompter.shown(), QStringList{areaRange});
    EXPECT_EQ(shown("lblPlosht"), "1,000");

    typeText(edit("dbedPolPl"), QStringLiteral("12.5"));
    EXPECT_EQ(edit("dbedPolPl")->text(), "12,5");
    control<QRadioButton>("rbKomasDa")->click();
    typeText(edit("dbedKomasIP"), QStringLiteral("-100000"));
    typeText(edit("dbedNzData"), QStringLiteral("31.02.2025"));
    click("bitZapis");
    edit("dbedNzData")->clear();
    typeText(edit("dbedNzData"), QStringLiteral("06102024"));
    click("bitZapis");
    EXPECT_EQ(edit("dbedKomasIP")->text(), "100000");
    edit("dbedKomasIP")->clear();
    typeText(edit("dbedKomasIP"), QStringLiteral("7.5"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), (QStringList{areaRange, "Невалидна дата!", areaRange}));
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(),
                        "ZEMQ where ID_ZEMQ = 100 and POLPL = 12.5 and KOMASIP = 7.5 "
                        "and NZDATA = '2024-10-06'"),
              1);
}

// The owners' and the history panels take areas of their domain only: no
// sign, a point for the comma, a figure too large refused with its range.
TEST_F(TFImotTest, TheOwnersPanelsTakeAreasOfTheirDomainOnly)
{
    testsupport::runSql(db.path(), {"insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 20)"});
    open();
    screen->ownerPicked(OwnerPick::AddShare, 1);
    typeText(edit("edDka"), QStringLiteral("-123456"));
    EXPECT_EQ(edit("edDka")->text(), "123456");
    click("bitSobstOK");
    EXPECT_FALSE(control<QWidget>("panelSobstv")->isHidden());
    edit("edDka")->clear();
    typeText(edit("edDka"), QStringLiteral("12.5"));
    edit("edPrDka")->clear();
    click("bitSobstOK");
    EXPECT_TRUE(control<QWidget>("panelSobstv")->isHidden());

    screen->ownerPicked(OwnerPick::AddHistory, 2);
    typeText(edit("edIstDka"), QStringLiteral("100000"));
    typeText(edit("edVidSobstv"), QStringLiteral("бивш"));
    click("bitIstoriqOK");
    EXPECT_FALSE(control<QWidget>("panelIstoriq")->isHidden());
    edit("edIstDka")->clear();
    typeText(edit("edIstDka"), QStringLiteral("7.25"));
    click("bitIstoriqOK");
    EXPECT_TRUE(control<QWidget>("panelIstoriq")->isHidden());
    EXPECT_EQ(prompter.shown(), (QStringList{"Полето „Дка“ приема число от 0 до 99 999,999 дка!",
                                             "Полето „Въведете дка“ приема число от 0 до 99 999,999 дка!"}));
    EXPECT_EQ(module().TSobstv.field(QStringLiteral("REDPLOSHT")).asDouble(), 12.5);
    EXPECT_EQ(module().TIstoriq.field(QStringLiteral("PLOSHT")).asDouble(), 7.25);
}

// Closing asks; Yes stores all that "Запис" stores, after the same checks
// (the consolidation chosen, its number and area too); No gives it all up.
TEST_F(TFImotTest, TheCloseQuestionSavesOrGivesUp)
{
    testsupport::runSql(db.path(), {"update ZEMQ set KOMASIRAN = 1, KOMASTEKST = 'Да' where ID_ZEMQ = 101"});
    open(101);
    control<QRadioButton>("rbKomasNe")->click();
    typeText(edit("dbedPolPl"), QStringLiteral("0,125"));
    prompter.answerYes();
    screen->close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(prompter.shown(), QStringList{"Желаете ли да запишете!"});
    EXPECT_EQ(countRows(db.path(),
                        "ZEMQ where ID_ZEMQ = 101 and KOMASIRAN = 0 and KOMASTEKST = 'Не' and OBRT = 'Да' "
                        "and POLPL = 0.125"),
              1);

    open(101);
    control<QRadioButton>("rbKomasDa")->click();
    typeText(edit("dbedKomasIN"), QStringLiteral("77"));
    typeText(edit("dbedKomasIP"), QStringLiteral("7,5"));
    prompter.answerYes();
    screen->close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(),
                        "ZEMQ where ID_ZEMQ = 101 and KOMASIRAN = 1 and KOMASTEKST = 'Да' "
                        "and KOMASIN = '77' and KOMASIP = 7.5"),
              1);

    prompter.clearShown();
    open(101);
    edit("dbedSvTom")->setText("7");
    prompter.answerNo();
    screen->close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(), "ZEMQ where SVTOM is not null"), 0);
}

TEST_F(TFImotTest, AnOwnerIsPickedInTheOwnersRegister)
{
    open();
    click("bitSobstDob");
    auto* picker = qobject_cast<TFHora*>([] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFHora*>(w) && w->isVisible())
                return w;
        return static_cast<QWidget*>(nullptr);
    }());
    ASSERT_TRUE(picker);
    auto* grid = picker->findChild<QTableView*>("jvdbgridHora");
    grid->setCurrentIndex(grid->model()->index(1, 0));  // Мария
    picker->findChild<QPushButton*>("bitHoraIzberi")->click();
    EXPECT_EQ(module().TSobstv.field("ID_HORA").value().toInt(), 2);
    EXPECT_TRUE(control<QWidget>("panelSobstv")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit("edDka"));
}

// A picker and an owners register with a row open would share THora's
// pending row: no picker opens then. A row the database refuses keeps the
// edit open, and "Отказ" takes back all of it.
TEST_F(TFImotTest, APickerWaitsForTheOwnersRegisterAndARefusedRowKeepsTheEdit)
{
    testsupport::runSql(db.path(), {"create exception no_person 'Лицето не се приема'",
                                    "create trigger refuse for ISTORIQ before insert as begin "
                                    "if (new.ID_HORA = 3) then exception no_person; end"});
    open();
    module().THora.edit();
    click("bitSobstDob");
    module().THora.cancel();
    screen->ownerPicked(OwnerPick::AddHistory, 1);
    edit("edIstDka")->setText("0,5");
    click("bitIstoriqOK");  // no kind of person
    edit("edVidSobstv")->setText("Пълномощник");
    click("bitIstoriqOK");
    screen->ownerPicked(OwnerPick::AddHistory, 3);
    ASSERT_EQ(prompter.shown().size(), 3);
    EXPECT_EQ(prompter.shown()[0], "Запишете или откажете корекцията в другия прозорец!");
    EXPECT_EQ(prompter.shown()[1], "Въведете вид собственик!");
    EXPECT_TRUE(prompter.shown()[2].contains("Лицето не се приема"));
    EXPECT_FALSE(closed());
    EXPECT_EQ(module().TIstoriq.rowCount(), 1);
    click("bitOtkaz");
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(), "ISTORIQ"), 0);
}

// The land browser's "Добавяне": a number the locality has opens that plot,
// a new one makes a plot that "Отказ" in the editor takes back.
TEST(TFImotFromTheBrowser, ANewPlotLeavesNoTraceWhenTheEditIsGivenUp)
{
    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    testsupport::runSql(db.path(), kLand);
    // Number 12 stands in another locality only.
    testsupport::runSql(db.path(), {"insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (11, 1, 'Ях')",
                                    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO) values (200, 11, '12')"});
    TDM dm(db.path());
    SortSwitch direction, owners;
    auto* browser = new TFZemq(dm, prompter, direction, owners);
    browser->show();
    const auto typeNumber = [](const QString& number) {
        QTimer::singleShot(0, [number] {
            auto* d = qobject_cast<TFNomerImot*>(QApplication::activeModalWidget());
            ASSERT_TRUE(d);
            typeText(d->findChild<QLineEdit*>("edNomer"), number);
            d->findChild<QPushButton*>("bitZapis")->click();
            if (d->isVisible())
                d->findChild<QPushButton*>("bitOtkaz")->click();
        });
        return true;
    };
    const auto editor = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<TFImot*>(w); e && e->isVisible())
                return e;
        return static_cast<TFImot*>(nullptr);
    };
    typeNumber(QStringLiteral("1a2"));  // letters are not taken: "12"
    browser->findChild<QPushButton*>("bitImotiDob")->click();
    TFImot* made = editor();
    ASSERT_TRUE(made);
    EXPECT_EQ(dm.TZemq.field("IMOT_NO").value().toString(), "12");
    EXPECT_FALSE(made->findChild<QWidget*>("bitSobstSobstv")->isVisible());
    made->findChild<QPushButton*>("bitOtkaz")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(countRows(db.path(), "ZEMQ"), 3);

    typeNumber(QStringLiteral("101"));
    browser->findChild<QPushButton*>("bitImotiDob")->click();
    EXPECT_EQ(prompter.shown(), QStringList{"Имотът съществува!"});
    ASSERT_TRUE(editor());
    EXPECT_EQ(dm.TZemq.field("ID_ZEMQ").value().toInt(), 100);
    editor()->findChild<QPushButton*>("bitOtkaz")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete browser;
}

TEST(PlotRules, SharesAreComparedAsShown)
{
    // 0.1 + 0.2 is not 0.3 in binary; as shown it is.
    EXPECT_TRUE(plot::allocationRefusal({0.3, 0.3, 0.1 + 0.2, 0.1 + 0.2}).isEmpty());
    EXPECT_TRUE(plot::allocationNotices({0.3, 0.3, 0.1 + 0.2, 0.1 + 0.2}).isEmpty());
    EXPECT_EQ(plot::allocationRefusal({1, 2, 1, 2.001}), "Грешка в частите на приравнената площ!");
    EXPECT_FALSE(plot::equalisedSharesTyped({1, 1}));
    EXPECT_TRUE(plot::equalisedSharesTyped({1, 0}));  // a category without a coefficient
    EXPECT_FALSE(plot::equalisedSharesTyped({}));
}

}  // namespace
