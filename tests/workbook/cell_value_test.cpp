#include "workbook/cell_address.h"
#include "workbook/cell_value.h"
#include "workbook/control.h"
#include "workbook/workbook_error.h"
#include "workbook/xml_part.h"

#include <gtest/gtest.h>

using namespace transfers;

namespace {

const QLocale kBulgarian(QLocale::Bulgarian, QLocale::Bulgaria);

CellValue typed(const char* text, bool textFormat = false)
{
    return typedInput(QString::fromUtf8(text), textFormat, kBulgarian);
}

TEST(CellAddress, ReadsAndWritesA1Addresses)
{
    EXPECT_EQ(parseCellAddress(u"B12"), (CellRef{12, 2}));
    EXPECT_EQ(parseCellAddress(u"$aa$3"), (CellRef{3, 27}));
    EXPECT_EQ(parseCellAddress(u"XFD1048576"), (CellRef{kMaxRows, kMaxColumns}));
    EXPECT_EQ(cellAddress({1048576, 16384}), QStringLiteral("XFD1048576"));
    EXPECT_EQ(columnLetters(26), QStringLiteral("Z"));
    EXPECT_EQ(columnLetters(703), QStringLiteral("AAA"));
    EXPECT_EQ(parseRangeAddress(u"D5:B2"), (CellRect{{2, 2}, {5, 4}}));
    EXPECT_EQ(rangeAddress(parseRangeAddress(u"A4:H9")), QStringLiteral("A4:H9"));
    for (const char16_t* bad : {u"", u"12", u"B", u"B0", u"XFE1", u"A1048577", u"Б2", u"B2:", u"B 2"}) {
        try {
            parseRangeAddress(bad);
            ADD_FAILURE() << "accepted " << QString::fromUtf16(bad).toStdString();
        } catch (const WorkbookError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Невалиден адрес на клетка")));
        }
    }
}

TEST(CellValue, TypedTextBecomesANumberOnlyWhenItReadsAsOneExactly)
{
    EXPECT_EQ(typed("12"), CellValue::number(12));
    EXPECT_EQ(typed("007"), CellValue::number(7));
    EXPECT_EQ(typed("123,45"), CellValue::number(123.45));  // the locale's separator
    EXPECT_EQ(typed("0.00"), CellValue::number(0));         // and a full stop
    EXPECT_EQ(typed(" -1,5e3 "), CellValue::number(-1500));
    EXPECT_EQ(typed("+4"), CellValue::number(4));
    EXPECT_EQ(typed(""), CellValue());
    // Not plain numbers: texts as typed.
    for (const char* t : {"1 234", "12.5.2020", "5%", "=1+1", "-abc", "1e", "0x10", "1,2,3", "ЕГН"})
        EXPECT_EQ(typed(t), CellValue::text(QString::fromUtf8(t))) << t;
    // More digits than a double keeps exactly: the text stays whole.
    EXPECT_EQ(typed("1234567890123456"), CellValue::text(QStringLiteral("1234567890123456")));
    EXPECT_EQ(typed("123456789012345"), CellValue::number(123456789012345.0));
    // A text-formatted cell keeps every text, leading zeros too.
    EXPECT_EQ(typed("0012", true), CellValue::text(QStringLiteral("0012")));
    EXPECT_EQ(typed("", true), CellValue());
}

TEST(CellValue, ArithmeticReadsEmptyAsZeroAndRefusesOtherTexts)
{
    EXPECT_EQ(CellValue().toNumber(kBulgarian), 0);
    EXPECT_EQ(CellValue::text(QStringLiteral("0")).toNumber(kBulgarian), 0);
    EXPECT_EQ(CellValue::text(QStringLiteral("2,5")).toNumber(kBulgarian), 2.5);
    try {
        CellValue::text(QStringLiteral("абв")).toNumber(kBulgarian);
        ADD_FAILURE() << "a text read as a number";
    } catch (const WorkbookError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Стойността \"абв\" не е число"));
    }
    EXPECT_EQ(numberText(0.1), QStringLiteral("0.1"));
    EXPECT_EQ(numberText(1e21), QStringLiteral("1e+21"));
}

TEST(XmlText, ControlCharactersAndEscapeLookalikesSurviveTheRoundTrip)
{
    const QString raw = QStringLiteral(
        "a\x01"
        "b_x0041_c\td");
    const QString escaped = xml::escapeText(raw);
    EXPECT_EQ(escaped, QStringLiteral("a_x0001_b_x005F_x0041_c\td"));
    EXPECT_EQ(xml::unescapeText(escaped), raw);
}

TEST(ControlText, IsAFormulaTextConstantWithDoubledQuotes)
{
    EXPECT_EQ(textConstant(QStringLiteral("обл. \"Пловдив\"")), QStringLiteral("\"обл. \"\"Пловдив\"\"\""));
    EXPECT_EQ(parseTextConstant(QStringLiteral("\"a \"\"b\"\"\"")), QStringLiteral("a \"b\""));
    EXPECT_EQ(parseTextConstant(QStringLiteral("\"\"")), QString());
    EXPECT_FALSE(parseTextConstant(QStringLiteral("Sheet1!$A$1")));
    EXPECT_FALSE(parseTextConstant(QStringLiteral("\"a\"&\"b\"")));
}

}  // namespace
