#pragma once

#include "fb/value.h"
#include "transfers/register_sheets.h"
#include "workbook/cell_value.h"

#include <QString>

#include <vector>

// Reading the register's workbook back: every sheet's rows as records,
// each value checked by its column as the screens check what is typed.
// A row with a value that is refused is not read; the refusal says where
// and why.
namespace transfers::register_import {

struct Refusal {
    QString sheet;
    int row = 0;  // 0: the sheet (or the file) as a whole
    QString column;
    QString reason;
};
// "Собственици, ред 4, ЕГН/ЕИК/ЛНЧ: причината"
QString refusalText(const Refusal& refusal);

// One row of a sheet: its values in the order of the sheet's columns, NULL
// for an empty cell and for a column shown only for reference.
struct Record {
    int row = 0;
    std::vector<fb::Value> values;
};

struct SheetRecords {
    const register_sheets::Sheet* sheet = nullptr;
    std::vector<Record> records;
};

struct Records {
    std::vector<SheetRecords> sheets;  // in the order of register_sheets::sheets()
    std::vector<Refusal> refusals;
};

// A sheet with more rows than this is refused before it is read.
inline constexpr int kMostRows = 1000000;

// Reads the workbook at `path`. A file that is no workbook at all is a
// WorkbookError; everything wrong inside it is a refusal.
Records read(const QString& path);

// One cell checked by its column: the value to store, or the reason it is
// refused (empty when taken). `formula` is whether the cell holds one.
struct Checked {
    fb::Value value;
    QString refusal;
};
Checked check(const register_sheets::Column& column, const CellValue& cell, bool formula = false);

}  // namespace transfers::register_import
