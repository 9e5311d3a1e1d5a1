#include "report_engine/layout.h"
#include "report_engine/value_format.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QDate>

using namespace reports;

namespace {

QString parseError(const char* text)
{
    try {
        parseLayout(QByteArray(text));
    } catch (const ReportError& e) {
        return e.message();
    }
    return {};
}

TEST(Layout, ReadsBandsGroupsAndSubLists)
{
    const Layout layout = parseLayout(R"(<report version="1">
          <page size="A5" orientation="landscape" margins="5,6,7,8"/>
          <style size="11" bold="true"/>
          <title height="10"><text width="50" height="5" align="center">Заглавие</text></title>
          <group field="IME" chars="1"><header height="6"/><footer height="6">
            <total function="count" width="20" height="5"/></footer></group>
          <detail connection="rvdsA" height="5">
            <field name="IME" x="1" y="0.5" width="40" height="5" format="#0.00" suffix=" лв" italic="true"/>
            <sublist connection="rvdsB" field="ID_A" masterField="ID">
              <row height="4"><field name="N" width="9" height="4"/></row>
              <footer height="4"><total field="N" width="9" height="4"/></footer>
            </sublist>
          </detail>
          <pageFooter height="5"><pageNumber width="40" height="5"/><line x1="0" y1="0" x2="100" y2="0"/></pageFooter>
        </report>)");
    EXPECT_EQ(layout.page.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(layout.page.margins(QPageLayout::Millimeter), QMarginsF(5, 6, 7, 8));
    ASSERT_TRUE(layout.title && layout.detail && layout.pageFooter);
    EXPECT_FALSE(layout.pageHeader || layout.summary);
    const Element& title = layout.title->elements.at(0);
    EXPECT_EQ(title.text, QStringLiteral("Заглавие"));
    EXPECT_EQ(title.style.align, Qt::AlignHCenter);
    EXPECT_TRUE(title.style.bold);  // from the report's style
    EXPECT_EQ(title.style.size, 11);
    const Element& field = layout.detail->elements.at(0);
    EXPECT_EQ(field.kind, Element::Kind::Field);
    EXPECT_EQ(field.rect, QRectF(1, 0.5, 40, 5));
    EXPECT_EQ(field.suffix, QStringLiteral(" лв"));
    EXPECT_TRUE(field.style.italic);
    ASSERT_EQ(layout.groups.size(), 1u);
    EXPECT_EQ(layout.groups[0].chars, 1);
    EXPECT_EQ(layout.groups[0].footer->elements.at(0).function, Element::Function::Count);
    ASSERT_EQ(layout.subLists.size(), 1u);
    EXPECT_EQ(layout.subLists[0].masterField, QStringLiteral("ID"));
    EXPECT_TRUE(layout.subLists[0].footer.has_value());
    EXPECT_EQ(layout.pageFooter->elements.at(0).text, QStringLiteral("Стр. {page} от {pages}"));
    EXPECT_EQ(layout.connections(), (QStringList{QStringLiteral("rvdsA"), QStringLiteral("rvdsB")}));
}

TEST(Layout, BrokenFilesSayWhatAndWhere)
{
    EXPECT_EQ(parseError(""), QStringLiteral("няма елемент „report“ (ред 1)"));
    EXPECT_EQ(parseError("<report version=\"2\"/>"),
              QStringLiteral("версия 2 на формата не се поддържа (програмата чете версия до 1) (ред 1)"));
    EXPECT_EQ(parseError("<report version=\"1\">\n<title height=\"5\">\n<picture/>\n</title></report>"),
              QStringLiteral("непознат елемент „picture“ (ред 3)"));
    EXPECT_EQ(parseError("<report version=\"1\"><title height=\"5\"><text width=\"x\" height=\"5\"/></title></report>"),
              QStringLiteral("атрибутът „width“ трябва да е неотрицателно число, а е „x“ (ред 1)"));
    EXPECT_EQ(
        parseError("<report version=\"1\"><summary height=\"5\"><field width=\"5\" height=\"5\"/></summary></report>"),
        QStringLiteral("елементът „field“ няма атрибут „name“ (ред 1)"));
    EXPECT_EQ(parseError("<report version=\"1\"><summary height=\"5\"><total connection=\"B\" field=\"N\" width=\"5\" "
                         "height=\"5\"/></summary></report>"),
              QStringLiteral("сборът събира редовете на своята лента и няма атрибут „connection“ (ред 1)"));
    EXPECT_EQ(parseError("<report version=\"1\"><group field=\"A\"/></report>"),
              QStringLiteral("групите искат лента „detail“ (ред 1)"));
    EXPECT_TRUE(parseError("<report version=\"1\"><title height=\"5\"></report>").endsWith(QStringLiteral("(ред 1)")));
}

TEST(ValueFormat, NumbersAreExactAtTheDecimalsShown)
{
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    EXPECT_EQ(formatDecimals(QStringLiteral("#0.000")), 3);
    EXPECT_EQ(formatDecimals(QStringLiteral("######0.00")), 2);
    EXPECT_EQ(formatDecimals(QStringLiteral("#0")), 0);
    EXPECT_EQ(formatDecimals(QStringLiteral("dd.MM.yyyy")), -1);
    // Halves go away from zero as the user reads the double, not as its binary neighbour.
    EXPECT_EQ(formatValue(2.675, QStringLiteral("#0.00")), QStringLiteral("2,68"));
    EXPECT_EQ(formatValue(-1.0005, QStringLiteral("#0.000")), QStringLiteral("-1,001"));
    EXPECT_EQ(formatValue(fb::Decimal{123456789012345678, 3}, QStringLiteral("#0.00")),
              QStringLiteral("123456789012345,68"));
    EXPECT_EQ(formatValue(12, QStringLiteral("#0.000 \"дка\"")), QStringLiteral("12,000 дка"));
    EXPECT_EQ(formatValue(fb::Decimal{1500, 2}, {}), QStringLiteral("15,00"));
    EXPECT_EQ(formatValue(12345.5, {}), QStringLiteral("12345,5"));
    EXPECT_EQ(formatValue(QDate(2025, 3, 9), {}), QStringLiteral("09.03.2025"));
    EXPECT_EQ(formatValue(QDate(2025, 3, 9), QStringLiteral("d.M.yy")), QStringLiteral("9.3.25"));
    EXPECT_EQ(formatValue(fb::Value(), QStringLiteral("#0.00")), QString());
    EXPECT_EQ(formatValue(QStringLiteral("текст"), QStringLiteral("#0.00")), QStringLiteral("текст"));
    EXPECT_EQ(exactValue(0.1, -1), (fb::Decimal{1, 1}));
    EXPECT_EQ(exactValue(fb::Decimal{12345, 4}, 2), (fb::Decimal{123, 2}));
}

}  // namespace
