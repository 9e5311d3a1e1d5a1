#include "reports/tfsprimotisobstv.h"

#include "reports/property_reports_test.h"

namespace {

using propertyreports::ReportScreenTest;

class TFSprImotiSobstvTest : public ReportScreenTest<TFSprImotiSobstv> {
protected:
    TFSprImotiSobstv& open() { return show(new TFSprImotiSobstv(module(), prompter, outputs, direction)); }
    QTableView* owners() const { return grid("jvdbgridSobstv"); }
    QTableView* plots() const { return grid("jvdbgridImoti"); }
    void select(int r) { owners()->setCurrentIndex(owners()->model()->index(r, 0)); }
};

// Никола has no country and is not listed; Иван's share of 101 is under two
// contract lines and listed twice, yet counts once in his sums in any order.
TEST_F(TFSprImotiSobstvTest, EachOwnersPlotsFollowTheOwnerAndCountOnceInHisSums)
{
    TFSprImotiSobstv& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Имоти по собственици"));
    EXPECT_EQ(titles(owners()), (QStringList{"ЕГН/ЛНЧ/ЕИН", "Име/Наименование", "Област", "Община", "Гр./ с.", "Адрес",
                                             "Телефон", "Банка", "IBAN", "BIC", "ЧФЛ", "Държава", "Представляващ"}));
    EXPECT_EQ(column(owners(), 1), (QStringList{"Стоян Колев", "Петър Стоев", "Иван Петров", "Мария Иванова"}));
    EXPECT_EQ(titles(plots()).mid(0, 4), (QStringList{"ЕКАТТЕ", "Землище", "Местност", "Имот №"}));
    EXPECT_EQ(titles(plots()).last(), QStringLiteral("Договор: Дата на прекратяване"));
    EXPECT_EQ(plots()->model()->rowCount(), 0);  // Стоян holds nothing
    EXPECT_EQ(label("labSum"), QStringLiteral("0,000 дка"));

    select(2);
    EXPECT_EQ(column(plots(), 3), (QStringList{"101", "101", "102", "301"}));
    EXPECT_EQ(column(plots(), 12), (QStringList{"11", "13", "", "11"}));
    EXPECT_EQ(column(plots(), 16), (QStringList{"Действащ", "Действащ", "", "Действащ"}));
    EXPECT_EQ(label("labSum"), QStringLiteral("15,000 дка"));
    EXPECT_EQ(label("labPrSum"), QStringLiteral("13,800 дка"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFSprImotiSobstv"));

    // One switch for both grids: ascending on the owners, then descending on the plots.
    clickTitle(owners(), 1);
    EXPECT_EQ(column(owners(), 1), (QStringList{"Иван Петров", "Мария Иванова", "Петър Стоев", "Стоян Колев"}));
    select(0);
    clickTitle(plots(), 12);  // by contract number, descending: the two rows of 101 apart
    EXPECT_EQ(column(plots(), 12), (QStringList{"13", "11", "11", ""}));
    EXPECT_EQ(label("labSum"), QStringLiteral("15,000 дка"));

    // Мария's plot 302 has no form of management; her plots keep the sort.
    select(1);
    EXPECT_EQ(column(plots(), 3), (QStringList{"201", "101"}));
    EXPECT_EQ(column(plots(), 16), (QStringList{"Прекратен", ""}));
    EXPECT_EQ(label("labSum"), QStringLiteral("10,000 дка"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

TEST_F(TFSprImotiSobstvTest, PrintShowsEveryOwnerWithTheOwnersPlots)
{
    open();
    const QString pdf = out.filePath(QStringLiteral("sobstv.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrint");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    const QStringList text = printed(pdf);
    // Under the title, the three lines of the wrapped column titles.
    ASSERT_GT(text.size(), 5);
    EXPECT_EQ(text.first(), QStringLiteral("Имоти по собственици"));
    const QStringList expected = {
        "5504041234 Стоян Колев Варна",
        "6003031234 Петър Стоев Варна",
        "7501011234 Иван Петров Благоевград ул. Рила 1",
        "04279 Благоевград Къра 101 Нива 10,000 6,000 3/5 4,800 11 01.10.2010 30.09.2015 Действащ",
        "04279 Благоевград Къра 101 Нива 10,000 6,000 3/5 4,800 13 01.10.2021 30.09.2031 Действащ",
        "04279 Благоевград Къра 102 Ливада 4,000 4,000 1/1 4,000",
        "10135 Варна Аязмото 301 Нива 5,000 5,000 1/1 5,000 11 01.10.2010 30.09.2015 Действащ",
        "8002021234 Мария Иванова Благоевград",
        "04279 Благоевград Къра 101 Нива 10,000 4,000 2/5 3,200",
        "04279 Благоевград Баира 201 Нива 6,000 6,000 1/1 6,000 12 01.10.2020 30.09.2030 Прекратен",
        "Брой собственици: 4",
        propertyreports::onePageFoot(),
    };
    EXPECT_EQ(text.mid(4), expected) << text.join(u'|').toStdString();
}

}  // namespace
