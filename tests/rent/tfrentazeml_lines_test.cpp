#include "rules_screen_test.h"

#include "dm/tdm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

namespace {

using renttest::RulesScreenTest;

const QString kTypeTaken = QStringLiteral("Този вид е вече добавен!");

TEST_F(RulesScreenTest, ALineKeepsItsOwnTypeButNoRuleHasATypeTwice)
{
    open();
    selectLine(1);  // Пшеница 40 × 0.25
    click("bitVRKor");
    ASSERT_FALSE(linePanel()->isHidden());
    EXPECT_FALSE(rules()->isEnabled());
    EXPECT_FALSE(control<QWidget>("bitZemlDob")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), combo("jvdblcbVRNaim"));
    EXPECT_EQ(combo("jvdblcbVRNaim")->currentText(), QStringLiteral("Пшеница"));
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFRentaZeml-line"));
    typeOver(size(), QStringLiteral("42"));
    click("bitVRZapisDob");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 1 and ID_VRK = 2 and KOL = 42")), 1);
    EXPECT_EQ(lines()->currentIndex().row(), 1);

    // To a type the rule has: refused, the panel stays.
    click("bitVRKor");
    choose("jvdblcbVRNaim", QStringLiteral("Пари"));
    click("bitVRZapisDob");
    EXPECT_EQ(prompter.shown(), QStringList{kTypeTaken});
    EXPECT_FALSE(linePanel()->isHidden());
    choose("jvdblcbVRNaim", QStringLiteral("Царевица"));
    click("bitVRZapisDob");
    EXPECT_EQ(rows(lines()), (QStringList{"Пари | 30,00 | 1,00000", "Царевица | 42,00 | 0,25000"}));

