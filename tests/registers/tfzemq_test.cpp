#include "registers/tfzemq.h"

#include "app/screen_registry.h"
#include "app/startup.h"
#include "app/tfmain.h"
#include "common/list_grid.h"
#include "common/sort_switch.h"
#include "registers/tfzemldob.h"
#include "support/qt_printers.h"
#include "support/screen_test.h"
#include "support/sql.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

using testsupport::countRows;

const QString kConfirmDelete = QStringLiteral("Моля, потвърдете изтриването!");

// Two areas of Благоевград (Изгрев, Бело поле) and one of Банско; Изгрев has
// the localities Горна (plots 101, 102) and Долна (none). Plot 101 has two
// categories, a share and a history person; plot 102 is in a terminated contract.
const QStringList kLand = {
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (1, '00134', 'BLG03', 'BLG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (2, '03664', 'BLG03', 'BLG')",
    "insert into ZEMLISHTE (ID_ZEML, EKATTE, ID_OBSHT, ID_OBL) values (3, '02676', 'BLG01', 'BLG')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (10, 1, 'Горна')",
    "insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (11, 1, 'Долна')",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, PLOSHT, PRPLOSHT) values (100, 10, '101', 1, 2.5, 2.5)",
    "insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, PLOSHT, PRPLOSHT) values (101, 10, '102', 1, 1, 1)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 3, 1.5)",
    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (100, 4, 1)",
    "insert into HORA (ID_HORA, EGN, IME, EKATTE, ID_OBSHT, ID_OBL) values (1, '7501010000', 'Иван', '00134', 'BLG03', "
    "'BLG')",
    "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, CHAST) values (1, 100, 2.5, '1/1')",
    "insert into ISTORIQ (ID_HORA, ID_ZEMQ, PLOSHT, CHAST) values (1, 100, 2.5, '1/1')",
    "insert into \"DOG DANNI\" (ID_DOG, NOMER, SYSTOQNIE) values (1, '1', 'Прекратен')",
    "insert into DOGHORAZEMI (ID_DHZ, ID_ZEMQ, ID_DOG) values (1, 101, 1)",
};

class TFZemqTest : public testsupport::ScreenTest<TFZemq> {
protected:
    TFZemqTest() { testsupport::runSql(db.path(), kLand); }
    ~TFZemqTest() override { delete screen.data(); }

    TFZemq& open() { return show(new TFZemq(module(), prompter, direction, ownersDirection)); }
    QTableView* grid(const char* name) const { return control<QTableView>(name); }
    ListGrid* list(const char* name) const { return grid(name)->findChild<ListGrid*>(); }
    // The column of a grid's rows, top to bottom, as shown.
    QStringList column(const char* name, int c = 0) const
    {
        const QAbstractItemModel* m = grid(name)->model();
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, c).data().toString();
        return out;
    }
    QStringList areas() const { return column("jvdbgridZemlishta", 3); }
    QStringList localities() const { return column("jvdbgridMestnosti"); }
    QStringList plots() const { return column("jvdbgridImoti"); }
    void selectArea(const QString& name)
    {
        const int row = areas().indexOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        grid("jvdbgridZemlishta")->setCurrentIndex(grid("jvdbgridZemlishta")->model()->index(row, 0));
    }
    void selectLocality(int row)
    {
        grid("jvdbgridMestnosti")->setCurrentIndex(grid("jvdbgridMestnosti")->model()->index(row, 0));
    }
    // Runs `act` on the area dialog once it is up; `act` must end it.
    void onDialog(std::function<void(TFZemldob&)> act) { testsupport::onModalDialog<TFZemldob>(std::move(act)); }
    static void pick(TFZemldob& d, const char* picker, const QString& item)
    {
        auto* c = d.findChild<QComboBox*>(QLatin1String(picker));
        const int index = c->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    static void press(TFZemldob& d, const char* button) { d.findChild<QPushButton*>(QLatin1String(button))->click(); }

    SortSwitch direction, ownersDirection;
};

TEST_F(TFZemqTest, TheThreeLevelsFollowTheSelectedAreaAndLocality)
{
    open();
    EXPECT_EQ(areas(), (QStringList{"Банско", "Бело поле", "Изгрев"}));
    selectArea("Изгрев");
    EXPECT_EQ(localities(), (QStringList{"Горна", "Долна"}));
    EXPECT_EQ(plots(), (QStringList{"101", "102"}));
    EXPECT_EQ(column("jvdbgridImoti", 2).first(), "2,500");
    EXPECT_EQ(module().TZemlishte.field("ID_ZEML").value().toInt(), 1);
    selectLocality(1);
    EXPECT_EQ(module().TMestnost.field("ID_MESTN").value().toInt(), 11);
    EXPECT_TRUE(plots().isEmpty());
    selectArea("Бело поле");
    EXPECT_TRUE(localities().isEmpty());
    EXPECT_TRUE(plots().isEmpty());
    EXPECT_EQ(module().TZemlishte.field("ID_ZEML").value().toInt(), 2);
}

