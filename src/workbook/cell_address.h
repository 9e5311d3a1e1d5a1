#pragma once

#include <QString>
#include <QStringView>

// A1-style cell addresses: a column of letters (A to XFD) and a row number
// (1 to 1048576). Rows and columns count from 1, as the spreadsheet does.
namespace transfers {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

struct CellRef {
    int row = 1;
    int column = 1;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

// A rectangle of cells; first is the top left corner, last the bottom right.
struct CellRect {
    CellRef first;
    CellRef last;
    bool contains(CellRef c) const
    {
        return c.row >= first.row && c.row <= last.row && c.column >= first.column && c.column <= last.column;
    }
    bool intersects(const CellRect& o) const
    {
        return first.row <= o.last.row && o.first.row <= last.row && first.column <= o.last.column &&
               o.first.column <= last.column;
    }
    bool isSingleCell() const { return first == last; }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// "A" is 1, "Z" 26, "AA" 27; 0 for anything that is not a column of the sheet.
int columnNumber(QStringView letters);
QString columnLetters(int column);
QString cellAddress(CellRef cell);
// "B2" or "B2:D5"; a single cell gives just its address.
QString rangeAddress(const CellRect& rect);

// Both accept the absolute forms ("$B$2") and lower-case letters; anything
// else is a WorkbookError naming the address.
CellRef parseCellAddress(QStringView address);
// "B2:D5" or a single cell "B2"; the corners may be given in any order.
CellRect parseRangeAddress(QStringView address);
// The rectangle spanned by two corners, in any order.
CellRect spanOf(CellRef a, CellRef b);

}  // namespace transfers
