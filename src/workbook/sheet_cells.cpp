#include "workbook/sheet_cells.h"

#include "workbook/xml_part.h"

namespace transfers {

SheetCells::SheetCells(pugi::xml_node sheetData) : data_(sheetData)
{
    // Rows and cells may leave out their number, meaning "the next one";
    // every one gets it written out so that the index and file agree.
    int rowNumber = 0;
    for (pugi::xml_node r : data_.children("row")) {
        rowNumber = r.attribute("r").as_int(rowNumber + 1);
        xml::setAttribute(r, "r", qint64(rowNumber));
        r.remove_attribute("spans");  // a hint that would go stale as cells are added
        Row& row = rows_[rowNumber];
        row.node = r;
        int column = 0;
        for (pugi::xml_node c : r.children("c")) {
            const pugi::xml_attribute a = c.attribute("r");
            column = a ? parseCellAddress(QString::fromUtf8(a.value())).column : column + 1;
            xml::setAttribute(c, "r", cellAddress({rowNumber, column}));
            row.cells[column] = c;
        }
    }
}

const SheetCells::Row* SheetCells::rowAt(int row) const
{
    if (lastRow_ && lastRowNumber_ == row)
        return lastRow_;
    const auto r = rows_.find(row);
    if (r == rows_.end())
        return nullptr;
    lastRow_ = &r->second;
    lastRowNumber_ = row;
    return lastRow_;
}

pugi::xml_node SheetCells::find(CellRef cell) const
{
    const Row* r = rowAt(cell.row);
    if (!r)
        return {};
    const auto c = r->cells.find(cell.column);
    return c == r->cells.end() ? pugi::xml_node() : c->second;
}

SheetCells::Row& SheetCells::makeRow(int row)
{
    if (const Row* existing = rowAt(row))
        return const_cast<Row&>(*existing);
    const auto next = rows_.upper_bound(row);
    pugi::xml_node node =
        next == rows_.end() ? data_.append_child("row") : data_.insert_child_before("row", next->second.node);
    xml::setAttribute(node, "r", qint64(row));
    Row& made = rows_[row];
    made.node = node;
    return made;
}

pugi::xml_node SheetCells::make(CellRef cell,
                                const std::function<int(std::optional<int> rowStyle, int column)>& inheritedStyle)
{
    if (pugi::xml_node existing = find(cell))
        return existing;
    Row& row = makeRow(cell.row);
    const auto next = row.cells.upper_bound(cell.column);
    pugi::xml_node node =
        next == row.cells.end() ? row.node.append_child("c") : row.node.insert_child_before("c", next->second);
    xml::setAttribute(node, "r", cellAddress(cell));
    if (const int style = inheritedStyle(rowStyle(cell.row), cell.column); style != 0)
        xml::setAttribute(node, "s", qint64(style));
    row.cells[cell.column] = node;
    return node;
}

std::optional<int> SheetCells::rowStyle(int row) const
{
    const Row* r = rowAt(row);
    if (!r || !r->node.attribute("customFormat").as_bool())
        return std::nullopt;
    return r->node.attribute("s").as_int();
}

void SheetCells::forEachIn(const CellRect& rect, const std::function<void(CellRef, pugi::xml_node)>& visit) const
{
    for (auto r = rows_.lower_bound(rect.first.row); r != rows_.end() && r->first <= rect.last.row; ++r) {
        const auto& cells = r->second.cells;
        for (auto c = cells.lower_bound(rect.first.column); c != cells.end() && c->first <= rect.last.column; ++c)
            visit({r->first, c->first}, c->second);
    }
}

std::optional<CellRect> SheetCells::extent() const
{
    std::optional<CellRect> rect;
    for (const auto& [number, row] : rows_) {
        if (row.cells.empty())
            continue;
        const CellRect span{{number, row.cells.begin()->first}, {number, row.cells.rbegin()->first}};
        if (!rect) {
            rect = span;
            continue;
        }
        rect->first.column = std::min(rect->first.column, span.first.column);
        rect->last.column = std::max(rect->last.column, span.last.column);
        rect->last.row = number;
    }
    return rect;
}

void SheetCells::forEachInColumn(int column, const std::function<void(pugi::xml_node)>& visit) const
{
    for (const auto& [number, row] : rows_)
        if (const auto c = row.cells.find(column); c != row.cells.end())
            visit(c->second);
}

}  // namespace transfers