TEST_F(TFZemqTest, BothGridsShareOneSortSwitchAndTheAreaSortDropsTheFilter)
{
    open();
    edit("edObshtina")->setText("Благ");
    click("butShow");
    EXPECT_EQ(areas().size(), 2);
    emit grid("jvdbgridZemlishta")->horizontalHeader()->sectionDoubleClicked(3);  // Землище
    EXPECT_EQ(list("jvdbgridZemlishta")->lines().last(), " order by NAIM_NM ASC");
    EXPECT_EQ(areas(), (QStringList{"Банско", "Бело поле", "Изгрев"}));  // every area again
    EXPECT_EQ(edit("edObshtina")->text(), "Благ");
    selectArea("Изгрев");
    emit grid("jvdbgridMestnosti")->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(list("jvdbgridMestnosti")->lines().last(), "order by NAIM_MESTN DESC");
    EXPECT_EQ(localities(), (QStringList{"Долна", "Горна"}));
    emit grid("jvdbgridZemlishta")->horizontalHeader()->sectionDoubleClicked(0);  // ЕКАТТЕ
    EXPECT_EQ(column("jvdbgridZemlishta", 0), (QStringList{"00134", "02676", "03664"}));
    emit grid("jvdbgridZemlishta")->horizontalHeader()->sectionDoubleClicked(0);
    EXPECT_EQ(column("jvdbgridZemlishta", 0), (QStringList{"03664", "02676", "00134"}));
}

TEST_F(TFZemqTest, PrefixFiltersAreJoinedByOneAndAndTakeAnyText)
{
    testsupport::runSql(db.path(),
                        {"insert into OBSHTINA (ID_OBSHT, ID_OBL, NAIM_OBSHT) values ('BLG99', 'BLG', 'Д''Арк')",
                         "insert into NAS_MQSTO (EKATTE, ID_OBSHT, NAIM_NM) values ('99999', 'BLG99', 'Село')",
                         "insert into ZEMLISHTE (EKATTE, ID_OBSHT, ID_OBL) values ('99999', 'BLG99', 'BLG')"});
    open();
    edit("edOblast")->setText("благ");
    edit("edObshtina")->setText("бан");
    click("butShow");
    const QStringList both = list("jvdbgridZemlishta")->lines();
    EXPECT_EQ(both.count(" and "), 1);
    EXPECT_EQ(both.count(" WHERE "), 1);
    EXPECT_EQ(areas(), QStringList{"Банско"});

    edit("edOblast")->clear();
    edit("edObshtina")->setText("Д'а");
    QTest::keyClick(edit("edObshtina"), Qt::Key_Return);  // Enter filters too
    EXPECT_FALSE(list("jvdbgridZemlishta")->lines().contains(" and "));
    EXPECT_EQ(areas(), QStringList{"Село"});

    for (const QString& odd : {QString("%"), QString(1000, QChar(u'я')), QString("') or 1=1 --")}) {
        edit("edObshtina")->setText(odd);
        click("butShow");
        EXPECT_TRUE(areas().isEmpty()) << odd.left(20).toStdString();
        EXPECT_TRUE(localities().isEmpty());
        EXPECT_TRUE(plots().isEmpty());
    }
    EXPECT_TRUE(prompter.shown().isEmpty());
    // With no area listed, nothing acts on the area the shared cursor held last.
    click("bitZemlKor");
    click("bitZemlDel");
    click("bitMestnostiDob");
    EXPECT_EQ(prompter.shown(), QStringList(3, "Няма данни!"));
    EXPECT_EQ(countRows(db.path(), "ZEMLISHTE"), 4);
    click("butClear");
    EXPECT_EQ(areas().size(), 4);
    EXPECT_TRUE(edit("edObshtina")->text().isEmpty());
    selectArea("Изгрев");
    EXPECT_FALSE(plots().isEmpty());
}

