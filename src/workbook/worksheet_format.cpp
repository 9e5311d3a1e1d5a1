// The formatting side of a worksheet: formats of cells and columns, merges,
// and the width fitted to contents.
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/worksheet.h"

#include <QRegularExpression>

#include <algorithm>

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
    if (c.isSpace() || QStringLiteral(".,;:'!|iIlj()[]").contains(c))
        return 0.5;
    return 1.0;
}

double lineWidth(QStringView text)
{
    double w = 0;
    for (QChar c : text)
        w += charWidth(c);
    return w;
}

// The widest piece of the text that has to stay on one line: a line, or a
// word of a wrapping cell, which breaks its lines between words.
double widestPiece(const QString& text, bool wraps)
{
    static const QRegularExpression lines(QStringLiteral("\n"));
    static const QRegularExpression words(QStringLiteral("\\s+"));
    double widest = 0;
    for (const QString& piece : text.split(wraps ? words : lines, Qt::SkipEmptyParts))
        widest = std::max(widest, lineWidth(piece));
    return widest;
}

// A number as its format shows it, near enough for measuring: the fixed
// decimals of formats such as "0.00" or "#,##0.000", else its plain form.
QString shownNumber(double value, const QString& format)
{
    static const QRegularExpression decimals(QStringLiteral("0\\.(0+)"));
    const auto m = decimals.match(format);
    if (m.hasMatch())
        return QString::number(value, 'f', int(m.capturedLength(1)));
    return numberText(value);
}

}  // namespace

void Worksheet::restyle(const CellRect& rect, const std::function<int(int)>& change)
{
    requireUnprotected(QStringLiteral("форматиране на %1").arg(rangeAddress(rect)));
    for (int r = rect.first.row; r <= rect.last.row; ++r) {
        for (int c = rect.first.column; c <= rect.last.column; ++c) {
            pugi::xml_node cell = makeCell({r, c});
            const int style = change(cell.attribute("s").as_int());
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
    for (int column = rect.first.column; column <= rect.last.column; ++column) {
        double widest = 0;
        const CellRect strip{{rect.first.row, column}, {rect.last.row, column}};
        cells_.forEachIn(strip, [&](CellRef cell, pugi::xml_node c) {
            // A merged area spreads over several columns; none of them is fitted to it.
            const bool mergedAcross = std::any_of(merges_.begin(), merges_.end(), [&](const CellRect& m) {
                return m.contains(cell) && m.first.column != m.last.column;
            });
            const CellValue v = value(cell);
            if (mergedAcross || v.isEmpty())
                return;
            const int style = c.attribute("s").as_int();
            const QString shown =
                v.isNumber() ? shownNumber(v.numberValue(), styles.numberFormat(style)) : v.toString();
            const double bold = styles.isBold(style) ? 1.1 : 1.0;
            widest = std::max(widest, widestPiece(shown, styles.wraps(style)) * bold);
        });
        if (widest > 0)
            columns_.setWidth(column, std::min(kMaxColumnWidth, widest + 2 * kCellMargin));
    }
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
