#include "dm/tdm.h"
#include "dataset/binders.h"
#include "common/register_screen.h"
#include "registers/lookup_lists.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

using testsupport::typeText;

const QString kCrops = QStringLiteral("Засята култура");
const QString kEnterName = QStringLiteral("Моля, въведете наименование!");

class LookupListsTest : public ::testing::Test {
protected:
    ~LookupListsTest() override { delete window; }

    void seed(const QStringList& statements) { testsupport::runSql(db.path(), statements); }
    qint64 count(const QString& from) { return testsupport::countRows(db.path(), from); }
    TDM& module()
    {
        if (!dm)
            dm = std::make_unique<TDM>(db.path());
        return *dm;
    }
    RegisterScreen& open(LookupList list)
    {
        auto* w = makeLookupList(list, module(), prompter);
        window = w;
        w->show();
        return *w;
    }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(QLatin1String(name)); }
    QLineEdit* nameEdit() const { return window->findChild<QLineEdit*>(QStringLiteral("dbedNaim")); }
    QTableView* grid() const { return window->findChild<QTableView*>(); }
    QWidget* panel() const { return nameEdit()->parentWidget(); }
    void select(int row) { grid()->setCurrentIndex(grid()->model()->index(row, 0)); }
    QString shown(int row) const { return grid()->model()->index(row, 0).data().toString(); }
    // Closes the window as its close box would; true when it is gone.
    bool closeWindow()
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !window;
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
    QPointer<RegisterScreen> window;
};

TEST_F(LookupListsTest, EachListShowsItsTextsAndItsSharedCursorsRows)
{
    struct Expected {
        LookupList list;
        QString caption, column, label, grid;
        int rows;
    };
    const std::vector<Expected> lists = {
        {LookupList::SownCrops, kCrops, QStringLiteral("Наименование"), QStringLiteral("Наименование:"),
         QStringLiteral("jvdbgridKultura"), 6},
        {LookupList::DocumentKinds, QStringLiteral("Вид документ за собственост"),
         QStringLiteral("Документ за собственост"), QStringLiteral("Вид:"), QStringLiteral("jvdbgridVidDok"), 4},
        {LookupList::ContractTypes, QStringLiteral("Тип договор"), QStringLiteral("Тип договор"),
         QStringLiteral("Наименование:"), QStringLiteral("jvdbgridDogTip"), 2},
        {LookupList::ContractKinds, QStringLiteral("Вид договор"), QStringLiteral("Вид договор"),
         QStringLiteral("Вид:"), QStringLiteral("jvdbgridDogVid"), 3},
    };
    for (const Expected& e : lists) {
        window = makeLookupList(e.list, module(), prompter);
        SCOPED_TRACE(e.caption.toStdString());
        EXPECT_EQ(window->windowTitle(), e.caption);
        EXPECT_EQ(window->findChild<QGroupBox*>()->title(), e.caption);
        ASSERT_TRUE(window->findChild<QTableView*>(e.grid));
        EXPECT_EQ(grid()->model()->columnCount(), 1);
        EXPECT_EQ(grid()->model()->headerData(0, Qt::Horizontal).toString(), e.column);
        EXPECT_EQ(grid()->model()->rowCount(), e.rows);
        EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("labNaim"))->text(), e.label);
        EXPECT_TRUE(panel()->isHidden());
        const std::vector<std::pair<const char*, QString>> captions = {
            {"bitDob", QStringLiteral("Добавяне")},  {"bitKor", QStringLiteral("Корекция")},
            {"bitDel", QStringLiteral("Изтриване")}, {"bitExit", QStringLiteral("Изход")},
            {"bitZapis", QStringLiteral("Запис")},   {"bitOtkaz", QStringLiteral("Отказ")}};
        for (const auto& [name, caption] : captions)
            EXPECT_EQ(button(name)->text(), caption) << name;
        delete window;
    }
    EXPECT_EQ(module().TKULT.rowCount(), 6);  // the shared cursors stay open for the editors
    EXPECT_TRUE(module().TDogVid.isOpen());
}

TEST_F(LookupListsTest, ACropUsedByAPlotCannotBeDeletedUntilThePlotUsesAnother)
{
    seed({QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_KULT, ID_VDS) values (1, 1, '11', 1, 3)")});
    open(LookupList::SownCrops);
    ASSERT_EQ(shown(0), QStringLiteral("Пшеница"));
    button("bitDel")->click();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Използва се в имот!")});

    // The plot editor gives the plot another crop, through the plots' transaction.
    TDM& dm = module();
    ASSERT_TRUE(dm.TImotiDog.locate(QStringLiteral("ID_ZEMQ"), 1));
    dm.TImotiDog.edit();
    dm.TImotiDog.field("ID_KULT").setValue(2);
    dm.TImotiDog.post();
    dm.IBTImot.commit();

    prompter.clearShown();
    prompter.answerYes();
    button("bitDel")->click();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Моля, потвърдете изтриването!")});
    EXPECT_EQ(count(QStringLiteral("KULTURA where ID_KULT = 1")), 0);
    EXPECT_EQ(grid()->model()->rowCount(), 5);
    select(0);  // Ечемик now, which the plot uses
    button("bitDel")->click();
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Използва се в имот!"));
    delete window;

    // The document kind the plot holds is guarded the same way; the others are not.
    open(LookupList::DocumentKinds);
    select(2);
    button("bitDel")->click();
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Използва се в имот!"));
    select(1);
    prompter.answerNo();
    button("bitDel")->click();
    EXPECT_EQ(count(QStringLiteral("VIDDOKSOBSTV")), 4);
}

TEST_F(LookupListsTest, ATypeOrKindUsedByAnyContractIsKept)
{
    seed(
        {QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER, ID_DT, ID_VIDDOG, SYSTOQNIE) "
                        "values (1, '7', 1, 2, 'Прекратен')")});
    open(LookupList::ContractTypes);
    button("bitDel")->click();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Използва се в договор!")});
    delete window;

    open(LookupList::ContractKinds);
    select(1);
    button("bitDel")->click();
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Използва се в договор!"));
    select(0);
    prompter.answerYes();
    button("bitDel")->click();
    EXPECT_EQ(count(QStringLiteral("VID_DOG")), 2);
    EXPECT_EQ(shown(0), QStringLiteral("Анекс"));
}