TEST_F(TFZemqTest, AnAreaIsAddedOnceForItsSettlementAndSelected)
{
    open();
    onDialog([](TFZemldob& d) {
        press(d, "bitZapis");  // nothing chosen
        pick(d, "jvdblcOblast", "Благоевград");
        pick(d, "jvdblcObshtina", "Благоевград");
        pick(d, "jvdblcGrad", "Изгрев");  // has an area
        press(d, "bitZapis");
        pick(d, "jvdblcGrad", "Бистрица");
        pick(d, "jvdblcObshtina", "Банско");  // empties the settlement
        EXPECT_EQ(d.findChild<QComboBox*>("jvdblcGrad")->currentIndex(), -1);
        pick(d, "jvdblcObshtina", "Благоевград");
        pick(d, "jvdblcGrad", "Бистрица");
        press(d, "bitZapis");
    });
    click("bitZemlDob");
    EXPECT_EQ(prompter.shown(), (QStringList{"Няма дани!", "Има такова землище!"}));
    EXPECT_EQ(countRows(db.path(), "ZEMLISHTE where EKATTE = '04217' and ID_OBSHT = 'BLG03' and ID_OBL = 'BLG'"), 1);
    EXPECT_EQ(list("jvdbgridZemlishta")->value("NAIM_NM").toString(), "Бистрица");
    EXPECT_EQ(module().TZemlishte.field("EKATTE").value().toString(), "04217");

    prompter.clearShown();
    onDialog([](TFZemldob& d) {
        pick(d, "jvdblcOblast", "Благоевград");
        pick(d, "jvdblcObshtina", "Банско");
        pick(d, "jvdblcGrad", "Банско");
        press(d, "bitZapis");
        press(d, "bitOtkaz");
    });
    click("bitZemlDob");
    EXPECT_EQ(prompter.shown(), QStringList{"Има такова землище!"});
    EXPECT_EQ(countRows(db.path(), "ZEMLISHTE"), 4);
    EXPECT_FALSE(module().TZemlishte.isEditing());
}

TEST_F(TFZemqTest, AnEditedAreaShowsItsPlaceAndKeepingItIsRefused)
{
    open();
    selectArea("Бело поле");
    onDialog([](TFZemldob& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("jvdblcObshtina")->currentText(), "Благоевград");
        EXPECT_EQ(d.findChild<QComboBox*>("jvdblcGrad")->currentText(), "Бело поле");
        press(d, "bitZapis");
        pick(d, "jvdblcGrad", "Бучино");
        press(d, "bitZapis");
    });
    click("bitZemlKor");
    EXPECT_EQ(prompter.shown(), QStringList{"Има такова землище!"});
    EXPECT_EQ(countRows(db.path(), "ZEMLISHTE where ID_ZEML = 2 and EKATTE = '07168'"), 1);
    EXPECT_EQ(list("jvdbgridZemlishta")->value("ID_ZEML").toInt(), 2);

    // "Отказ" on a correction keeps the area selected.
    onDialog([](TFZemldob& d) { press(d, "bitOtkaz"); });
    click("bitZemlKor");
    EXPECT_EQ(list("jvdbgridZemlishta")->value("ID_ZEML").toInt(), 2);
}

TEST_F(TFZemqTest, AreasAndLocalitiesInUseAreNotDeleted)
{
    open();
    selectArea("Изгрев");
    click("bitZemlDel");
    click("bitMestnostiDel");  // Горна has plots
    EXPECT_EQ(prompter.shown(),
              (QStringList{"Има местности към това землище!", "Има въведени имоти към тази местност!"}));
    selectLocality(1);
    prompter.answerYes();
    click("bitMestnostiDel");
    EXPECT_EQ(countRows(db.path(), "MESTNOST"), 1);
    EXPECT_EQ(localities(), QStringList{"Горна"});

    selectArea("Бело поле");
    prompter.answerYes();
    click("bitZemlDel");
    EXPECT_EQ(countRows(db.path(), "ZEMLISHTE where ID_ZEML = 2"), 0);
    EXPECT_EQ(areas(), (QStringList{"Банско", "Изгрев"}));
}

TEST_F(TFZemqTest, LocalityNamesAreAskedAndCutToTheColumn)
{
    open();
    selectArea("Банско");
    prompter.answerInput(std::nullopt);
    click("bitMestnostiDob");
    prompter.answerInput(QString());
    click("bitMestnostiDob");
    click("bitMestnostiKor");  // none to correct
    click("bitImotiDob");      // no locality to put a plot in
    EXPECT_EQ(prompter.shown(), (QStringList{"Добавете нова местност", "Добавете нова местност", "Няма данни!",
                                             "Моля, изберете местност!"}));
    EXPECT_EQ(countRows(db.path(), "MESTNOST where ID_ZEML = 3"), 0);

    prompter.answerInput(QString(45, QChar(u'м')));
    click("bitMestnostiDob");
    EXPECT_EQ(localities(), QStringList{QString(40, QChar(u'м'))});
    prompter.answerInput(QStringLiteral("Реката"));
    click("bitMestnostiKor");
    EXPECT_EQ(countRows(db.path(), "MESTNOST where ID_ZEML = 3 and NAIM_MESTN = 'Реката'"), 1);
    EXPECT_EQ(localities(), QStringList{"Реката"});
    EXPECT_EQ(module().TMestnost.field("NAIM_MESTN").value().toString(), "Реката");
}