    // A new line of the type just corrected is refused all the same.
    addLine(QStringLiteral("Царевица"), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_EQ(prompter.shown(), (QStringList{kTypeTaken, kTypeTaken}));
    click("bitVROtkaz");
    EXPECT_TRUE(linePanel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 1")), 2);
}

TEST_F(RulesScreenTest, GoodsQuantitiesAreWholeMoneyTakesDecimalsAndTheRuleTotalFollowsItsLines)
{
    seed({"insert into \"RENTA ZEML\" (ID_RZ, ID_ZEML, ID_DT) values (4, 2, 1)"});
    open();
    selectRule(1);  // Бело поле under Аренда, no lines yet
    ASSERT_TRUE(rows(lines()).isEmpty());
    click("bitVRDob");
    choose("jvdblcbVRNaim", QStringLiteral("Пшеница"));
    // A point in a whole quantity is kept and refused, never dropped ("12.5" is no 125).
    QTest::keyClicks(size(), QStringLiteral("12.5"));
    EXPECT_EQ(size()->text(), QStringLiteral("12,5"));
    QTest::keyClicks(price(), QStringLiteral("0.25"));
    EXPECT_EQ(price()->text(), QStringLiteral("0,25"));
    click("bitVRZapisDob");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Полето „Размер“ приема цяло число над 0 до 9 999!"));
    EXPECT_EQ(QApplication::focusWidget(), size());
    typeOver(size(), QStringLiteral("40"));
    click("bitVRZapisDob");
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_RZ = 4 and RAZMER = 10")), 1);

    click("bitVRDob");
    choose("jvdblcbVRNaim", QStringLiteral("Пари"));
    QTest::keyClicks(size(), QStringLiteral("12.5"));
    EXPECT_EQ(size()->text(), QStringLiteral("12,5"));
    QTest::keyClicks(price(), QStringLiteral("1"));
    click("bitVRZapisDob");
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 4 and ID_VRK = 1 and KOL = 12.5")), 1);
    selectLine(0);
    click("bitVRKor");
    typeOver(size(), QStringLiteral("30"));
    click("bitVRZapisDob");
    // 40 × 0.25 + 30 × 1
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_RZ = 4 and RAZMER = 40")), 1);
    EXPECT_EQ(rules()->currentIndex().row(), 1);
    EXPECT_EQ(rows(lines()), (QStringList{"Пари | 30,00 | 1,00000", "Пшеница | 40,00 | 0,25000"}));

    selectLine(1);
    prompter.answerYes();
    click("bitVRDel");
    EXPECT_EQ(count(QStringLiteral("\"RENTA ZEML\" where ID_RZ = 4 and RAZMER = 30")), 1);
    EXPECT_TRUE(prompter.shown().size() == 2) << prompter.shown().join(QLatin1Char('|')).toStdString();
}

TEST_F(RulesScreenTest, WhatIsNotANumberOrIsMissingIsRefusedAndThePanelStays)
{
    open();
    selectRule(2);
    click("bitVRDob");
    click("bitVRZapisDob");
    choose("jvdblcbVRNaim", QStringLiteral("Пшеница"));
    // What is never part of a number is not taken; a lone point is no number.
    testsupport::typeText(size(), QStringLiteral("40 кг"));
    EXPECT_EQ(size()->text(), QStringLiteral("40"));
    typeOver(size(), QStringLiteral(","));
    click("bitVRZapisDob");
    testsupport::typeText(price(), QStringLiteral("abc."));
    EXPECT_EQ(price()->text(), QStringLiteral(","));
    click("bitVRZapisDob");
    EXPECT_EQ(prompter.shown(), (QStringList{"Няма дани!", "Няма дани!", "Размерът трябва да е число, например 40!"}));
    EXPECT_EQ(QApplication::focusWidget(), size());
    typeOver(size(), QStringLiteral("40"));
    click("bitVRZapisDob");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Коефициентът трябва да е число, например 0,25!"));
    EXPECT_EQ(QApplication::focusWidget(), price());
    EXPECT_FALSE(linePanel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 3")), 1);

    // Numbers out of their domains: no sign can be typed, a coefficient is
    // above zero, a quantity per decare that no rent statement can multiply
    // is refused with the field's range, and nothing reaches the table.
    testsupport::typeText(price(), QStringLiteral("-1"));
    EXPECT_EQ(price()->text(), QStringLiteral(",1"));
    typeOver(price(), QStringLiteral("0"));
    click("bitVRZapisDob");
    EXPECT_EQ(prompter.shown().last(),
              QStringLiteral("Полето „Коефициент“ приема число над 0 до 999,99999, с до 5 знака след запетаята!"));
    typeOver(price(), QStringLiteral("1"));
    typeOver(size(), QStringLiteral("99999999999999999999"));
    click("bitVRZapisDob");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Полето „Размер“ приема цяло число над 0 до 9 999!"));
    EXPECT_EQ(size()->text(), QStringLiteral("99999999999999999999"));
    EXPECT_FALSE(linePanel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("VIDRENTAKOL where ID_RZ = 3")), 1);

    // Nothing but "Няма данни!" without a line, and no line without a rule.
    click("bitVROtkaz");
    seed({"delete from VIDRENTAKOL", "delete from \"RENTA ZEML\""});
    screen->close();
    ASSERT_TRUE(closed());
    prompter.clearShown();
    open();
    click("bitVRDob");
    click("bitVRKor");
    click("bitVRDel");
    click("bitZemlDel");
    EXPECT_EQ(prompter.shown(), (QStringList{"Няма данни!", "Няма данни!", "Няма данни!", "Няма данни!"}));
}

TEST_F(RulesScreenTest, TheButtonBesideTheRentTypeShowsTheRentTypesScreen)
{
    open();
    click("bitVRDob");
    click("bitVRDobNew");
    EXPECT_EQ(rentTypesAsked, 1);
    EXPECT_EQ(screen->focusWidget(), combo("jvdblcbVRNaim"));
    // A type stored there is offered here at once.
    dm->TVidRenta.append();
    dm->TVidRenta.field(QStringLiteral("NAIM_VR")).setValue(QStringLiteral("Слънчоглед"));
    dm->TVidRenta.post();
    EXPECT_TRUE(items(combo("jvdblcbVRNaim")).contains(QStringLiteral("Слънчоглед")));
    click("bitVROtkaz");
}

}  // namespace
