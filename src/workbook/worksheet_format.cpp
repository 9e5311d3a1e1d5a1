// The formatting side of a worksheet: formats of cells and columns, merges,
// and the width fitted to contents.
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/worksheet.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

namespace transfers {

namespace {

constexpr double kMaxColumnWidth = 255;
constexpr double kCellMargin = 1.0;  // the space a cell keeps on both sides of its text

// How wide a character shows, in widths of a digit of the default font:
// capitals are wider, blanks and thin punctuation narrower.
double charWidth(QChar c)
{
    if (c.isUpper())
        return 1.25;
    if (c.isSpace())
        return 0.5;
    switch (c.unicode()) {
        case u'.':
        case u',':
        case u';':
        case u':':
        case u'\'':
        case u'!':
        case u'|':
        case u'i':
        case u'I':
        case u'l':
        case u'j':
        case u'(':
        case u')':
        case u'[':
        case u']':
            return 0.5;
        default:
            return 1.0;
    }
}

// The widest piece of the text that has to stay on one line: a line, or a
// word of a wrapping cell, which breaks its lines between words. Measured in
// one pass, as a fit visits every cell of a table.
double widestPiece(QStringView text, bool wraps)
{
    double widest = 0;
    double piece = 0;
    for (QChar c : text) {
        if (wraps ? c.isSpace() : c == u'\n') {
            widest = std::max(widest, piece);
            piece = 0;
            continue;
        }
        piece += charWidth(c);
    }
    return std::max(widest, piece);
}

// The decimals a number format fixes, such as "0.00" or "#,##0.000", or
// nullopt when it fixes none.
std::optional<int> fixedDecimals(const QString& format)
{
    static const QRegularExpression decimals(QStringLiteral("0\\.(0+)"));
    const auto m = decimals.match(format);
    if (m.hasMatch())
        return int(m.capturedLength(1));
    return std::nullopt;
}

// What a fit needs to know of a cell format, looked up once per format.
struct FitFormat {
    std::optional<int> decimals;
    double bold;
    bool wraps;
};

}  // namespace

void Worksheet::restyle(const CellRect& rect, const std::function<int(int)>& change)
{
    requireUnprotected(QStringLiteral("форматиране на %1").arg(rangeAddress(rect)));
    // Most cells of a range share a format: the change is worked out once per
    // format met rather than once per cell.
    std::unordered_map<int, int> changed;
    for (int r = rect.first.row; r <= rect.last.row; ++r) {
        for (int c = rect.first.column; c <= rect.last.column; ++c) {
            pugi::xml_node cell = makeCell({r, c});
            const int before = cell.attribute("s").as_int();
            auto known = changed.find(before);
            if (known == changed.end())
                known = changed.emplace(before, change(before)).first;
            const int style = known->second;
            if (style == 0)
                cell.remove_attribute("s");
            else
                xml::setAttribute(cell, "s", qint64(style));
        }
    }
}

void Worksheet::merge(const CellRect& rect)
{
    requireUnprotected(QStringLiteral("обединяване на %1").arg(rangeAddress(rect)));
    if (rect.isSingleCell())
        return;
    for (const CellRect& m : merges_) {
        if (m == rect)
            return;
        if (m.intersects(rect))
            throw WorkbookError(QStringLiteral("Клетките %1 застъпват обединените клетки %2 на лист \"%3\"")
                                    .arg(rangeAddress(rect), rangeAddress(m), name_));
    }
    // Only the top left cell's value survives a merge.
    cells_.forEachIn(rect, [&](CellRef cell, pugi::xml_node c) {
        if (cell == rect.first)
            return;
        for (const char* child : {"f", "v", "is"})
            c.remove_child(child);
        c.remove_attribute("t");
    });
    merges_.push_back(rect);
}

void Worksheet::autoFit(const CellRect& rect)
{
    requireUnprotected(QStringLiteral("промяна на ширината на колоните"));
    const Styles& styles = book_.styles();
    std::unordered_map<int, FitFormat> formats;
    const auto formatOf = [&](int style) -> const FitFormat& {
        auto it = formats.find(style);
        if (it == formats.end())
            it = formats
                     .emplace(style, FitFormat{fixedDecimals(styles.numberFormat(style)),
                                               styles.isBold(style) ? 1.1 : 1.0, styles.wraps(style)})
                     .first;
        return it->second;
    };
    // One pass over the rows, each column's widest kept as it goes: a large
    // table is walked once, in the order it lies in memory.
    std::vector<double> widest(size_t(rect.last.column - rect.first.column + 1), 0.0);
    cells_.forEachIn(rect, [&](CellRef cell, pugi::xml_node c) {
        // A merged area spreads over several columns; none of them is fitted to it.
        const bool mergedAcross = std::any_of(merges_.begin(), merges_.end(), [&](const CellRect& m) {
            return m.contains(cell) && m.first.column != m.last.column;
        });
        if (mergedAcross)
            return;
        const CellValue v = value(cell);
        if (v.isEmpty())
            return;
        const FitFormat& f = formatOf(c.attribute("s").as_int());
        // A number as its format shows it, near enough for measuring.
        const QString shown = !v.isNumber() ? v.toString()
                              : f.decimals  ? QString::number(v.numberValue(), 'f', *f.decimals)
                                            : numberText(v.numberValue());
        double& w = widest[size_t(cell.column - rect.first.column)];
        w = std::max(w, widestPiece(shown, f.wraps) * f.bold);
    });
    for (int column = rect.first.column; column <= rect.last.column; ++column)
        if (const double w = widest[size_t(column - rect.first.column)]; w > 0)
            columns_.setWidth(column, std::min(kMaxColumnWidth, w + 2 * kCellMargin));
}

void Worksheet::setColumnNumberFormat(int column, const QString& code)
{
    requireUnprotected(QStringLiteral("форматиране на колона %1").arg(columnLetters(column)));
    Styles& styles = book_.styles();
    columns_.setStyle(column, styles.withNumberFormat(columns_.style(column), code));
    cells_.forEachInColumn(column, [&](pugi::xml_node c) {
        xml::setAttribute(c, "s", qint64(styles.withNumberFormat(c.attribute("s").as_int(), code)));
    });
}

void Worksheet::setColumnWidth(int column, double width)
{
    requireUnprotected(QStringLiteral("промяна на ширината на колона %1").arg(columnLetters(column)));
    if (width < 0 || width > kMaxColumnWidth)
        throw WorkbookError(QStringLiteral("Ширината на колона трябва да е от 0 до 255"));
    columns_.setWidth(column, width);
}

}  // namespace transfers
