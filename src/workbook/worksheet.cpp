#include "workbook/worksheet.h"

#include "workbook/range.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace transfers {

namespace {

constexpr qsizetype kMaxCellText = 32767;
const char* const kSheetViewOrder[] = {"pane", "selection", "pivotSelection", "extLst"};

pugi::xml_node rootOf(const xml::Document& doc, const QString& partName)
{
    pugi::xml_node root = doc->child("worksheet");
    if (!root)
        throw WorkbookError(QStringLiteral("Частта \"%1\" на работната книга не е лист").arg(partName));
    return root;
}

bool validControlName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]*$"));
    if (!pattern.match(name).hasMatch())
        return false;
    try {
        parseCellAddress(name);  // "AB12" is a cell, not a name
        return false;
    } catch (const WorkbookError&) {
        return true;
    }
}

}  // namespace

Worksheet::Worksheet(Workbook& book, QString name, QString partName, int position, xml::Document doc)
    : book_(book),
      name_(std::move(name)),
      partName_(std::move(partName)),
      position_(position),
      doc_(std::move(doc)),
      root_(rootOf(doc_, partName_)),
      cells_(xml::childInOrder(root_, "sheetData", xml::kWorksheetOrder)),
      columns_(root_.child("cols"))
{
    for (pugi::xml_node m : root_.child("mergeCells").children("mergeCell"))
        merges_.push_back(parseRangeAddress(xml::attribute(m, "ref")));
    const QString active =
        xml::attribute(root_.child("sheetViews").child("sheetView").child("selection"), "activeCell");
    if (!active.isEmpty())
        selection_ = parseCellAddress(active);
}

void Worksheet::setName(const QString& name)
{
    book_.checkNewSheetName(name, this);
    name_ = name;
}

Range Worksheet::range(const QString& address)
{
    return Range(*this, parseRangeAddress(address));
}

Range Worksheet::range(const QString& first, const QString& last)
{
    return Range(*this, spanOf(parseCellAddress(first), parseCellAddress(last)));
}

Range Worksheet::cell(int row, int column)
{
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        throw WorkbookError(QStringLiteral("Няма клетка на ред %1, колона %2").arg(row).arg(column));
    return Range(*this, {{row, column}, {row, column}});
}

void Worksheet::activate()
{
    book_.setActive(*this);
}

bool Worksheet::isActive() const
{
    return book_.isActive(*this);
}

bool Worksheet::isProtected() const
{
    const pugi::xml_node p = root_.child("sheetProtection");
    return p && p.attribute("sheet").as_bool();
}

void Worksheet::protect()
{
    if (isProtected())
        return;
    pugi::xml_node p = xml::childInOrder(root_, "sheetProtection", xml::kWorksheetOrder);
    xml::setAttribute(p, "sheet", "1");
    xml::setAttribute(p, "objects", "1");
    xml::setAttribute(p, "scenarios", "1");
}

void Worksheet::unprotect()
{
    const pugi::xml_node p = root_.child("sheetProtection");
    if (!p)
        return;
    if (p.attribute("password") || p.attribute("hashValue"))
        throw WorkbookError(QStringLiteral("Листът \"%1\" е защитен с парола").arg(name_));
    root_.remove_child(p);
}

Control Worksheet::control(const QString& name)
{
    const pugi::xml_node node = book_.sheetName(name, position_, false);
    if (!node)
        throw WorkbookError(QStringLiteral("На лист \"%1\" няма поле \"%2\"").arg(name_, name));
    return Control(node, name);
}

Control Worksheet::addControl(const QString& name, const QString& text)
{
    if (!validControlName(name))
        throw WorkbookError(QStringLiteral("\"%1\" не е допустимо име на поле").arg(name));
    if (book_.sheetName(name, position_, false))
        throw WorkbookError(QStringLiteral("На лист \"%1\" вече има поле \"%2\"").arg(name_, name));
    Control control(book_.sheetName(name, position_, true), name);
    control.setText(text);
    return control;
}

bool Worksheet::hasFormula(CellRef cell) const
{
    return bool(cells_.find(cell).child("f"));
}

CellValue Worksheet::value(CellRef cell) const
{
    const pugi::xml_node c = cells_.find(cell);
    if (!c)
        return {};
    const std::string_view type = c.attribute("t").value();
    const pugi::xml_node v = c.child("v");
    if (type == "inlineStr") {
        const pugi::xml_node is = c.child("is");
        QString text = xml::text(is.child("t"));
        for (pugi::xml_node r : is.children("r"))
            text += xml::text(r.child("t"));
        return CellValue::text(xml::unescapeText(text));
    }
    if (!v)
        return {};
    if (type == "s")
        return CellValue::text(book_.sharedStrings().at(v.text().as_int(-1)));
    if (type == "str")
        return CellValue::text(xml::unescapeText(xml::text(v)));
    if (type == "b")
        return CellValue::boolean(v.text().as_int() != 0);
    if (type == "e")
        return CellValue::error(xml::text(v));
    bool ok = false;
    const double n = QByteArray(v.text().get()).toDouble(&ok);
    if (!ok)
        throw WorkbookError(QStringLiteral("Клетка %1 на лист \"%2\" е повредена").arg(cellAddress(cell), name_));
    return CellValue::number(n);
}

