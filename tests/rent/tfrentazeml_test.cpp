#include "rules_screen_test.h"

#include "dm/tdm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>

namespace {

using renttest::RulesScreenTest;

const QString kFillAll = QStringLiteral("Моля въведете всички данни!");
const QString kRuleExists = QStringLiteral("Землището е добавено в условията за рента с този тип!");
const QString kHasLines = QStringLiteral("Има въведени видове рента за това землище!");
const QString kReceipt = QStringLiteral("Има издадена разписка!");
const QString kConfirm = QStringLiteral("Моля, потвърдете изтриването!");

TEST_F(RulesScreenTest, OpensOnTheRulesByContractTypeAndTheSelectedRulesLines)
{
    TFRentaZeml& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Рента по Землища"));
    EXPECT_EQ(control<QGroupBox>("grboxZemlishta")->title(), QStringLiteral("Землища"));
    EXPECT_EQ(control<QGroupBox>("grboxVidRenta")->title(), QStringLiteral("Видове рента"));
    EXPECT_EQ(control<QPushButton>("bitSprStokiZeml")->text(), QStringLiteral("Справка стоки за рента по землища"));
    EXPECT_TRUE(rulePanel()->isHidden());
    EXPECT_TRUE(linePanel()->isHidden());
    QStringList titles;
    for (QTableView* grid : {rules(), lines()})
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles,
              (QStringList{"Тип договор", "ЕКАТТЕ", "Наименование", "Наименование", "Кол-во на дка", "Коефициент"}));
    EXPECT_EQ(rows(rules()),
              (QStringList{"Аренда | 00134 | Изгрев", "Наем | 03664 | Бело поле", "Наем | 00134 | Изгрев"}));
    EXPECT_EQ(rows(lines()), (QStringList{"Пари | 30,00 | 1,00000", "Пшеница | 40,00 | 0,25000"}));
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFRentaZeml"));

    // The data module's rule cursor, and its lines, follow the selected rule.
    selectRule(1);
    EXPECT_EQ(rows(lines()), (QStringList{"Пари | 12,13 | 1,00000", "Пшеница | 12,50 | 0,30000"}));
    EXPECT_EQ(dm->TRZeml.field(QStringLiteral("ID_RZ")).value().toInt(), 2);
    EXPECT_EQ(dm->TVRK.rowCount(), 2);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
}

TEST_F(RulesScreenTest, ARuleIsMadeOnlyForAnAreaWhereContractsOfTheTypeCountAndOnlyOnce)
{
    open();
    click("bitZemlDob");
    ASSERT_FALSE(rulePanel()->isHidden());
    EXPECT_FALSE(rules()->isEnabled());
    EXPECT_FALSE(lines()->isEnabled());
    EXPECT_FALSE(control<QWidget>("bitVRDob")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), combo("jvdblcbDogTip"));
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFRentaZeml-rule"));
    // Every type some contract has; areas only where its contracts count in the year.
    EXPECT_EQ(items(combo("jvdblcbDogTip")), (QStringList{"Аренда", "Наем", "Съвместна обработка"}));
    EXPECT_TRUE(items(combo("jvdblcbZemlishta")).isEmpty());
    choose("jvdblcbDogTip", QStringLiteral("Съвместна обработка"));
    EXPECT_TRUE(items(combo("jvdblcbZemlishta")).isEmpty());
    choose("jvdblcbDogTip", QStringLiteral("Наем"));
    EXPECT_EQ(items(combo("jvdblcbZemlishta")), (QStringList{"Изгрев", "Бело поле"}));
    choose("jvdblcbZemlishta", QStringLiteral("Бело поле"));
    // Another type: the chosen area goes; the terminated contract 103 counts, 104 does not.
    choose("jvdblcbDogTip", QStringLiteral("Аренда"));
    EXPECT_EQ(combo("jvdblcbZemlishta")->currentIndex(), -1);
    EXPECT_EQ(items(combo("jvdblcbZemlishta")), (QStringList{"Изгрев", "Бело поле"}));
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{kFillAll});
    EXPECT_FALSE(rulePanel()->isHidden());

    // Изгрев under Аренда has its rule: nothing is stored, the list shows the newest rule.
    selectRule(0);
    choose("jvdblcbZemlishta", QStringLiteral("Изгрев"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown().last(), kRuleExists);
    EXPECT_TRUE(rulePanel()->isHidden());
    EXPECT_TRUE(rules()->isEnabled());
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\"")), 3);
    EXPECT_EQ(rules()->currentIndex().row(), 2);
    EXPECT_EQ(rows(lines()), QStringList{"Пари | 20,00 | 1,10000"});

    click("bitZemlDob");
    choose("jvdblcbDogTip", QStringLiteral("Аренда"));
    focusOn("jvdblcbZemlishta");
    choose("jvdblcbZemlishta", QStringLiteral("Бело поле"));
    QTest::keyClick(combo("jvdblcbZemlishta"), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_ZEML = 2 and ID_DT = 1")), 1);
    EXPECT_EQ(rows(rules()).at(1), QStringLiteral("Аренда | 03664 | Бело поле"));
    EXPECT_EQ(rules()->currentIndex().row(), 1);
    EXPECT_TRUE(rows(lines()).isEmpty());

    // "Отказ" stores nothing and goes back to the first rule.
    click("bitZemlDob");
    choose("jvdblcbDogTip", QStringLiteral("Наем"));
    QTest::keyClick(combo("jvdblcbDogTip"), Qt::Key_Escape);
    EXPECT_TRUE(rulePanel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\"")), 4);
    EXPECT_EQ(rules()->currentIndex().row(), 0);
}

