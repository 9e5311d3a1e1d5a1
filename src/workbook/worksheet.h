#pragma once

#include "workbook/cell_address.h"
#include "workbook/cell_value.h"
#include "workbook/columns.h"
#include "workbook/control.h"
#include "workbook/sheet_cells.h"
#include "workbook/xml_part.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace transfers {

class Range;
class Workbook;

// One worksheet of a workbook, owned by it.
//
// Protection works as in a spreadsheet: while the sheet is protected a
// locked cell (every cell is locked unless its format says otherwise) cannot
// be written, and no format, merge or column can be changed; selecting is
// always allowed. A macro that fills a protected form unprotects the sheet
// itself, as the form's own code would.
class Worksheet {
public:
    Worksheet(Workbook& book, QString name, QString partName, int position, xml::Document doc);
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    const QString& name() const { return name_; }
    // At most 31 characters, none of : \ / ? * [ ], unique in the workbook.
    void setName(const QString& name);

    // "B12", "A4:H9" ($ signs allowed).
    Range range(const QString& address);
    Range range(const QString& first, const QString& last);
    Range cell(int row, int column);

    void activate();
    bool isActive() const;
    // The active cell: what the last select() chose (A1 at first).
    CellRef selection() const { return selection_; }

    // Without a password; unprotecting a sheet locked with a password is a
    // WorkbookError, as that needs the password.
    void protect();
    void unprotect();
    bool isProtected() const;

    // The number format of a whole column ("@" is text): its default for new
    // cells and the format of the cells it has.
    void setColumnNumberFormat(int column, const QString& code);
    std::optional<double> columnWidth(int column) const { return columns_.width(column); }
    void setColumnWidth(int column, double width);

    // The sheet's named control; a WorkbookError when it has none of that name.
    Control control(const QString& name);
    // Places a new control (for building a template).
    Control addControl(const QString& name, const QString& text = {});

    const std::vector<CellRect>& merges() const { return merges_; }

    // For reading a sheet as a table: the rectangle its cells span (nullopt
    // when it has none), and whether a cell holds a formula rather than a
    // typed value (its stored result may be missing or stale).
    std::optional<CellRect> extent() const { return cells_.extent(); }
    bool hasFormula(CellRef cell) const;

private:
    friend class Range;
    friend class Workbook;

    CellValue value(CellRef cell) const;
    void setValue(CellRef cell, const CellValue& value);
    void typeText(CellRef cell, const QString& text);
    bool hiddenByMerge(CellRef cell) const;
    int styleOf(CellRef cell) const;
    int inheritedStyle(std::optional<int> rowStyle, int column) const;
    pugi::xml_node makeCell(CellRef cell);

    // Every cell of rect, made where missing, gets change(its format).
    void restyle(const CellRect& rect, const std::function<int(int)>& change);
    void merge(const CellRect& rect);
    void autoFit(const CellRect& rect);
    void select(CellRef cell);
    void requireUnprotected(const QString& what) const;
    void requireWritable(CellRef cell) const;

    // Writes the sheet's state into its XML and returns the part's bytes.
    QByteArray save();
    void saveMerges();
    void saveView();
    const QString& partName() const { return partName_; }
    int position() const { return position_; }

    Workbook& book_;
    QString name_;
    QString partName_;
    int position_;  // among all sheets of the workbook, from 0
    xml::Document doc_;
    pugi::xml_node root_;
    SheetCells cells_;
    Columns columns_;
    std::vector<CellRect> merges_;
    CellRef selection_;
};

}  // namespace transfers
