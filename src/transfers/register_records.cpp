#include "transfers/register_records.h"

#include "common/identifiers.h"
#include "workbook/range.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

#include <QDate>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <memory>

namespace transfers::register_import {

namespace {

namespace rs = register_sheets;

// The day a spreadsheet counts its dates from (day 1 is 1 January 1900,
// counting the 29 February 1900 the spreadsheet believes in).
const QDate kDayZero(1899, 12, 30);
const int kFirstRealDay = 61;  // 1 March 1900: earlier day numbers are off by one

bool isOwnerIdentifier(const rs::Column& column)
{
    return column.table == QLatin1String("HORA") && column.field == QLatin1String("EGN");
}

// A number typed where a code belongs, as the code it stood for.
QString codeOf(double number, bool* whole)
{
    *whole = number == std::floor(number) && std::fabs(number) < 1e15;
    return *whole ? QString::number(qint64(number)) : numberText(number);
}

Checked checkText(const rs::Column& column, const QString& text)
{
    if (text.size() > rs::textLength(column))
        return {{}, QStringLiteral("текстът е по-дълъг от %1 знака").arg(rs::textLength(column))};
    return {fb::Value(text), {}};
}

Checked checkIdentifier(const rs::Column& column, const CellValue& cell)
{
    bool whole = true;
    const QString text = cell.isNumber() ? codeOf(cell.numberValue(), &whole) : cell.textValue();
    if (!whole)
        return {{}, QStringLiteral("„%1“ не е код").arg(text)};
    if (isOwnerIdentifier(column) && !CheckEGN(text) && !CheckLNCh(text) && !CheckEIK(text)) {
        QString reason = QStringLiteral("„%1“ не е валиден ЕГН, ЛНЧ или ЕИК (контролната цифра не съвпада)").arg(text);
        if (cell.isNumber())
            reason += QStringLiteral("; клетката е число и може да е загубила водеща нула — запишете кода като текст");
        return {{}, reason};
    }
    return checkText(column, text);
}

Checked checkNumber(const rs::Column& column, const CellValue& cell)
{
    double number = cell.numberValue();
    if (cell.isText()) {
        try {
            number = cell.toNumber(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        } catch (const WorkbookError&) {
            return {{}, QStringLiteral("„%1“ не е число").arg(cell.textValue())};
        }
    }
    const dataset::Domain* domain = rs::domain(column);
    const int decimals = rs::decimals(column);
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(number * scale) / scale;
    const bool tooPrecise = std::fabs(rounded - number) > 1e-9 * std::max(1.0, std::fabs(number));
    if (domain && ((tooPrecise && !domain->rounds) || !domain->holds(rounded)))
        return {{}, domain->named(column.heading).message()};
    if (!domain && tooPrecise)
        return {{}, QStringLiteral("„%1“ не е цяло число").arg(numberText(number))};
    if (decimals == 0)
        return {fb::Value(qint64(rounded)), {}};
    return {fb::Value(rounded), {}};
}

Checked checkDate(const CellValue& cell)
{
    QDate date;
    if (cell.isNumber()) {
        const double day = cell.numberValue();
        if (day == std::floor(day) && day >= kFirstRealDay && day < 2958466)  // up to 31.12.9999
            date = kDayZero.addDays(qint64(day));
    } else {
        const QString text = cell.textValue().trimmed();
        date = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
        if (!date.isValid())
            date = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
    }
    if (!date.isValid())
        return {{}, QStringLiteral("„%1“ не е дата във вида дд.мм.гггг").arg(cell.toString())};
    return {fb::Value(date), {}};
}

}  // namespace

QString refusalText(const Refusal& r)
{
    QString where = r.sheet;
    if (r.row > 0)
        where += QStringLiteral(", ред %1").arg(r.row);
    if (!r.column.isEmpty())
        where += QStringLiteral(", ") + r.column;
    return where.isEmpty() ? r.reason : where + QStringLiteral(": ") + r.reason;
}

Checked check(const rs::Column& column, const CellValue& cell, bool formula)
{
    if (formula)
        return {{}, QStringLiteral("клетката съдържа формула; запишете стойността ѝ")};
    if (cell.kind() == CellValue::Kind::Error)
        return {{}, QStringLiteral("клетката съдържа грешка %1").arg(cell.textValue())};
    if (cell.kind() == CellValue::Kind::Boolean)
        return {{}, QStringLiteral("клетката съдържа логическа стойност")};
    if (cell.isEmpty() || (cell.isText() && cell.textValue().trimmed().isEmpty()))
        return {};
    switch (column.kind) {
        case rs::Kind::Text:
            return checkText(column, cell.isNumber() ? numberText(cell.numberValue()) : cell.textValue());
        case rs::Kind::Identifier:
            return checkIdentifier(column, cell);
        case rs::Kind::Date:
            return checkDate(cell);
        case rs::Kind::Number:
            break;
    }
    return checkNumber(column, cell);
}

namespace {

// The columns of the sheet found by their headings in its first row;
// -1 for a column that is not there.
std::vector<int> findColumns(Worksheet& ws, const rs::Sheet& sheet, int width)
{
    QHash<QString, int> at;
    for (int c = width; c >= 1; --c)
        if (!ws.hasFormula({1, c}))  // a computed heading names no column of ours
            at.insert(ws.cell(1, c).value().toString().trimmed(), c);
    std::vector<int> found;
    for (const rs::Column& column : sheet.columns)
        found.push_back(at.value(column.heading, -1));
    return found;
}

// Reads one data row; false when it holds nothing the sheet reads.
bool readRow(Worksheet& ws, const rs::Sheet& sheet, const std::vector<int>& at, Record& record,
             std::vector<Refusal>& refusals)
{
    record.values.assign(sheet.columns.size(), fb::Value());
    bool any = false;
    bool refused = false;
    for (size_t i = 0; i < sheet.columns.size(); ++i) {
        const rs::Column& column = sheet.columns[i];
        if (column.role == rs::Role::Info || at[i] < 0)
            continue;
        const CellRef cell{record.row, at[i]};
        const bool formula = ws.hasFormula(cell);
        const CellValue value = formula ? CellValue() : ws.cell(cell.row, cell.column).value();
        const Checked checked = check(column, value, formula);
        any = any || formula || !checked.value.isNull() || !checked.refusal.isEmpty();
        if (!checked.refusal.isEmpty()) {
            refusals.push_back({sheet.name, record.row, column.heading, checked.refusal});
            refused = true;
        }
        record.values[i] = checked.value;
    }
    return any && !refused;
}

void readSheet(Worksheet& ws, SheetRecords& out, std::vector<Refusal>& refusals)
{
    const rs::Sheet& sheet = *out.sheet;
    const std::optional<CellRect> extent = ws.extent();
    const int width = extent ? extent->last.column : 0;
    const std::vector<int> at = findColumns(ws, sheet, width);
    bool whole = true;
    for (size_t i = 0; i < at.size(); ++i)
        if (at[i] < 0 && sheet.columns[i].role != rs::Role::Info) {
            refusals.push_back({sheet.name, 0, sheet.columns[i].heading,
                                QStringLiteral("колоната липсва в първия ред; листът не е прочетен")});
            whole = false;
        }
    if (!whole || !extent)
        return;
    for (int row = 2; row <= extent->last.row; ++row) {
        Record record{row, {}};
        if (readRow(ws, sheet, at, record, refusals))
            out.records.push_back(std::move(record));
    }
}

}  // namespace

Records read(const QString& path)
{
    Records out;
    std::unique_ptr<Workbook> book;
    try {
        book = Workbook::open(path, kMostRows);
    } catch (const TooManyRowsError& e) {
        out.refusals.push_back({{}, 0, {}, e.message()});
        return out;
    }
    for (const rs::Sheet& sheet : rs::sheets()) {
        out.sheets.push_back({&sheet, {}});
        Worksheet* ws = book->findWorksheet(sheet.name);
        if (!ws)
            out.refusals.push_back({sheet.name, 0, {}, QStringLiteral("листът липсва в работната книга")});
        else
            readSheet(*ws, out.sheets.back(), out.refusals);
    }
    return out;
}

}  // namespace transfers::register_import
