#include "reports/tfsprimoti.h"
#include "reports/tfsprbezimoti.h"

#include "reports/property_reports_test.h"

#include <QAbstractItemModelTester>

namespace {

using propertyreports::ReportScreenTest;

class TFSprimotiTest : public ReportScreenTest<TFSprimoti> {
protected:
    TFSprimotiTest() { direction = SortSwitch(SortSwitch::Descending); }
    TFSprimoti& open() { return show(new TFSprimoti(module(), prompter, outputs, direction)); }
    QTableView* list() const { return grid("jvdbgridSprImoti"); }
};

// Къра counts the lines of contracts 11 (its dates long run out) and 13; Баира's
// only contract is terminated, so it shows 0 under contract.
TEST_F(TFSprimotiTest, AreasPerLocalityCountEveryContractNotTerminatedWithTheirSums)
{
    TFSprimoti& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Справка Имоти"));
    EXPECT_TRUE(s.isModal());
    QAbstractItemModelTester tester(list()->model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    EXPECT_EQ(titles(list()), (QStringList{"EKATTE", "Землище", "Местност", "Площ в дка", "Площ по дог."}));
    ASSERT_EQ(list()->model()->rowCount(), 3);
    EXPECT_EQ(row(list(), 0), (QStringList{"04279", "Благоевград", "Баира", "6,000 дка.", "0,000 дка."}));
    EXPECT_EQ(row(list(), 1), (QStringList{"04279", "Благоевград", "Къра", "14,000 дка.", "6,000 дка."}));
    EXPECT_EQ(row(list(), 2), (QStringList{"10135", "Варна", "Аязмото", "6,000 дка.", "5,000 дка."}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("26,000 дка"));
    EXPECT_EQ(label("labSumDogPlosht"), QStringLiteral("11,000 дка"));
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFSprimoti"));

    // The first sort is descending, the next ascending, whichever column.
    clickTitle(list(), 2);
    EXPECT_EQ(column(list(), 2), (QStringList{"Къра", "Баира", "Аязмото"}));
    clickTitle(list(), 3);
    EXPECT_EQ(column(list(), 3), (QStringList{"6,000 дка.", "6,000 дка.", "14,000 дка."}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("26,000 дка"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();

    // Esc closes it.
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_TRUE(closed());
}

// A locality whose plots have no area shows its area empty, never 0,000.
TEST_F(TFSprimotiTest, ALocalityWhosePlotsHaveNoAreaShowsItEmpty)
{
    testsupport::runSql(db.path(), {QStringLiteral("update zemq set plosht = null where id_mest = "
                                                   "(select id_mestn from mestnost where naim_mestn = 'Баира')")});
    open();
    EXPECT_EQ(row(list(), 0), (QStringList{"04279", "Благоевград", "Баира", "", "0,000 дка."}));
    EXPECT_EQ(label("labSumPlosht"), QStringLiteral("20,000 дка"));
}

// The print lists each settlement with its localities, the settlements in
// the order of the last sort by their name.
TEST_F(TFSprimotiTest, PrintShowsEachSettlementWithItsLocalitiesInTheSortedOrder)
{
    open();
    clickTitle(list(), 1);  // by settlement name, descending: Варна first
    const QString pdf = out.filePath(QStringLiteral("imoti.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrint");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    const QStringList text = printed(pdf);
    const QStringList expected = {
        "Справка Имоти",
        "Площ по землища и местности",
        "EKATTE Землище / Местност Площ в дка Площ по дог.",
        "10135 Варна 6,000 дка 5,000 дка",
        "Аязмото 6,000 5,000",
        "04279 Благоевград 20,000 дка 6,000 дка",
        "Баира 6,000 0,000",
        "Къра 14,000 6,000",
        "Общо площ: 26,000 дка",
        "Общо площ по договори: 11,000 дка",
        propertyreports::onePageFoot(),
    };
    EXPECT_EQ(text, expected) << text.join(u'|').toStdString();
}

class TFSprbezimotiTest : public ReportScreenTest<TFSprbezimoti> {
protected:
    TFSprbezimoti& open() { return show(new TFSprbezimoti(module(), prompter, direction)); }
    QTableView* list() const { return grid("jvdbgridSprSobstvImoti"); }
};

// Петър never held a share and Стоян's was deleted; the others hold some.
TEST_F(TFSprbezimotiTest, ListsTheOwnersWithoutAnyShareSortedByTitle)
{
    TFSprbezimoti& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Справка на Собственик без имоти"));
    EXPECT_EQ(titles(list()), (QStringList{"ЕГН/ЕИН", "Име/Наименование"}));
    EXPECT_EQ(column(list(), 1), (QStringList{"Стоян Колев", "Петър Стоев"}));
    clickTitle(list(), 1);
    EXPECT_EQ(column(list(), 1), (QStringList{"Петър Стоев", "Стоян Колев"}));
    clickTitle(list(), 1);
    EXPECT_EQ(column(list(), 1), (QStringList{"Стоян Колев", "Петър Стоев"}));
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFSprbezimoti"));
    click("bitExit");
    EXPECT_TRUE(closed());
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

}  // namespace
