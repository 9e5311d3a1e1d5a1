#pragma once

#include "workbook/cell_address.h"
#include "workbook/cell_value.h"
#include "workbook/styles.h"

#include <QString>

namespace transfers {

class Worksheet;

// A rectangle of cells on a worksheet, as the sheet's range(...) gives it.
// A small value: it stays valid while its workbook is open. Reading looks at
// the top left cell; writing and formatting apply to every cell, except that
// a merged area keeps a value in its first cell only.
class Range {
public:
    Range(Worksheet& sheet, const CellRect& rect) : sheet_(&sheet), rect_(rect) {}

    Worksheet& worksheet() const { return *sheet_; }
    const CellRect& rect() const { return rect_; }
    QString address() const { return rangeAddress(rect_); }

    CellValue value() const;
    // The text as if typed into each cell (see typedInput): a number-looking
    // text becomes a number unless the cell's format is text ("@").
    void setValue(const QString& text);
    void setNumber(double number);
    void clear();

    void merge();
    void setHorizontalAlignment(HorizontalAlignment a);
    void setVerticalAlignment(VerticalAlignment a);
    void setWrapText(bool wrap);
    void setBold(bool bold);
    void setInteriorWhite();
    void setBorders(BorderWeight weight);  // every edge of every cell, black
    void setNumberFormat(const QString& code);
    // Whether protecting the sheet locks the cells (for building templates).
    void setLocked(bool locked);
    // Each column of the range as wide as the longest content of its cells
    // inside the range (see Worksheet for the estimate).
    void autoFitColumns();
    // One cell only: makes it the sheet's active cell. The sheet must be the
    // active one, as a spreadsheet also insists.
    void select();

private:
    Worksheet* sheet_;
    CellRect rect_;
};

}  // namespace transfers
