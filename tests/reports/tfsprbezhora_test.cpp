#include "reports/tfsprbezhora.h"

#include "reports/property_reports_test.h"
#include "support/typing.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>

namespace {

using propertyreports::ReportScreenTest;
using testsupport::typeText;

class TFSprbezhoraTest : public ReportScreenTest<TFSprbezhora> {
protected:
    TFSprbezhora& open() { return show(new TFSprbezhora(module(), prompter, outputs, direction)); }
    QTableView* list() const { return grid("jvdbgridSprImotiSobstv"); }
    QStringList plots() const { return column(list(), 2); }
    void select(int r) { list()->setCurrentIndex(list()->model()->index(r, 0)); }
    QString shown(const char* name) const
    {
        QLineEdit* e = screen->propertyView()->findChild<QLineEdit*>(QLatin1String(name));
        return e ? e->text() : QStringLiteral("<missing>");
    }
    QString line(const char* name) const
    {
        QLabel* l = screen->propertyView()->findChild<QLabel*>(QLatin1String(name));
        return l ? l->text() : QStringLiteral("<missing>");
    }
};

TEST_F(TFSprbezhoraTest, ListsEveryPlotWithItsContractFlagAndSumsInTheDefaultOrder)
{
    TFSprbezhora& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Справка на имотите по землища"));
    EXPECT_EQ(titles(list()),
              (QStringList{"Землище", "Местност", "Имот №", "Имот № 2", "Н-н на тр. ползване", "Форма на стопанисване",
                           "Площ", "Приравнена площ", "Поливна площ", "Засята култура", "Обраб.", "Комасиран",
                           "Комасиран: Имот №", "Комасиран: Площ", "Договор"}));
    EXPECT_EQ(plots(), (QStringList{"201", "101", "102", "301", "302"}));
    EXPECT_EQ(row(list(), 1), (QStringList{"Благоевград", "Къра", "101", "00101.1", "Нива", "Аренда", "10,000 дка",
                                           "8,000 дка", "1,250 дка", "Пшеница", "Да", "Да", "55", "2,500 дка", "да"}));
    // A share bound to a contract marks the plot, a terminated one too; 102 has none.
    EXPECT_EQ(column(list(), 14), (QStringList{"да", "да", "", "да", ""}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("26,000 дка"));
    EXPECT_EQ(label("labSumKP"), QStringLiteral("2,500 дка"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFSprbezhora"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// Lower-case prefixes match, filled boxes all apply, the sums follow the
// filter, and "Изчисти" brings every plot back in the default order.
TEST_F(TFSprbezhoraTest, PrefixFiltersJoinWithAndAndClearRestoresTheDefaultOrder)
{
    open();
    edit("edFilterZeml")->setFocus();
    typeText(edit("edFilterZeml"), QStringLiteral("благ"));
    QTest::keyClick(edit("edFilterZeml"), Qt::Key_Return);
    EXPECT_EQ(plots(), (QStringList{"201", "101", "102"}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("20,000 дка"));
    typeText(edit("edFilterMestn"), QStringLiteral("къ"));
    click("butFilterShow");
    EXPECT_EQ(plots(), (QStringList{"101", "102"}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("14,000 дка"));
    typeText(edit("edFilterFS"), QStringLiteral("соб"));
    click("butFilterShow");
    EXPECT_EQ(plots(), (QStringList{"102"}));
    EXPECT_EQ(label("labSumKP"), QStringLiteral("0,000 дка"));

    // The locality sorts with its own tie-break, ascending first; the filter stays.
    edit("edFilterFS")->clear();
    edit("edFilterMestn")->clear();
    click("butFilterShow");
    clickTitle(list(), 1);
    EXPECT_EQ(column(list(), 1), (QStringList{"Баира", "Къра", "Къра"}));
    clickTitle(list(), 2);  // the number, descending
    EXPECT_EQ(plots(), (QStringList{"201", "102", "101"}));
    click("butFilterClear");
    EXPECT_EQ(plots(), (QStringList{"201", "101", "102", "301", "302"}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("26,000 дка"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// The list opens in the order its select sorts to (a click on the first
// title, ascending, reads that select): two localities of one name in one
// area mix their plots by number, and a plot's every column comes alike.
TEST_F(TFSprbezhoraTest, TheListOpensInTheOrderOfItsSelect)
{
    testsupport::runSql(
        db.path(),
        {QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (4, 1, 'Къра')"),
         QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS, PLOSHT, PRPLOSHT, KOMASIP) "
                        "values (6, 4, '1015', 1, 1, 3, 3, 1.5)"),
         QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, PLOSHT, PRPLOSHT) "
                        "values (7, 4, '099', 2, 2, 2)")});
    open();
    EXPECT_EQ(plots(), (QStringList{"201", "099", "101", "1015", "102", "301", "302"}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("31,000 дка"));
    EXPECT_EQ(label("labSumKP"), QStringLiteral("4,000 дка"));
    std::vector<QStringList> opened;
    for (int r = 0; r < list()->model()->rowCount(); ++r)
        opened.push_back(row(list(), r));
    clickTitle(list(), 0);
    ASSERT_EQ(list()->model()->rowCount(), int(opened.size()));
    for (int r = 0; r < int(opened.size()); ++r)
        EXPECT_EQ(row(list(), r), opened[size_t(r)]) << r;
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("31,000 дка"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// The view shows the list's row and follows it; a second press opens no
// second view; closing the list closes the view.
TEST_F(TFSprbezhoraTest, PropertyViewFollowsTheListRowAndCannotChangeAnything)
{
    QMdiArea area;
    area.resize(1400, 900);
    area.show();
    TFSprbezhora* s = new TFSprbezhora(module(), prompter, outputs, direction);
    screen = s;
    area.addSubWindow(s)->setAttribute(Qt::WA_DeleteOnClose);
    s->show();
    select(1);  // 101
    click("btnDosieImot");
    ASSERT_TRUE(s->propertyView());
    TFImotSpr* view = s->propertyView();
    click("btnDosieImot");
    EXPECT_EQ(area.subWindowList().size(), 2);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Имот"));

    EXPECT_EQ(shown("dbtImotNo"), QStringLiteral("101"));
    EXPECT_EQ(shown("lblMestnost"), QStringLiteral("Къра"));
    EXPECT_EQ(shown("jvdblcNTP"), QStringLiteral("Нива"));
    EXPECT_EQ(shown("jvdblcKult"), QStringLiteral("Пшеница"));
    EXPECT_EQ(shown("dbedPolPl"), QStringLiteral("1,250"));
    EXPECT_EQ(shown("dbedSvAktNo"), QStringLiteral("А-7"));
    EXPECT_EQ(shown("dbedNzData"), QStringLiteral("15.03.2020"));
    EXPECT_EQ(shown("dbedKomasIP"), QStringLiteral("2,500"));
    EXPECT_TRUE(view->findChild<QRadioButton*>(QStringLiteral("rbKomasDa"))->isChecked());
    QTableView* owners = view->findChild<QTableView*>(QStringLiteral("jvdbgridSobstv"));
    QTableView* categories = view->findChild<QTableView*>(QStringLiteral("jvdbgridKat"));
    QTableView* history = view->findChild<QTableView*>(QStringLiteral("jvdbgridIstoriq"));
    EXPECT_EQ(titles(owners), (QStringList{"ЕГН/ЛНЧ/ЕИН", "Име/Наименование", "Част", "Площ", "Пр. площ", "Дог. №"}));
    EXPECT_EQ(column(owners, 1), (QStringList{"Иван Петров", "Мария Иванова"}));
    EXPECT_EQ(column(owners, 5), (QStringList{"11", ""}));
    EXPECT_EQ(row(categories, 1), (QStringList{"4", "4,000", "2,000"}));
    EXPECT_EQ(column(history, 2), (QStringList{"бивш"}));
    // 10 dka in shares of 6 and 4; equalised 6 × 1 + 4 × 0.5 against shares of 4.8 and 3.2.
    EXPECT_EQ(QStringList({line("lblPlosht"), line("lblRed"), line("lblRedDiff"), line("lblPrPlosht"), line("lblPrRed"),
                           line("lblPrRedDiff")}),
              (QStringList{"10,000", "10,000", "0,000", "8,000", "8,000", "0,000"}));
    for (QWidget* w : view->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QRadioButton*>(w) ||
            (qobject_cast<QPushButton*>(w) && w->objectName() != QLatin1String("bitOtkaz"))) {
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        }
    }
    testsupport::keepScreenshot(view->grab().toImage(), QStringLiteral("TFImotSpr"));

    select(2);  // 102: every part follows, the lookup texts and area lines too
    EXPECT_EQ(shown("dbtImotNo"), QStringLiteral("102"));
    EXPECT_EQ(shown("jvdblcNTP"), QStringLiteral("Ливада"));
    EXPECT_EQ(shown("jvdblcKult"), QString());
    EXPECT_TRUE(view->findChild<QRadioButton*>(QStringLiteral("rbKomasNe"))->isChecked());
    EXPECT_EQ(column(owners, 1), (QStringList{"Иван Петров", "Никола Бонев"}));
    EXPECT_EQ(categories->model()->rowCount(), 0);
    EXPECT_EQ(line("lblPlosht"), QStringLiteral("4,000"));
    EXPECT_EQ(line("lblRedDiff"), QStringLiteral("0,000"));

    // A filter reads the list again: the view shows its first row.
    typeText(edit("edFilterZeml"), QStringLiteral("вар"));
    click("butFilterShow");
    EXPECT_EQ(shown("dbtImotNo"), QStringLiteral("301"));
    EXPECT_EQ(shown("jvdblcFS"), QStringLiteral("Наем"));

    QPointer<TFImotSpr> kept = view;
    click("bitExit");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(kept.isNull());
    EXPECT_TRUE(area.subWindowList().isEmpty());
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

TEST_F(TFSprbezhoraTest, PrintListsThePlotsAsFilteredWithTheirSums)
{
    open();
    typeText(edit("edFilterZeml"), QStringLiteral("Благ"));
    click("butFilterShow");
    const QString pdf = out.filePath(QStringLiteral("zemlishta.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrint");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    const QStringList text = printed(pdf);
    EXPECT_EQ(text.value(0), QStringLiteral("Справка на имотите по землища"));
    EXPECT_TRUE(
        text.contains(QStringLiteral("Благоевград Къра 101 Нива Аренда 10,000 8,000 1,250 Пшеница Да Да 55 2,500 да")))
        << text.join(u'|').toStdString();
    EXPECT_FALSE(text.join(u'|').contains(QStringLiteral("Варна")));
    EXPECT_TRUE(text.contains(QStringLiteral("Брой имоти: 3 Общо площ: 20,000 дка"))) << text.join(u'|').toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Общо комасирана площ: 2,500 дка")));
}

// The printout names the firm, its farming year and the day at the foot, and
// under the title the filter the list was read under: not what was typed
// since without filtering, kept by a sort, gone after "Изчисти".
TEST_F(TFSprbezhoraTest, PrintNamesTheFirmTheYearAndTheFilterInForce)
{
    testsupport::runSql(db.path(), {QStringLiteral("insert into FIRMA (NAIM_FIRMA, ID_VZP, FROMYEAR, TOYEAR) values "
                                                   "('Агро ООД', 2, '2024-10-01', '2025-09-30')")});
    open();
    int n = 0;
    const auto print = [&] {
        const QString pdf = out.filePath(QStringLiteral("p%1.pdf").arg(++n));
        outputs.answerPdf(pdf);
        click("bitPrint");
        return printed(pdf);
    };
    const QString foot = QStringLiteral("Агро ООД – Стопанска година 2024/2025 – Отпечатано на %1 стр. 1 от 1")
                             .arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    QStringList text = print();
    EXPECT_EQ(text.last(), foot);
    EXPECT_FALSE(text.join(u'|').contains(QStringLiteral("Филтър"))) << text.join(u'|').toStdString();

    typeText(edit("edFilterZeml"), QStringLiteral("Благ"));
    typeText(edit("edFilterMestn"), QStringLiteral("къ"));
    click("butFilterShow");
    edit("edFilterMestn")->clear();
    typeText(edit("edFilterZeml"), QStringLiteral("оевград"));  // typed, not filtered
    text = print();
    EXPECT_EQ(text.value(1), QStringLiteral("Филтър — Землище: Благ; Местност: къ"));
    EXPECT_EQ(text.last(), foot);
    EXPECT_TRUE(text.join(u'|').contains(QStringLiteral("Брой имоти: 2"))) << text.join(u'|').toStdString();

    clickTitle(list(), 2);
    EXPECT_EQ(print().value(1), QStringLiteral("Филтър — Землище: Благ; Местност: къ"));

    // Enter in a box filters by what the boxes hold then.
    edit("edFilterZeml")->setFocus();
    QTest::keyClick(edit("edFilterZeml"), Qt::Key_Return);
    EXPECT_EQ(plots(), (QStringList{"201", "101", "102"}));
    EXPECT_EQ(print().value(1), QStringLiteral("Филтър — Землище: Благоевград"));

    click("butFilterClear");
    text = print();
    EXPECT_FALSE(text.join(u'|').contains(QStringLiteral("Филтър"))) << text.join(u'|').toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

}  // namespace
