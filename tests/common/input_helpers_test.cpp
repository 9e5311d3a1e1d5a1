#include "common/input_helpers.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace {

const QLocale bulgarian(QLocale::Bulgarian, QLocale::Bulgaria);
const QLocale english(QLocale::English, QLocale::UnitedStates);

TEST(InputHelpers, AreasAreWrittenWithPercent8Point3fInTheLocaleAndReadBack)
{
    EXPECT_EQ(threeDecimals(12.3456, bulgarian), QStringLiteral("  12,346"));
    EXPECT_EQ(threeDecimals(12.3456, english), QStringLiteral("  12.346"));
    EXPECT_EQ(threeDecimals(-0.5, bulgarian), QStringLiteral("  -0,500"));
    EXPECT_EQ(threeDecimals(123456.7891, bulgarian), QStringLiteral("123456,789"));

    EXPECT_EQ(readNumber(QStringLiteral("  12,346"), bulgarian), 12.346);
    EXPECT_EQ(readNumber(QStringLiteral("12.346"), english), 12.346);
    // A full stop is taken for the point too, never as a thousands separator.
    EXPECT_EQ(readNumber(QStringLiteral("12.346"), bulgarian), 12.346);
    EXPECT_FALSE(readNumber(QStringLiteral("1.234,5"), bulgarian));
    EXPECT_FALSE(readNumber(QStringLiteral("дка"), bulgarian));

    EXPECT_EQ(roundThreeDecimals(1.23449, bulgarian), 1.234);
    EXPECT_EQ(roundThreeDecimals(1.2345001, english), 1.235);
    EXPECT_EQ(roundThreeDecimals(7.0, bulgarian), 7.0);
    EXPECT_EQ(typedArea(QStringLiteral("2,0004"), bulgarian), 2.0);
    EXPECT_EQ(typedArea(QStringLiteral(" 3,1416 "), bulgarian), 3.142);
    EXPECT_EQ(typedArea(QStringLiteral("1,2345"), bulgarian), 1.235);  // the half as typed, not as a double holds it
    EXPECT_EQ(typedArea(QStringLiteral("1,2346"), bulgarian), 1.235);
    EXPECT_FALSE(typedArea(QString(), bulgarian));
}

TEST(InputHelpers, DigitOnlyFieldsTakeDigitsAndBackspace)
{
    QLineEdit edit;
    setDigitsOnly(&edit);
    QTest::keyClicks(&edit, QStringLiteral("12a-3 ,4"));
    EXPECT_EQ(edit.text(), QStringLiteral("1234"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
    edit.insert(QStringLiteral("x9"));  // a paste that is not all digits goes nowhere
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
}

TEST(InputHelpers, TheDateMaskShowsBlanksAsUnderscoresWithTheLocalesSeparator)
{
    QLineEdit edit;
    setDateMask(&edit, bulgarian);
    EXPECT_EQ(edit.displayText(), QStringLiteral("__.__.____"));
    edit.setFocus();
    edit.home(false);
    QTest::keyClicks(&edit, QStringLiteral("0702"));
    EXPECT_EQ(edit.displayText(), QStringLiteral("07.02.____"));
    QTest::keyClicks(&edit, QStringLiteral("2011"));
    EXPECT_EQ(edit.text(), QStringLiteral("07.02.2011"));

    QLineEdit us;
    setDateMask(&us, english);
    EXPECT_EQ(us.displayText(), QStringLiteral("__/__/____"));
}

}  // namespace