// A coefficient changed while the land browser was open counts in the plot
// editor opened after it.
TEST_F(TFZemqTest, ThePlotEditorWorksWithTheCoefficientsCommittedSinceTheListWasRead)
{
    open();
    selectArea(QStringLiteral("Изгрев"));
    selectLocality(0);
    ASSERT_EQ(plots().value(0), QStringLiteral("101"));
    testsupport::runSql(db.path(), {"update CATEGORY_COEFFICIENT set COEFFICIENT = 0.8 where CATEGORY = 3"});
    grid("jvdbgridImoti")->selectRow(0);
    click("bitImotiKor");
    QWidget* editor = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TFImot") && w->isVisible())
            editor = w;
    for (QMdiSubWindow* w : screen->findChildren<QMdiSubWindow*>())
        if (w->widget() && w->widget()->objectName() == QLatin1String("TFImot"))
            editor = w->widget();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->findChild<QLabel*>(QStringLiteral("lblPrPlosht"))->text(),
              QStringLiteral("2,200"));  // 1,5 × 0,8 + 1
    delete editor;
}

TEST_F(TFZemqTest, APlotInAnyContractStaysAndAFreeOneGoesWithItsCategoriesAndShares)
{
    // Plot 103 the database refuses to delete.
    testsupport::runSql(db.path(), {"insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP) values (102, 10, '103', 1)",
                                    "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (102, 2, 1)",
                                    "create exception no_delete 'no'",
                                    "create trigger refuse for ZEMQ before delete as begin "
                                    "if (old.IMOT_NO = '103') then exception no_delete; end"});
    open();
    selectArea("Изгрев");
    grid("jvdbgridImoti")->setCurrentIndex(grid("jvdbgridImoti")->model()->index(1, 0));
    click("bitImotiDel");  // 102, in a terminated contract
    EXPECT_EQ(prompter.shown(), QStringList{"За този имот има договор!"});

    // The database refusing the delete rolls it back without a word.
    grid("jvdbgridImoti")->setCurrentIndex(grid("jvdbgridImoti")->model()->index(2, 0));
    prompter.answerYes();
    click("bitImotiDel");
    EXPECT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(countRows(db.path(), "KATEGORIQ where ID_ZEMQ = 102"), 1);
    EXPECT_EQ(plots(), (QStringList{"101", "102", "103"}));

    grid("jvdbgridImoti")->setCurrentIndex(grid("jvdbgridImoti")->model()->index(0, 0));
    prompter.answerYes();
    click("bitImotiDel");
    EXPECT_EQ(countRows(db.path(), "ZEMQ where ID_ZEMQ = 100"), 0);
    EXPECT_EQ(countRows(db.path(), "KATEGORIQ where ID_ZEMQ = 100"), 0);
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_ZEMQ = 100"), 0);
    EXPECT_EQ(countRows(db.path(), "ISTORIQ where ID_ZEMQ = 100"), 1);
    EXPECT_EQ(plots(), (QStringList{"102", "103"}));
    EXPECT_TRUE(module().TKategoriq.isOpen());
    EXPECT_EQ(prompter.shown().last(), kConfirmDelete);
}

TEST(TFZemqMenu, CtrlZOpensOneBrowserThatEscCloses)
{
    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    testsupport::runSql(db.path(), kLand);
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    const auto registered = [&] { return qobject_cast<TFZemq*>(program.registry->instance(QStringLiteral("TFZemq"))); };
    program.main->runCommand(QStringLiteral("mZemq"));
    TFZemq* browser = registered();
    ASSERT_TRUE(browser);
    program.main->runCommand(QStringLiteral("mZemq"));
    EXPECT_EQ(registered(), browser);
    EXPECT_EQ(browser->windowTitle(), "Земя");
    // A fixed border: no maximise button, and the frame keeps its size.
    auto* frame = qobject_cast<QMdiSubWindow*>(browser->parentWidget());
    ASSERT_TRUE(frame);
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_TRUE(QRect(QPoint(), frame->size()).contains(browser->geometry()));
    browser->findChild<QTableView*>(QStringLiteral("jvdbgridZemlishta"))->setFocus();
    QTest::keyClick(browser->findChild<QTableView*>(QStringLiteral("jvdbgridZemlishta")), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(registered(), nullptr);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

}  // namespace