void Worksheet::setValue(CellRef cell, const CellValue& value)
{
    requireWritable(cell);
    if (value.isText() && value.textValue().size() > kMaxCellText)
        throw WorkbookError(
            QStringLiteral("Текстът за клетка %1 е по-дълъг от %2 знака").arg(cellAddress(cell)).arg(kMaxCellText));
    if (value.isNumber() && !std::isfinite(value.numberValue()))
        throw WorkbookError(QStringLiteral("Клетка %1 не може да съдържа безкрайно число").arg(cellAddress(cell)));
    if (hiddenByMerge(cell))
        return;  // a merged area holds the value of its first cell only
    pugi::xml_node c = value.isEmpty() ? cells_.find(cell) : makeCell(cell);
    if (!c)
        return;
    // A value written over a formula replaces it, as typing would.
    if (c.first_child())
        for (const char* child : {"f", "v", "is"})
            c.remove_child(child);
    c.remove_attribute("t");
    switch (value.kind()) {
        case CellValue::Kind::Empty:
            return;
        case CellValue::Kind::Number:
            c.append_child("v").text().set(numberText(value.numberValue()).toLatin1().constData());
            return;
        case CellValue::Kind::Text:
            if (value.textValue().isEmpty())
                return;
            xml::setAttribute(c, "t", "s");
            c.append_child("v").text().set(book_.sharedStrings().add(value.textValue()));
            return;
        case CellValue::Kind::Boolean:
            xml::setAttribute(c, "t", "b");
            c.append_child("v").text().set(value.numberValue() != 0 ? "1" : "0");
            return;
        case CellValue::Kind::Error:
            xml::setAttribute(c, "t", "e");
            c.append_child("v").text().set(value.textValue().toUtf8().constData());
            return;
    }
}

void Worksheet::typeText(CellRef cell, const QString& text)
{
    requireWritable(cell);
    setValue(cell, typedInput(text, book_.styles().isTextFormat(styleOf(cell))));
}

bool Worksheet::hiddenByMerge(CellRef cell) const
{
    return std::any_of(merges_.begin(), merges_.end(),
                       [&](const CellRect& m) { return m.contains(cell) && !(m.first == cell); });
}

int Worksheet::styleOf(CellRef cell) const
{
    if (const pugi::xml_node c = cells_.find(cell))
        return c.attribute("s").as_int();
    return inheritedStyle(cells_.rowStyle(cell.row), cell.column);
}

int Worksheet::inheritedStyle(std::optional<int> rowStyle, int column) const
{
    return rowStyle ? *rowStyle : columns_.style(column);
}

pugi::xml_node Worksheet::makeCell(CellRef cell)
{
    return cells_.make(cell,
                       [this](std::optional<int> rowStyle, int column) { return inheritedStyle(rowStyle, column); });
}

void Worksheet::select(CellRef cell)
{
    if (!isActive())
        throw WorkbookError(QStringLiteral("Клетка %1 не може да бъде избрана: лист \"%2\" не е активен")
                                .arg(cellAddress(cell), name_));
    selection_ = cell;
}

void Worksheet::requireUnprotected(const QString& what) const
{
    if (isProtected())
        throw WorkbookError(QStringLiteral("Лист \"%1\" е защитен: %2 не е възможно").arg(name_, what));
}

void Worksheet::requireWritable(CellRef cell) const
{
    if (isProtected() && book_.styles().isLocked(styleOf(cell)))
        throw WorkbookError(QStringLiteral("Клетка %1 на лист \"%2\" е защитена и не може да бъде променена")
                                .arg(cellAddress(cell), name_));
}

QByteArray Worksheet::save()
{
    columns_.save(root_);
    saveMerges();
    const auto extent = cells_.extent();
    xml::setAttribute(xml::childInOrder(root_, "dimension", xml::kWorksheetOrder), "ref",
                      extent ? rangeAddress(*extent) : QStringLiteral("A1"));
    saveView();
    return xml::bytes(*doc_);
}

void Worksheet::saveMerges()
{
    root_.remove_child("mergeCells");
    if (merges_.empty())
        return;
    pugi::xml_node list = xml::childInOrder(root_, "mergeCells", xml::kWorksheetOrder);
    xml::setAttribute(list, "count", qint64(merges_.size()));
    for (const CellRect& m : merges_)
        xml::setAttribute(list.append_child("mergeCell"), "ref", rangeAddress(m));
}

void Worksheet::saveView()
{
    pugi::xml_node views = xml::childInOrder(root_, "sheetViews", xml::kWorksheetOrder);
    pugi::xml_node view = views.child("sheetView");
    if (!view) {
        view = views.append_child("sheetView");
        xml::setAttribute(view, "workbookViewId", "0");
    }
    if (isActive())
        xml::setAttribute(view, "tabSelected", "1");
    else
        view.remove_attribute("tabSelected");
    pugi::xml_node selection = view.last_child();
    if (std::string_view(selection.name()) != "selection")
        selection = view.find_child([](pugi::xml_node n) { return std::string_view(n.name()) == "selection"; });
    if (!selection)
        selection = xml::childInOrder(view, "selection", kSheetViewOrder);
    xml::setAttribute(selection, "activeCell", cellAddress(selection_));
    xml::setAttribute(selection, "sqref", cellAddress(selection_));
}

}  // namespace transfers
