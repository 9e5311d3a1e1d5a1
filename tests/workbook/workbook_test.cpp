#include "transfers/workbook_reader.h"

#include "workbook/package.h"
#include "workbook/range.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace transfers;

namespace {

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const WorkbookError& e) {
        return e.message();
    }
    return {};
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonArray strings(std::initializer_list<const char*> items)
{
    QJsonArray a;
    for (const char* i : items)
        a.append(i ? QJsonValue(QString::fromUtf8(i)) : QJsonValue());
    return a;
}

class WorkbookTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir_;
};

// A declaration-like sheet built as the exports build theirs, read back by openpyxl.
TEST_F(WorkbookTest, NewWorkbookKeepsValuesAndFormatsForAnIndependentReader)
{
    auto book = Workbook::create();
    ASSERT_EQ(book->worksheetCount(), 1);
    Worksheet& sheet = book->worksheet(1);
    EXPECT_EQ(sheet.name(), QStringLiteral("Лист1"));
    sheet.setColumnNumberFormat(2, QStringLiteral("@"));
    sheet.range(QStringLiteral("A1"), QStringLiteral("H1")).merge();
    sheet.range(QStringLiteral("A1:H1")).setValue(QStringLiteral("вх. № ....... дата ......."));
    sheet.range(QStringLiteral("A1:H1")).setHorizontalAlignment(HorizontalAlignment::Center);
    Range heads = sheet.range(QStringLiteral("A4:C4"));
    heads.setHorizontalAlignment(HorizontalAlignment::Center);
    heads.setVerticalAlignment(VerticalAlignment::Center);
    heads.setWrapText(true);
    heads.setBold(true);
    sheet.range(QStringLiteral("A4")).setValue(QStringLiteral("No по ред"));
    sheet.range(QStringLiteral("B4")).setValue(QStringLiteral("Номер на имота от КВС"));
    sheet.range(QStringLiteral("C4")).setValue(QStringLiteral("Площ"));
    sheet.range(QStringLiteral("A6")).setValue(QStringLiteral("1"));
    sheet.range(QStringLiteral("B6")).setValue(QStringLiteral("000123"));  // column B is text
    sheet.range(QStringLiteral("C6")).setValue(QStringLiteral("12,500"));
    sheet.range(QStringLiteral("C7")).setValue(QStringLiteral("=SUM(C6)"));
    sheet.range(QStringLiteral("D6")).setValue(QStringLiteral(" с интервали "));
    sheet.range(QStringLiteral("D7")).setValue(QStringLiteral("ред\x01знак"));
    sheet.range(QStringLiteral("D8")).setValue(QStringLiteral("a"));
    sheet.range(QStringLiteral("D8")).setValue(QString());  // empties the cell
    Range frame = sheet.range(QStringLiteral("A4"), QStringLiteral("C7"));
    frame.setInteriorWhite();
    frame.setBorders(BorderWeight::Thin);
    frame.autoFitColumns();
    sheet.range(QStringLiteral("G9")).setHorizontalAlignment(HorizontalAlignment::Right);
    sheet.range(QStringLiteral("G9")).setValue(QStringLiteral("/подпис/"));
    book->saveAs(path("new.xlsx"));

    const QJsonObject read = readWithOpenpyxl(path("new.xlsx"));
    const QString s = QStringLiteral("Лист1");
    EXPECT_EQ(read["sheets"].toArray(), strings({"Лист1"}));
    EXPECT_EQ(sheetFacts(read, s)["merges"].toArray(), strings({"A1:H1"}));
    EXPECT_FALSE(sheetFacts(read, s)["protected"].toBool());
    const QJsonObject a1 = cellFacts(read, s, "A1"), a6 = cellFacts(read, s, "A6"), b6 = cellFacts(read, s, "B6");
    EXPECT_EQ(a1["horizontal"], "center");
    EXPECT_EQ(a6["type"], "n");
    EXPECT_EQ(a6["value"], 1);
    EXPECT_EQ(b6["type"], "s");
    EXPECT_EQ(b6["value"], "000123");
    EXPECT_EQ(b6["format"], "@");
    EXPECT_EQ(cellFacts(read, s, "C6")["value"], 12.5);
    EXPECT_EQ(cellFacts(read, s, "C7")["value"], "=SUM(C6)");  // a text, never a formula
    EXPECT_EQ(cellFacts(read, s, "C7")["type"], "s");
    EXPECT_EQ(cellFacts(read, s, "D6")["value"], " с интервали ");
    // A control character travels as the file format's escape (openpyxl leaves it escaped).
    EXPECT_EQ(cellFacts(read, s, "D7")["value"], "ред_x0001_знак");
    auto again = Workbook::open(path("new.xlsx"));
    EXPECT_EQ(again->worksheet(1).range(QStringLiteral("D7")).value().textValue(), QStringLiteral("ред\x01знак"));
    EXPECT_TRUE(again->worksheet(1).range(QStringLiteral("B1")).value().isEmpty());  // hidden by the merge
    EXPECT_EQ(again->worksheet(1).merges(), (std::vector<CellRect>{{{1, 1}, {1, 8}}}));
    EXPECT_TRUE(cellFacts(read, s, "D8")["value"].isNull());
    const QJsonObject b4 = cellFacts(read, s, "B4");
    EXPECT_TRUE(b4["bold"].toBool());
    EXPECT_TRUE(b4["wrap"].toBool());
    EXPECT_EQ(b4["horizontal"], "center");
    EXPECT_EQ(b4["vertical"], "center");
    EXPECT_EQ(b4["fill"], "FFFFFFFF");
    EXPECT_EQ(b4["borders"].toArray(), strings({"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(b4["borderColours"].toArray(), strings({"FF000000", "FF000000", "FF000000", "FF000000"}));
    EXPECT_EQ(b4["format"], "@");                             // the column's text format stays under the new formats
    EXPECT_EQ(cellFacts(read, s, "C5")["fill"], "FFFFFFFF");  // empty cells of the frame are framed too
    EXPECT_EQ(cellFacts(read, s, "C5")["borders"].toArray(), strings({"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(cellFacts(read, s, "D6")["fill"], QJsonValue());
    EXPECT_EQ(cellFacts(read, s, "G9")["horizontal"], "right");
    const QJsonObject widths = sheetFacts(read, s)["widths"].toObject();
    ASSERT_TRUE(widths.contains("A") && widths.contains("B") && widths.contains("C"));
    // The wrapped heads count by their longest word; C's "=SUM(C6)" is wider than "Площ".
    EXPECT_GT(widths["B"].toDouble(), widths["A"].toDouble());
    EXPECT_GT(widths["C"].toDouble(), 8);
    EXPECT_FALSE(widths.contains("D"));
}

// A fitted column is as wide as its widest piece that must stay on one line
// (a word of a wrapping cell, a line of another; capitals wider, thin
// letters and blanks narrower, bold a tenth wider; a number as its format
// shows it) plus a margin on both sides; a cell merged across is not measured.
TEST_F(WorkbookTest, FittedColumnsMeasureWhatMustStayOnOneLine)
{
    auto book = Workbook::create();
    Worksheet& sheet = book->worksheet(1);
    sheet.range(QStringLiteral("A2")).setWrapText(true);
    sheet.range(QStringLiteral("A2")).setValue(QStringLiteral("ab  cdefg\thi"));
    sheet.range(QStringLiteral("B2")).setValue(QStringLiteral("ab cd\n\nxyz"));
    sheet.range(QStringLiteral("C2")).setNumberFormat(QStringLiteral("0.000"));
    sheet.range(QStringLiteral("C2")).setNumber(1.5);
    sheet.range(QStringLiteral("D2")).setBold(true);
    sheet.range(QStringLiteral("D2")).setValue(QStringLiteral("Ab"));
    sheet.range(QStringLiteral("C1:D1")).merge();
    sheet.range(QStringLiteral("C1")).setValue(QStringLiteral("a long title across two columns"));
    sheet.range(QStringLiteral("A1:D2")).autoFitColumns();
    EXPECT_DOUBLE_EQ(*sheet.columnWidth(1), 5 + 2);           // "cdefg"
    EXPECT_DOUBLE_EQ(*sheet.columnWidth(2), 4.5 + 2);         // "ab cd": four letters and a blank
    EXPECT_DOUBLE_EQ(*sheet.columnWidth(3), 4.5 + 2);         // "1.500"
    EXPECT_DOUBLE_EQ(*sheet.columnWidth(4), 2.25 * 1.1 + 2);  // "Ab", bold
}

// Formats and column widths are shared in the file (one format entry for many
// cells, one <col> for a run of columns): a change to one cell or column
// must leave its neighbours as they were.
TEST_F(WorkbookTest, AChangeToOneCellOrColumnLeavesWhatItSharedWithOthers)
{
    auto made = Workbook::create();
    Worksheet& first = made->worksheet(1);
    first.range(QStringLiteral("A1:E1")).setBold(true);
    for (int column = 1; column <= 5; ++column)
        first.setColumnWidth(column, 20);
    // Written out of order: the file must still hold rows and cells in order.
    for (const char* address : {"E9", "A9", "C2"})
        first.range(QString::fromLatin1(address)).setValue(QString::fromLatin1(address));
    made->saveAs(path("shared.xlsx"));
    const QByteArray sheetXml = Package::read(path("shared.xlsx")).part(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(sheetXml.contains(R"(<col min="1" max="5" width="20" customWidth="1"/>)"));
    EXPECT_LT(sheetXml.indexOf(R"(r="C2")"), sheetXml.indexOf(R"(r="A9")"));
    EXPECT_LT(sheetXml.indexOf(R"(r="A9")"), sheetXml.indexOf(R"(r="E9")"));

    auto book = Workbook::open(path("shared.xlsx"));
    Worksheet& sheet = book->worksheet(1);
    sheet.setColumnWidth(3, 30);
    sheet.range(QStringLiteral("B1")).setBold(false);
    EXPECT_EQ(sheet.columnWidth(2), 20);
    book->save();
    const QJsonObject read = readWithOpenpyxl(path("shared.xlsx"));
    const QJsonObject widths = sheetFacts(read, "Лист1")["widths"].toObject();
    EXPECT_EQ(widths, (QJsonObject{{"A", 20}, {"B", 20}, {"C", 30}, {"D", 20}, {"E", 20}}));
    EXPECT_TRUE(cellFacts(read, "Лист1", "A1")["bold"].toBool());
    EXPECT_FALSE(cellFacts(read, "Лист1", "B1")["bold"].toBool());
    EXPECT_TRUE(cellFacts(read, "Лист1", "C1")["bold"].toBool());
    EXPECT_EQ(cellFacts(read, "Лист1", "A9")["value"], "A9");
}

TEST_F(WorkbookTest, SheetsAreFoundByNumberAndNameAndKeepTheirOrder)
{
    auto book = Workbook::create();
    book->addWorksheet(QStringLiteral("анкетна карта"));
    Worksheet& table = book->addWorksheet(QStringLiteral("таблица 1"));
    EXPECT_EQ(book->worksheetCount(), 3);
    EXPECT_EQ(book->worksheetNames(), (QStringList{"Лист1", "анкетна карта", "таблица 1"}));
    EXPECT_EQ(&book->worksheet(QStringLiteral("ТАБЛИЦА 1")), &table);
    EXPECT_EQ(&book->worksheet(3), &table);
    EXPECT_EQ(book->findWorksheet(QStringLiteral("SprFL")), nullptr);
    EXPECT_EQ(errorOf([&] { book->worksheet(4); }), QStringLiteral("Работната книга няма лист № 4"));
    EXPECT_EQ(errorOf([&] { book->worksheet(QStringLiteral("SprFL")); }),
              QStringLiteral("В работната книга няма лист \"SprFL\""));
    EXPECT_EQ(errorOf([&] { book->addWorksheet(QStringLiteral("Лист1")); }),
              QStringLiteral("В работната книга вече има лист \"Лист1\""));
    EXPECT_EQ(errorOf([&] { table.setName(QStringLiteral("a/b")); }),
              QStringLiteral("\"a/b\" не е допустимо име на лист"));
    // Selecting works on the active sheet only.
    EXPECT_EQ(errorOf([&] { table.range(QStringLiteral("B6")).select(); }),
              QStringLiteral("Клетка B6 не може да бъде избрана: лист \"таблица 1\" не е активен"));
    table.activate();
    table.range(QStringLiteral("B6")).select();
    EXPECT_EQ(errorOf([&] { table.range(QStringLiteral("B6:B7")).select(); }),
              QStringLiteral("Може да се избере само една клетка, а не B6:B7"));
    book->saveAs(path("sheets.xlsx"));

    const QJsonObject read = readWithOpenpyxl(path("sheets.xlsx"));
    EXPECT_EQ(read["sheets"].toArray(), strings({"Лист1", "анкетна карта", "таблица 1"}));
    EXPECT_EQ(read["active"], 2);
    EXPECT_EQ(sheetFacts(read, "таблица 1")["selection"], "B6");
    auto again = Workbook::open(path("sheets.xlsx"));
    EXPECT_EQ(again->activeSheet().name(), QStringLiteral("таблица 1"));
    EXPECT_EQ(again->activeSheet().selection(), (CellRef{6, 2}));
}

TEST_F(WorkbookTest, ProtectionLocksCellsFormatsAndPasswordsAsASpreadsheetDoes)
{
    auto book = Workbook::create();
    Worksheet& sheet = book->worksheet(1);
    sheet.range(QStringLiteral("C3")).setLocked(false);
    sheet.protect();
    book->protect();
    sheet.range(QStringLiteral("C3")).setValue(QStringLiteral("свободна"));
    EXPECT_EQ(errorOf([&] { sheet.range(QStringLiteral("B3")).setValue(QStringLiteral("x")); }),
              QStringLiteral("Клетка B3 на лист \"Лист1\" е защитена и не може да бъде променена"));
    EXPECT_EQ(errorOf([&] { sheet.range(QStringLiteral("C3")).setBold(true); }),
              QStringLiteral("Лист \"Лист1\" е защитен: форматиране на C3 не е възможно"));
    EXPECT_FALSE(errorOf([&] { sheet.setColumnNumberFormat(2, QStringLiteral("@")); }).isEmpty());
    book->saveAs(path("locked.xlsx"));
    QJsonObject read = readWithOpenpyxl(path("locked.xlsx"));
    EXPECT_TRUE(read["workbookLocked"].toBool());
    EXPECT_TRUE(sheetFacts(read, "Лист1")["protected"].toBool());
    EXPECT_FALSE(cellFacts(read, "Лист1", "C3")["locked"].toBool());

    auto again = Workbook::open(path("locked.xlsx"));
    EXPECT_TRUE(again->isProtected());
    again->unprotect();
    again->worksheet(1).unprotect();
    again->worksheet(1).range(QStringLiteral("B3")).setValue(QStringLiteral("x"));
    again->save();
    read = readWithOpenpyxl(path("locked.xlsx"));
    EXPECT_FALSE(read["workbookLocked"].toBool());
    EXPECT_FALSE(sheetFacts(read, "Лист1")["protected"].toBool());
    EXPECT_EQ(cellFacts(read, "Лист1", "B3")["value"], "x");
}

// A template written by another program: inline and rich texts, a formula,
// rows and cells without numbers, a sheet locked with a password, and parts
// the layer does not know.
TEST_F(WorkbookTest, TemplatePartsItDoesNotKnowGoBackUntouched)
{
    auto made = Workbook::create();
    made->saveAs(path("plain.xlsx"));
    Package package = Package::read(path("plain.xlsx"));
    const QByteArray picture("\x89PNG\r\n\x1a\n not really a picture", 30);
    package.setPart(QStringLiteral("xl/media/image1.png"), picture);
    package.setPart(QStringLiteral("xl/worksheets/sheet1.xml"),
                    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
                    R"(<row><c t="inlineStr"><is><t>вграден</t></is></c><c><f>1+1</f><v>2</v></c></row>)"
                    R"(<row r="3"><c r="B3" t="inlineStr"><is><r><t>бо</t></r><r><t>гат</t></r></is></c></row>)"
                    R"(</sheetData><sheetProtection password="CC1A" sheet="1"/></worksheet>)");
    package.write(path("template.xlsx"));

    auto book = Workbook::open(path("template.xlsx"));
    Worksheet& sheet = book->worksheet(1);
    EXPECT_EQ(sheet.range(QStringLiteral("A1")).value(), CellValue::text(QStringLiteral("вграден")));
    EXPECT_EQ(sheet.range(QStringLiteral("B1")).value(), CellValue::number(2));
    EXPECT_EQ(sheet.range(QStringLiteral("B3")).value(), CellValue::text(QStringLiteral("богат")));
    EXPECT_TRUE(sheet.range(QStringLiteral("A3")).value().isEmpty());
    EXPECT_EQ(errorOf([&] { sheet.unprotect(); }), QStringLiteral("Листът \"Лист1\" е защитен с парола"));
    book->addWorksheet(QStringLiteral("втори")).range(QStringLiteral("A2")).setValue(QStringLiteral("2"));
    book->saveAs(path("filled.xlsx"));

    EXPECT_EQ(Package::read(path("filled.xlsx")).part(QStringLiteral("xl/media/image1.png")), picture);
    const QJsonObject read = readWithOpenpyxl(path("filled.xlsx"));
    EXPECT_EQ(read["sheets"].toArray(), strings({"Лист1", "втори"}));
    EXPECT_EQ(cellFacts(read, "Лист1", "A1")["value"], "вграден");
    EXPECT_EQ(cellFacts(read, "Лист1", "B1")["value"], "=1+1");
    EXPECT_EQ(cellFacts(read, "втори", "A2")["value"], 2);
    EXPECT_TRUE(sheetFacts(read, "Лист1")["protected"].toBool());
}

TEST_F(WorkbookTest, ControlsAreSheetNamesWithATextAnyReaderSees)
{
    auto book = Workbook::create();
    Worksheet& card = book->addWorksheet(QStringLiteral("анкетна карта"));
    card.addControl(QStringLiteral("comboHeadOblast"));
    card.addControl(QStringLiteral("comboNMgrad"), QStringLiteral("гр. \"Асеновград\""));
    EXPECT_EQ(card.control(QStringLiteral("comboheadoblast")).text(), QString());
    card.control(QStringLiteral("comboHeadOblast")).setText(QStringLiteral("Пловдив"));
    EXPECT_EQ(errorOf([&] { card.control(QStringLiteral("comboHeadGrad")); }),
              QStringLiteral("На лист \"анкетна карта\" няма поле \"comboHeadGrad\""));
    EXPECT_EQ(errorOf([&] { book->worksheet(1).control(QStringLiteral("comboNMgrad")); }),
              QStringLiteral("На лист \"Лист1\" няма поле \"comboNMgrad\""));
    EXPECT_EQ(errorOf([&] { card.addControl(QStringLiteral("B12")); }),
              QStringLiteral("\"B12\" не е допустимо име на поле"));
    EXPECT_FALSE(errorOf([&] { card.control(QStringLiteral("comboNMgrad")).setText(QString(256, u'я')); }).isEmpty());
    book->saveAs(path("controls.xlsx"));

    auto again = Workbook::open(path("controls.xlsx"));
    Worksheet& read = again->worksheet(QStringLiteral("анкетна карта"));
    EXPECT_EQ(read.control(QStringLiteral("comboHeadOblast")).text(), QStringLiteral("Пловдив"));
    EXPECT_EQ(read.control(QStringLiteral("comboNMgrad")).text(), QStringLiteral("гр. \"Асеновград\""));
    QStringList seen;
    for (const QJsonValue& n : readWithOpenpyxl(path("controls.xlsx"))["definedNames"].toArray())
        seen << QStringLiteral("%1@%2=%3")
                    .arg(n["name"].toString())
                    .arg(n["localSheetId"].toInt())
                    .arg(n["value"].toString());
    EXPECT_EQ(seen, (QStringList{"comboHeadOblast@1=\"Пловдив\"", "comboNMgrad@1=\"гр. \"\"Асеновград\"\"\""}));
}

TEST_F(WorkbookTest, MacrosRunByBareOrQualifiedNameAndUnknownOnesAreRefused)
{
    auto made = Workbook::create();
    made->saveAs(path("zp_viva.xlsx"));
    auto book = Workbook::open(path("zp_viva.xlsx"));
    QStringList ran;
    book->registerMacro(QStringLiteral("ChflY"), [&](Workbook&) { ran << "ChflY"; });
    book->registerMacro(QStringLiteral("sheetkarta.btnDobavi_Click"), [&](Workbook& b) {
        ran << "btnDobavi";
        b.worksheet(1).range(QStringLiteral("A1")).setValue(QStringLiteral("добавено"));
    });
    book->run(QStringLiteral("chfly"));
    book->run(QStringLiteral("zp_viva.xlsx!sheetkarta.btnDobavi_Click"));
    book->run(QStringLiteral("'ZP_VIVA.xlsx'!btnDobavi_Click"));
    EXPECT_EQ(ran, (QStringList{"ChflY", "btnDobavi", "btnDobavi"}));
    EXPECT_EQ(book->worksheet(1).range(QStringLiteral("A1")).value().textValue(), QStringLiteral("добавено"));
    EXPECT_EQ(errorOf([&] { book->run(QStringLiteral("NewLine")); }),
              QStringLiteral("Макросът \"NewLine\" не е намерен в работната книга \"zp_viva.xlsx\""));
    EXPECT_EQ(errorOf([&] { book->run(QStringLiteral("other.xlsx!ChflY")); }),
              QStringLiteral("Макросът \"other.xlsx!ChflY\" е от друга работна книга, а не от \"zp_viva.xlsx\""));
}

TEST_F(WorkbookTest, AFailedSaveLeavesNoFileAndTheTemplateAsItWas)
{
    auto made = Workbook::create();
    made->worksheet(1).range(QStringLiteral("A1")).setValue(QStringLiteral("шаблон"));
    made->saveAs(path("template.xlsx"));
    const QByteArray before = fileBytes(path("template.xlsx"));

    auto book = Workbook::open(path("template.xlsx"));
    book->worksheet(1).range(QStringLiteral("A1")).setValue(QStringLiteral("попълнен"));
    const QString target = path("missing/out.xlsx");
    const QString error = errorOf([&] { book->saveAs(target); });
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("Файлът \"%1\" не може да бъде записан").arg(QDir::toNativeSeparators(target))))
        << error.toStdString();
    EXPECT_FALSE(errorOf([&] { book->saveAs(dir_.path()); }).isEmpty());  // a folder is no file
    EXPECT_EQ(fileBytes(path("template.xlsx")), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"template.xlsx"});
    // The workbook is still whole: a save elsewhere works.
    book->saveAs(path("out.xlsx"));
    EXPECT_EQ(cellFacts(readWithOpenpyxl(path("out.xlsx")), "Лист1", "A1")["value"], "попълнен");

    EXPECT_TRUE(errorOf([] {
                    Workbook::open(QStringLiteral("/nonexistent/x.xlsx"));
                }).startsWith(QStringLiteral("Файлът \"/nonexistent/x.xlsx\" не може да бъде отворен")));
    QFile old(path("old.xls"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("\xD0\xCF\x11\xE0 an old binary workbook");
    old.close();
    EXPECT_EQ(errorOf([&] { Workbook::open(path("old.xls")); }),
              QStringLiteral("Файлът \"%1\" не е работна книга във формат .xlsx").arg(path("old.xls")));
}

}  // namespace
