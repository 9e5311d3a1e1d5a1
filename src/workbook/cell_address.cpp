#include "workbook/cell_address.h"

#include "workbook/workbook_error.h"

#include <algorithm>
#include <optional>

namespace transfers {

namespace {

std::optional<CellRef> tryParse(QStringView a)
{
    qsizetype i = 0;
    if (i < a.size() && a[i] == u'$')
        ++i;
    const qsizetype lettersStart = i;
    while (i < a.size() && a[i].isLetter())
        ++i;
    const int column = columnNumber(a.sliced(lettersStart, i - lettersStart));
    if (i < a.size() && a[i] == u'$')
        ++i;
    const QStringView digits = a.sliced(i);
    if (column == 0 || digits.isEmpty() || digits.size() > 7 || digits[0] == u'0')
        return std::nullopt;
    int row = 0;
    for (QChar ch : digits) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        row = row * 10 + (ch.unicode() - u'0');
    }
    if (row > kMaxRows)
        return std::nullopt;
    return CellRef{row, column};
}

WorkbookError badAddress(QStringView address)
{
    return WorkbookError(QStringLiteral("Невалиден адрес на клетка: \"%1\"").arg(address));
}

}  // namespace

int columnNumber(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int n = 0;
    for (QChar ch : letters) {
        const char16_t u = ch.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        n = n * 26 + (u - u'A' + 1);
    }
    return n <= kMaxColumns ? n : 0;
}

QString columnLetters(int column)
{
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

QString cellAddress(CellRef cell)
{
    return columnLetters(cell.column) + QString::number(cell.row);
}

QString rangeAddress(const CellRect& rect)
{
    if (rect.isSingleCell())
        return cellAddress(rect.first);
    return cellAddress(rect.first) + u':' + cellAddress(rect.last);
}

CellRef parseCellAddress(QStringView address)
{
    if (const auto cell = tryParse(address))
        return *cell;
    throw badAddress(address);
}

CellRect parseRangeAddress(QStringView address)
{
    const qsizetype colon = address.indexOf(u':');
    if (colon < 0)
        return spanOf(parseCellAddress(address), parseCellAddress(address));
    const auto a = tryParse(address.first(colon));
    const auto b = tryParse(address.sliced(colon + 1));
    if (!a || !b)
        throw badAddress(address);
    return spanOf(*a, *b);
}

CellRect spanOf(CellRef a, CellRef b)
{
    return {{std::min(a.row, b.row), std::min(a.column, b.column)},
            {std::max(a.row, b.row), std::max(a.column, b.column)}};
}

}  // namespace transfers