TEST_F(LookupListsTest, SaveWantsANameWhereBlanksAloneAreNoneAndLongNamesAreCut)
{
    open(LookupList::ContractKinds);
    button("bitDob")->click();
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_FALSE(grid()->isEnabled());
    EXPECT_EQ(window->focusWidget(), nameEdit());
    button("bitZapis")->click();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Моля, въведете вид на договора!")});
    EXPECT_FALSE(panel()->isHidden());
    // Blanks alone would be a name nobody sees in a drop-down.
    QTest::keyClicks(nameEdit(), QStringLiteral("   "));
    button("bitZapis")->click();
    EXPECT_EQ(prompter.shown().size(), 2);
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("VID_DOG where NAIM_VD = '   '")), 0);
    typeText(nameEdit(), QStringLiteral("Анекс 2"));
    button("bitZapis")->click();
    EXPECT_TRUE(panel()->isHidden());
    EXPECT_TRUE(grid()->isEnabled());
    EXPECT_EQ(count(QStringLiteral("VID_DOG where NAIM_VD = '   Анекс 2'")), 1);
    EXPECT_EQ(grid()->currentIndex().row(), 3);  // the new row is selected
    delete window;

    open(LookupList::SownCrops);
    button("bitDob")->click();
    typeText(nameEdit(), QString(35, QChar(u'ж')));
    button("bitZapis")->click();
    EXPECT_EQ(count(QStringLiteral("KULTURA where NAIM_KULT = '") + QString(30, QChar(u'ж')) + QStringLiteral("'")), 1);

    // Correct a name; "Отказ" on another leaves it as it was.
    select(1);
    button("bitKor")->click();
    EXPECT_EQ(nameEdit()->text(), QStringLiteral("Ечемик"));
    nameEdit()->selectAll();
    typeText(nameEdit(), QStringLiteral("Пивоварен ечемик"));
    button("bitZapis")->click();
    EXPECT_EQ(count(QStringLiteral("KULTURA where ID_KULT = 2 and NAIM_KULT = 'Пивоварен ечемик'")), 1);
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    select(2);
    button("bitKor")->click();
    typeText(nameEdit(), QStringLiteral("зърно"));
    button("bitOtkaz")->click();
    EXPECT_EQ(count(QStringLiteral("KULTURA where NAIM_KULT = 'Царевица'")), 1);
    EXPECT_EQ(shown(2), QStringLiteral("Царевица"));
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    EXPECT_FALSE(module().IBTKult.isActive() && module().TKULT.isEditing());
    EXPECT_EQ(prompter.shown().size(), 2);
}

TEST_F(LookupListsTest, AnEditorsDropDownOffersTheSavedNameAtOnce)
{
    QComboBox crops;
    new dataset::LookupComboBinder(&crops, module().TKULT, QStringLiteral("ID_KULT"), QStringLiteral("NAIM_KULT"));
    ASSERT_EQ(crops.count(), 6);
    open(LookupList::SownCrops);
    button("bitDob")->click();
    typeText(nameEdit(), QStringLiteral("Овес"));
    button("bitZapis")->click();
    ASSERT_EQ(crops.count(), 7);
    EXPECT_EQ(crops.itemText(6), QStringLiteral("Овес"));
}

TEST_F(LookupListsTest, ClosingWithThePanelOpenAsksFirst)
{
    // Browsing: no question.
    open(LookupList::ContractTypes);
    EXPECT_TRUE(closeWindow());

    // Asked before closing: Yes with no name keeps the window; with a name it saves and closes.
    open(LookupList::ContractTypes);
    button("bitDob")->click();
    prompter.answerYes();
    button("bitExit")->click();
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Желаете ли да запишете!"), kEnterName}));
    ASSERT_TRUE(window);
    EXPECT_FALSE(panel()->isHidden());
    typeText(nameEdit(), QStringLiteral("Съвместна обработка"));
    prompter.answerYes();
    EXPECT_TRUE(closeWindow());
    EXPECT_EQ(count(QStringLiteral("DOGTIP where TIP = 'Съвместна обработка'")), 1);

    // No discards the change and closes.
    open(LookupList::ContractTypes);
    button("bitKor")->click();
    typeText(nameEdit(), QStringLiteral(" и още"));
    prompter.answerNo();
    EXPECT_TRUE(closeWindow());
    EXPECT_EQ(count(QStringLiteral("DOGTIP where TIP = 'Аренда'")), 1);
    EXPECT_EQ(module().TDogTip.state(), dataset::State::Browse);

    // Asked while closing: Yes with no name shows the message and closes all
    // the same, leaving nothing pending in the shared cursor.
    prompter.clearShown();
    open(LookupList::DocumentKinds);
    button("bitDob")->click();
    prompter.answerYes();
    EXPECT_TRUE(closeWindow());
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Желаете ли да запишете!"), kEnterName}));
    EXPECT_EQ(count(QStringLiteral("VIDDOKSOBSTV")), 4);
    EXPECT_EQ(module().TVDS.state(), dataset::State::Browse);
    EXPECT_EQ(module().TVDS.rowCount(), 4);
}

}  // namespace
