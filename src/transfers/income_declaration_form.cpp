#include "transfers/income_declaration_form.h"

#include "workbook/range.h"
#include "workbook/workbook_error.h"

#include <cmath>

namespace transfers::income_declaration {

namespace {

// Cells of the header the macros keep.
const QString kLineCount = QStringLiteral("E6");
const QString kTotalPaid = QStringLiteral("E7");

// The columns of a line: B the line's number, C foreign person (0/1), D kind
// of identifier, E identifier, F name, G country, H country code, I address
// abroad, J amount paid, K tax withheld, L note, M code of the income, N
// kind of the income.
constexpr int kFirstColumn = 2;  // B
constexpr int kLastColumn = 14;  // N
const char* const kHeads[] = {"№ по ред",
                              "ЧФЛ (0 - не, 1 - да)",
                              "Вид на идентификатора (1 - ЛНЧ, 2 - служебен №)",
                              "ЕГН / ЛНЧ / служебен №",
                              "Име на лицето",
                              "Държава",
                              "Код на държавата",
                              "Адрес в чужбина",
                              "Изплатена сума (лв)",
                              "Удържан данък (лв)",
                              "Забележка",
                              "Код на дохода",
                              "Вид на дохода"};
const double kWidths[] = {6, 8, 14, 14, 32, 14, 10, 30, 13, 12, 14, 9, 40};

Range lineCells(Worksheet& sheet, int row, const char* first, const char* last)
{
    return sheet.range(QString::fromLatin1(first) + QString::number(row),
                       QString::fromLatin1(last) + QString::number(row));
}

// Gives a row the formats of an empty line: framed, the identifier and the
// country code kept as typed, amounts with two decimals, and only the cells
// the payer fills in for any person unlocked.
void formatLine(Worksheet& sheet, int row)
{
    Range all = lineCells(sheet, row, "B", "N");
    all.setBorders(BorderWeight::Thin);
    all.setVerticalAlignment(VerticalAlignment::Center);
    all.setLocked(true);
    lineCells(sheet, row, "B", "D").setHorizontalAlignment(HorizontalAlignment::Center);
    lineCells(sheet, row, "E", "E").setNumberFormat(QStringLiteral("@"));
    lineCells(sheet, row, "H", "H").setNumberFormat(QStringLiteral("@"));
    lineCells(sheet, row, "J", "K").setNumberFormat(QStringLiteral("0.00"));
    lineCells(sheet, row, "M", "M").setHorizontalAlignment(HorizontalAlignment::Center);
    lineCells(sheet, row, "N", "N").setWrapText(true);
    lineCells(sheet, row, "C", "F").setLocked(false);
    lineCells(sheet, row, "J", "L").setLocked(false);
}

void writeHeader(Worksheet& sheet)
{
    Range title = sheet.range(QStringLiteral("B1"), QStringLiteral("N1"));
    title.merge();
    sheet.range(QStringLiteral("B1")).setValue(QStringLiteral("Справка за изплатените доходи на физически лица"));
    title.setBold(true);
    title.setHorizontalAlignment(HorizontalAlignment::Center);

    sheet.range(QStringLiteral("B3")).setValue(QStringLiteral("Платец на дохода:"));
    sheet.range(QStringLiteral("B3")).setBold(true);
    sheet.range(QStringLiteral("E3")).setValue(QStringLiteral("ЕИК / ЕГН"));
    sheet.range(QStringLiteral("F3")).setValue(QStringLiteral("Наименование / име"));
    sheet.range(QStringLiteral("I3")).setValue(QStringLiteral("Адрес"));
    sheet.range(QStringLiteral("E4")).setNumberFormat(QStringLiteral("@"));
    for (const auto& [first, last] : {std::pair{"F4", "H4"}, std::pair{"I4", "N4"}})
        sheet.range(QString::fromLatin1(first), QString::fromLatin1(last)).merge();
    Range payer = sheet.range(QStringLiteral("E4"), QStringLiteral("N4"));
    payer.setBorders(BorderWeight::Thin);
    payer.setLocked(false);

    sheet.range(QStringLiteral("B6")).setValue(QStringLiteral("Брой на попълнените редове:"));
    sheet.range(kLineCount).setNumber(0);
    sheet.range(QStringLiteral("B7")).setValue(QStringLiteral("Общо изплатени суми (лв):"));
    sheet.range(kTotalPaid).setNumberFormat(QStringLiteral("0.00"));
    sheet.range(kTotalPaid).setNumber(0);
    sheet.range(QStringLiteral("B6:B7")).setBold(true);

    for (int column = kFirstColumn; column <= kLastColumn; ++column) {
        const int i = column - kFirstColumn;
        sheet.cell(10, column).setValue(QString::fromUtf8(kHeads[i]));
        sheet.cell(11, column).setNumber(i + 1);
        sheet.setColumnWidth(column, kWidths[i]);
    }
    sheet.setColumnWidth(1, 2);
    Range heads = sheet.range(QStringLiteral("B10:N11"));
    heads.setBorders(BorderWeight::Thin);
    heads.setHorizontalAlignment(HorizontalAlignment::Center);
    heads.setVerticalAlignment(VerticalAlignment::Center);
    sheet.range(QStringLiteral("B10:N10")).setWrapText(true);
    sheet.range(QStringLiteral("B10:N10")).setBold(true);
}

// The form's sheet, active, with the selection on a started or free line:
// checked before a macro touches anything.
Worksheet& formSheet(Workbook& book, const QString& macro)
{
    Worksheet& sheet = book.activeSheet();
    if (sheet.name() != kSheetName)
        throw WorkbookError(QStringLiteral("Макросът %1 работи само на лист \"%2\"").arg(macro, kSheetName));
    return sheet;
}

int freeLine(Worksheet& sheet)
{
    return kFirstLine + int(sheet.range(kLineCount).value().toNumber());
}

void requireSelectionOn(Worksheet& sheet, int line, const QString& macro)
{
    if (sheet.selection() != CellRef{line, kFirstColumn})
        throw WorkbookError(
            QStringLiteral("Макросът %1 изисква избрана клетка B%2, първия свободен ред на справката, а е избрана %3")
                .arg(macro)
                .arg(line)
                .arg(cellAddress(sheet.selection())));
}

void startLine(Workbook& book, bool foreign)
{
    const QString macro = foreign ? QStringLiteral("ChflY") : QStringLiteral("ChflN");
    Worksheet& sheet = formSheet(book, macro);
    const int line = freeLine(sheet);
    requireSelectionOn(sheet, line, macro);
    sheet.unprotect();
    sheet.cell(line, 2).setNumber(line - kFirstLine + 1);
    sheet.cell(line, 3).setNumber(foreign ? 1 : 0);
    Range abroad = lineCells(sheet, line, "G", "I");
    if (!foreign)
        abroad.clear();
    abroad.setLocked(!foreign);
    sheet.protect();
}

void newLine(Workbook& book)
{
    const QString macro = QStringLiteral("NewLine");
    Worksheet& sheet = formSheet(book, macro);
    const int line = freeLine(sheet);
    requireSelectionOn(sheet, line, macro);
    if (sheet.cell(line, 2).value().isEmpty())
        throw WorkbookError(QStringLiteral("Редът %1 не е започнат: първо се изпълнява ChflY или ChflN").arg(line));
    const double paid = sheet.cell(line, 10).value().toNumber();
    const double total = sheet.range(kTotalPaid).value().toNumber();
    sheet.unprotect();
    sheet.range(kLineCount).setNumber(line - kFirstLine + 1);
    sheet.range(kTotalPaid).setNumber(std::round((total + paid) * 100) / 100);
    formatLine(sheet, line + 1);
    sheet.cell(line + 1, 2).select();
    sheet.protect();
}

}  // namespace

std::unique_ptr<Workbook> buildTemplate()
{
    std::unique_ptr<Workbook> book = Workbook::create();
    Worksheet& sheet = book->worksheet(1);
    sheet.setName(kSheetName);
    writeHeader(sheet);
    formatLine(sheet, kFirstLine);
    sheet.activate();
    sheet.cell(kFirstLine, kFirstColumn).select();
    sheet.protect();
    book->protect();
    return book;
}

void attachMacros(Workbook& book)
{
    book.registerMacro(QStringLiteral("ChflY"), [](Workbook& b) { startLine(b, true); });
    book.registerMacro(QStringLiteral("ChflN"), [](Workbook& b) { startLine(b, false); });
    book.registerMacro(QStringLiteral("NewLine"), newLine);
}

}  // namespace transfers::income_declaration
