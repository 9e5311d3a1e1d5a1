#include "workbook/range.h"

#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/worksheet.h"

namespace transfers {

namespace {

// Calls f for every cell of the rectangle, row by row.
template <typename F>
void eachCell(const CellRect& rect, F f)
{
    for (int r = rect.first.row; r <= rect.last.row; ++r)
        for (int c = rect.first.column; c <= rect.last.column; ++c)
            f(CellRef{r, c});
}

}  // namespace

CellValue Range::value() const
{
    return sheet_->value(rect_.first);
}

void Range::setValue(const QString& text)
{
    eachCell(rect_, [&](CellRef c) { sheet_->typeText(c, text); });
}

void Range::setNumber(double number)
{
    eachCell(rect_, [&](CellRef c) { sheet_->setValue(c, CellValue::number(number)); });
}

void Range::clear()
{
    eachCell(rect_, [&](CellRef c) { sheet_->setValue(c, {}); });
}

void Range::merge()
{
    sheet_->merge(rect_);
}

void Range::setHorizontalAlignment(HorizontalAlignment a)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withHorizontal(s, a); });
}

void Range::setVerticalAlignment(VerticalAlignment a)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withVertical(s, a); });
}

void Range::setWrapText(bool wrap)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withWrap(s, wrap); });
}

void Range::setBold(bool bold)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withBold(s, bold); });
}

void Range::setInteriorWhite()
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withWhiteInterior(s); });
}

void Range::setBorders(BorderWeight weight)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withBlackBorders(s, weight); });
}

void Range::setNumberFormat(const QString& code)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withNumberFormat(s, code); });
}

void Range::setLocked(bool locked)
{
    Styles& styles = sheet_->book_.styles();
    sheet_->restyle(rect_, [&](int s) { return styles.withLocked(s, locked); });
}

void Range::autoFitColumns()
{
    sheet_->autoFit(rect_);
}

void Range::select()
{
    if (!rect_.isSingleCell())
        throw WorkbookError(QStringLiteral("Може да се избере само една клетка, а не %1").arg(address()));
    sheet_->select(rect_.first);
}

}  // namespace transfers
