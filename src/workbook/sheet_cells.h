#pragma once

#include "workbook/cell_address.h"

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <optional>

namespace transfers {

// An index over a sheet's <sheetData>: its rows by number and each row's
// cells by column, so that finding or making a cell never walks the sheet.
// New rows and cells are put where the file format wants them, in order.
class SheetCells {
public:
    explicit SheetCells(pugi::xml_node sheetData);

    // The cell element, or a null node when the cell was never written.
    pugi::xml_node find(CellRef cell) const;
    // The cell element, made (with the format it inherits) when missing.
    // inheritedStyle gives the format of a new cell from its row's format
    // (or nullopt when the row has none of its own) and its column.
    pugi::xml_node make(CellRef cell,
                        const std::function<int(std::optional<int> rowStyle, int column)>& inheritedStyle);
    // Calls visit for each existing cell inside rect, row by row.
    void forEachIn(const CellRect& rect, const std::function<void(CellRef, pugi::xml_node)>& visit) const;
    // The rectangle spanning every cell, or nullopt for an empty sheet.
    std::optional<CellRect> extent() const;
    // The format a row gives its new cells, when it has one of its own.
    std::optional<int> rowStyle(int row) const;
    // The cells of one column, in every row that has one.
    void forEachInColumn(int column, const std::function<void(pugi::xml_node)>& visit) const;

private:
    struct Row {
        pugi::xml_node node;
        std::map<int, pugi::xml_node> cells;
    };
    Row& makeRow(int row);
    // The row, or nullptr; remembers the last one asked for, as cells are
    // mostly written and formatted row by row.
    const Row* rowAt(int row) const;

    pugi::xml_node data_;
    std::map<int, Row> rows_;  // rows are never taken out, so a pointer to one stays good
    mutable const Row* lastRow_ = nullptr;
    mutable int lastRowNumber_ = 0;
};

}  // namespace transfers
