#include "transfers/survey_card_form.h"

#include "workbook/range.h"
#include "workbook/workbook_error.h"

#include <cmath>

namespace transfers::survey_card {

namespace {

// The card's cells the macros keep.
const QString kAreaCount = QStringLiteral("E27");
const QString kPlotTotal = QStringLiteral("J27");
const QString kAreaTotal = QStringLiteral("N27");
const QString kCompleted = QStringLiteral("B25");
// Table 1's: the area it is open for, the card's row of that area (empty
// while closed) and the number of lines stored.
const QString kTableArea = QStringLiteral("C3");
const QString kTableRow = QStringLiteral("F3");
const QString kTableCount = QStringLiteral("H3");
// The register's number of plots.
const QString kPlotCount = QStringLiteral("H1");

const char* const kHeaderControls[][2] = {
    {"comboHeadOblast", "D3"}, {"comboHeadTypeZp", "D4"}, {"comboHeadObshtina", "D5"}, {"comboHeadGrad", "D6"}};
const char* const kAreaControls[] = {"comboNMOblast", "comboNMObshtina", "comboNMgrad"};

double round4(double value)
{
    return std::round(value * 10000) / 10000;
}

int counter(Worksheet& sheet, const QString& cell)
{
    return int(sheet.range(cell).value().toNumber());
}

void label(Worksheet& sheet, const char* cell, const char* text, bool bold = false)
{
    Range r = sheet.range(QString::fromLatin1(cell));
    r.setValue(QString::fromUtf8(text));
    if (bold)
        r.setBold(true);
}

// A cell the farmer fills in: framed and unlocked; text cells keep leading zeros.
void inputCell(Worksheet& sheet, const char* first, const char* last, bool text = false)
{
    Range r = sheet.range(QString::fromLatin1(first), QString::fromLatin1(last));
    if (QByteArray(first) != QByteArray(last))
        r.merge();
    r.setBorders(BorderWeight::Thin);
    r.setLocked(false);
    if (text)
        r.setNumberFormat(QStringLiteral("@"));
}

void buildCardHeader(Worksheet& sheet)
{
    Range title = sheet.range(QStringLiteral("B1"), QStringLiteral("S1"));
    title.merge();
    label(sheet, "B1", "АНКЕТНА КАРТА ЗА РЕГИСТРАЦИЯ НА ЗЕМЕДЕЛСКИ СТОПАНИН", true);
    title.setHorizontalAlignment(HorizontalAlignment::Center);
    label(sheet, "B3", "Област:");
    label(sheet, "B4", "Вид на земеделския стопанин:");
    label(sheet, "B5", "Община:");
    label(sheet, "B6", "Населено място:");
    label(sheet, "B8", "Данни за земеделския стопанин", true);
    label(sheet, "B9", "Наименование:");
    inputCell(sheet, "D9", "M9");
    label(sheet, "N9", "ЕИК:");
    inputCell(sheet, "P9", "P9", true);
    label(sheet, "B11", "Представлявано от:");
    inputCell(sheet, "F11", "M11");
    label(sheet, "N11", "ЕГН:");
    inputCell(sheet, "P11", "P11", true);
    label(sheet, "B15", "Адрес за кореспонденция", true);
    const char* const heads[][2] = {{"C16", "Адрес"},   {"G16", "Пощ. код"}, {"I16", "Телефон"},
                                    {"L16", "Мобилен"}, {"O16", "Факс"},     {"R16", "E-mail"}};
    for (const auto& [cell, text] : heads)
        label(sheet, cell, text);
    inputCell(sheet, "C17", "C17");
    for (const char* cell : {"G17", "I17", "L17", "O17"})
        inputCell(sheet, cell, cell, true);
    inputCell(sheet, "R17", "R17");
    sheet.setColumnWidth(3, 30);
    sheet.setColumnWidth(18, 24);
}

void buildAreaList(Worksheet& sheet)
{
    label(sheet, "B27", "Брой землища:", true);
    sheet.range(kAreaCount).setNumber(0);
    label(sheet, "G27", "Брой имоти:", true);
    label(sheet, "L27", "Обща площ (ха):", true);
    sheet.range(kAreaTotal).setNumberFormat(QStringLiteral("0.0000"));
    label(sheet, "B29", "Землища, в които стопанинът обработва земя", true);
    const char* const heads[][2] = {{"B30", "№"},       {"C30", "Област"},     {"F30", "Община"},
                                    {"I30", "Землище"}, {"M30", "Брой имоти"}, {"N30", "Площ (ха)"}};
    for (const auto& [cell, text] : heads)
        label(sheet, cell, text, true);
    sheet.range(QStringLiteral("B30:N30")).setBorders(BorderWeight::Thin);
}

void buildTable(Worksheet& sheet)
{
    Range title = sheet.range(QStringLiteral("A1"), QStringLiteral("F1"));
    title.merge();
    label(sheet, "A1", "Таблица 1. Имоти, обработвани от земеделския стопанин в землището", true);
    label(sheet, "B3", "Землище:");
    label(sheet, "E3", "Ред в картата:");
    label(sheet, "G3", "Брой имоти:");
    sheet.range(kTableCount).setNumber(0);
    const char* const heads[][2] = {{"A5", "№"},
                                    {"B5", "Имот №"},
                                    {"C5", "Начин на трайно ползване"},
                                    {"D5", "Форма на стопанисване"},
                                    {"E5", "Площ (ха)"}};
    for (const auto& [cell, text] : heads)
        label(sheet, cell, text, true);
    sheet.range(QStringLiteral("A5:E5")).setBorders(BorderWeight::Thin);
    const double widths[] = {6, 16, 30, 24, 12};
    for (int c = 1; c <= 5; ++c)
        sheet.setColumnWidth(c, widths[c - 1]);
}

// A ready line of table 1: framed, the plot number kept as typed, the area
// with four decimals, and only B to E open for typing.
void readyLine(Worksheet& sheet, int row)
{
    Range line = sheet.range(QStringLiteral("A%1").arg(row), QStringLiteral("E%1").arg(row));
    line.setBorders(BorderWeight::Thin);
    sheet.range(QStringLiteral("B%1").arg(row)).setNumberFormat(QStringLiteral("@"));
    sheet.range(QStringLiteral("E%1").arg(row)).setNumberFormat(QStringLiteral("0.0000"));
    sheet.range(QStringLiteral("B%1").arg(row), QStringLiteral("E%1").arg(row)).setLocked(false);
}

void buildPlots(Worksheet& sheet)
{
    const char* const heads[][2] = {
        {"A1", "Землище"},   {"B1", "Имот №"},     {"C1", "Начин на трайно ползване"}, {"D1", "Форма на стопанисване"},
        {"E1", "Площ (ха)"}, {"G1", "Брой имоти:"}};
    for (const auto& [cell, text] : heads)
        label(sheet, cell, text, true);
    sheet.range(kPlotCount).setNumber(0);
    sheet.setColumnNumberFormat(2, QStringLiteral("@"));
    sheet.setColumnNumberFormat(5, QStringLiteral("0.0000"));
    const double widths[] = {24, 16, 30, 24, 12};
    for (int c = 1; c <= 5; ++c)
        sheet.setColumnWidth(c, widths[c - 1]);
}

// The sheet a macro of the card or of table 1 works on, active and unprotected.
Worksheet& activeSheet(Workbook& book, const QString& sheetName, const QString& macro)
{
    Worksheet& sheet = book.activeSheet();
    if (sheet.name() != sheetName)
        throw WorkbookError(QStringLiteral("Макросът %1 работи само на лист \"%2\"").arg(macro, sheetName));
    sheet.unprotect();
    return sheet;
}

void requireTableClosed(Workbook& book, const QString& macro)
{
    if (!book.worksheet(kTableSheet).range(kTableRow).value().isEmpty())
        throw WorkbookError(
            QStringLiteral("Макросът %1 изисква таблица 1 да е приключена (бутон \"Край\")").arg(macro));
}

void addArea(Workbook& book)
{
    const QString macro = QStringLiteral("sheetkarta.btnDobavi_Click");
    Worksheet& card = activeSheet(book, kCardSheet, macro);
    requireTableClosed(book, macro);
    QStringList texts;
    for (const char* name : kAreaControls) {
        texts << card.control(QLatin1String(name)).text();
        if (texts.last().trimmed().isEmpty())
            throw WorkbookError(QStringLiteral("Изберете област, община и населено място на землището"));
    }
    const int n = counter(card, kAreaCount);
    const int row = kFirstArea + n;
    card.cell(row, 2).setNumber(n + 1);
    card.cell(row, 3).setValue(texts[0]);
    card.cell(row, 6).setValue(texts[1]);
    card.cell(row, 9).setValue(texts[2]);
    card.range(QStringLiteral("B%1:N%1").arg(row)).setBorders(BorderWeight::Thin);
    card.range(QStringLiteral("N%1").arg(row)).setNumberFormat(QStringLiteral("0.0000"));
    card.range(kAreaCount).setNumber(n + 1);
    for (const char* name : kAreaControls)
        card.control(QLatin1String(name)).setText(QString());
    card.protect();
}

void openTable(Workbook& book)
{
    const QString macro = QStringLiteral("sheetkarta.btnDobaviDanniZaImot_Click");
    Worksheet& card = activeSheet(book, kCardSheet, macro);
    requireTableClosed(book, macro);
    const int last = kFirstArea + counter(card, kAreaCount) - 1;
    const CellRef selected = card.selection();
    if (last < kFirstArea || selected != CellRef{last, 13} || !card.cell(last, 13).value().isEmpty())
        throw WorkbookError(QStringLiteral("Макросът %1 изисква избрана клетка M%2 на последното добавено землище, "
                                           "а е избрана %3")
                                .arg(macro)
                                .arg(last)
                                .arg(cellAddress(selected)));
    Worksheet& table = book.worksheet(kTableSheet);
    table.unprotect();
    const int lines = counter(table, kTableCount);
    if (lines > 0)
        table.range(QStringLiteral("A%1").arg(kFirstPlot), QStringLiteral("E%1").arg(kFirstPlot + lines - 1)).clear();
    table.range(kTableArea).setValue(card.cell(last, 9).value().toString());
    table.range(kTableRow).setNumber(last);
    table.range(kTableCount).setNumber(0);
    readyLine(table, kFirstPlot);
    table.protect();
    card.protect();
}

void addPlot(Workbook& book)
{
    const QString macro = QStringLiteral("sheettab1.btnAddDataToTab1_Click");
    Worksheet& table = activeSheet(book, kTableSheet, macro);
    if (table.range(kTableRow).value().isEmpty())
        throw WorkbookError(QStringLiteral("Таблица 1 не е отворена за землище: първо се избира землище от картата"));
    const int n = counter(table, kTableCount);
    const int row = kFirstPlot + n;
    const QString plot = table.cell(row, 2).value().toString();
    const CellValue area = table.cell(row, 5).value();
    if (plot.trimmed().isEmpty() || area.isEmpty())
        throw WorkbookError(QStringLiteral("Ред %1 на таблица 1 няма номер на имот или площ").arg(row));
    const double hectares = area.toNumber();
    table.cell(row, 1).setNumber(n + 1);
    table.range(kTableCount).setNumber(n + 1);
    readyLine(table, row + 1);
    table.protect();

    Worksheet& plots = book.worksheet(kPlotsSheet);
    plots.unprotect();
    const int stored = counter(plots, kPlotCount);
    const int at = 2 + stored;
    plots.cell(at, 1).setValue(table.range(kTableArea).value().toString());
    plots.cell(at, 2).setValue(plot);
    plots.cell(at, 3).setValue(table.cell(row, 3).value().toString());
    plots.cell(at, 4).setValue(table.cell(row, 4).value().toString());
    plots.cell(at, 5).setNumber(hectares);
    plots.range(kPlotCount).setNumber(stored + 1);
    plots.protect();
}

void closeTable(Workbook& book)
{
    const QString macro = QStringLiteral("sheettab1.btnEnd_Click");
    Worksheet& table = activeSheet(book, kTableSheet, macro);
    const CellValue row = table.range(kTableRow).value();
    const int n = counter(table, kTableCount);
    if (row.isEmpty() || n == 0)
        throw WorkbookError(QStringLiteral("Таблица 1 няма въведени имоти за землище"));
    double area = 0;
    for (int r = kFirstPlot; r < kFirstPlot + n; ++r)
        area += table.cell(r, 5).value().toNumber();
    table.range(kTableRow).clear();
    table.protect();
    Worksheet& card = book.worksheet(kCardSheet);
    card.unprotect();
    card.cell(int(row.toNumber()), 13).setNumber(n);
    card.cell(int(row.toNumber()), 14).setNumber(round4(area));
    card.protect();
    card.activate();
}

void complete(Workbook& book)
{
    const QString macro = QStringLiteral("sheetkarta.btnSave_Click");
    Worksheet& card = activeSheet(book, kCardSheet, macro);
    requireTableClosed(book, macro);
    if (card.control(QStringLiteral("comboHeadOblast")).text().trimmed().isEmpty())
        throw WorkbookError(QStringLiteral("Изберете областта на земеделския стопанин"));
    for (const auto& [control, cell] : kHeaderControls)
        card.range(QString::fromLatin1(cell)).setValue(card.control(QLatin1String(control)).text());
    int plots = 0;
    double area = 0;
    for (int r = kFirstArea; r < kFirstArea + counter(card, kAreaCount); ++r) {
        plots += int(card.cell(r, 13).value().toNumber());
        area += card.cell(r, 14).value().toNumber();
    }
    card.range(kPlotTotal).setNumber(plots);
    card.range(kAreaTotal).setNumber(round4(area));
    card.range(kCompleted).setValue(QStringLiteral("Анкетната карта е попълнена."));
    for (int i = 1; i <= book.worksheetCount(); ++i)
        book.worksheet(i).protect();
    book.protect();
}

}  // namespace

std::unique_ptr<Workbook> buildTemplate()
{
    std::unique_ptr<Workbook> book = Workbook::create();
    Worksheet& card = book->worksheet(1);
    card.setName(kCardSheet);
    buildCardHeader(card);
    buildAreaList(card);
    for (const auto& [control, cell] : kHeaderControls)
        card.addControl(QLatin1String(control));
    for (const char* name : kAreaControls)
        card.addControl(QLatin1String(name));
    Worksheet& table = book->addWorksheet(kTableSheet);
    buildTable(table);
    readyLine(table, kFirstPlot);
    buildPlots(book->addWorksheet(kPlotsSheet));
    for (int i = 1; i <= book->worksheetCount(); ++i)
        book->worksheet(i).protect();
    card.activate();
    card.range(QStringLiteral("D9")).select();
    book->protect();
    return book;
}

void attachMacros(Workbook& book)
{
    book.registerMacro(QStringLiteral("sheetkarta.btnDobavi_Click"), addArea);
    book.registerMacro(QStringLiteral("sheetkarta.btnDobaviDanniZaImot_Click"), openTable);
    book.registerMacro(QStringLiteral("sheettab1.btnAddDataToTab1_Click"), addPlot);
    book.registerMacro(QStringLiteral("sheettab1.btnEnd_Click"), closeTable);
    book.registerMacro(QStringLiteral("sheetkarta.btnSave_Click"), complete);
}

}  // namespace transfers::survey_card