TEST_F(RulesScreenTest, ARuleWithLinesGoesOnlyOnceItsLinesHaveGone)
{
    open();
    selectRule(2);
    click("bitZemlDel");
    EXPECT_EQ(prompter.shown(), QStringList{kHasLines});
    prompter.answerYes();
    click("bitVRDel");
    EXPECT_TRUE(rows(lines()).isEmpty());
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_RZ = 3 and RAZMER = 0")), 1);
    EXPECT_EQ(rules()->currentIndex().row(), 2);
    prompter.answerYes();
    click("bitZemlDel");
    EXPECT_EQ(prompter.shown(), (QStringList{kHasLines, kConfirm, kConfirm}));
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_RZ = 3")), 0);
    EXPECT_EQ(rows(rules()).size(), 2);
    EXPECT_EQ(rows(lines()), (QStringList{"Пари | 30,00 | 1,00000", "Пшеница | 40,00 | 0,25000"}));
}

TEST_F(RulesScreenTest, AReceiptLineFreezesTheRuleOfItsAreaAndTypeAloneUntilItGoes)
{
    open();
    seed(renttest::receiptLine(1, 1));  // paid under Изгрев / Аренда, after the screen opened
    selectRule(0);
    click("bitVRDob");
    click("bitVRKor");
    click("bitVRDel");
    click("bitZemlDel");
    EXPECT_EQ(prompter.shown(), (QStringList{kReceipt, kReceipt, kReceipt, kReceipt}));
    EXPECT_TRUE(linePanel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 1")), 2);

    // Изгрев under Наем is another rule.
    selectRule(2);
    click("bitVRKor");
    EXPECT_FALSE(linePanel()->isHidden());
    click("bitVROtkaz");

    seed({"delete from \"RAZP RENTA\""});
    selectRule(0);
    click("bitVRKor");
    EXPECT_FALSE(linePanel()->isHidden());
    EXPECT_EQ(prompter.shown().size(), 4);
}

TEST_F(RulesScreenTest, ClosingWithARulePendingAsksAndStaysWhileAPickerIsEmpty)
{
    TFRentaZeml& s = open();
    click("bitZemlDob");
    choose("jvdblcbDogTip", QStringLiteral("Наем"));
    prompter.answerYes();
    s.close();
    EXPECT_FALSE(closed());
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Желаете ли да запишете!"), kFillAll}));
    EXPECT_FALSE(rulePanel()->isHidden());

    // Yes with a duplicate: the message, nothing stored, and the screen goes.
    choose("jvdblcbZemlishta", QStringLiteral("Изгрев"));
    prompter.answerYes();
    s.close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(prompter.shown().last(), kRuleExists);
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\"")), 3);
    EXPECT_FALSE(dm->TRZeml.isEditing());
}

TEST_F(RulesScreenTest, ClosingWithALinePendingSavesItOnlyWhenItCanBeStored)
{
    TFRentaZeml& s = open();
    selectRule(2);
    click("bitVRDob");
    choose("jvdblcbVRNaim", QStringLiteral("Пари"));
    testsupport::typeText(size(), QStringLiteral("5"));
    prompter.answerYes();
    s.close();
    EXPECT_FALSE(closed());
    prompter.answerYes();
    testsupport::typeText(price(), QStringLiteral("2"));
    s.close();
    EXPECT_FALSE(closed());
    EXPECT_EQ(prompter.shown(), (QStringList{"Желаете ли да запишете!", "Няма дани!", "Желаете ли да запишете!",
                                             "Този вид е вече добавен!"}));
    choose("jvdblcbVRNaim", QStringLiteral("Пшеница"));
    prompter.answerYes();
    s.close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 3 and ID_VRK = 2 and KOL = 5 and EC = 2")), 1);
    // 20 × 1.1 + 5 × 2, in double precision
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_RZ = 3 and RAZMER between 31.999 and 32.001")), 1);
}

}  // namespace
