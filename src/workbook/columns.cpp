#include "workbook/columns.h"

#include "workbook/cell_value.h"
#include "workbook/xml_part.h"

#include <cstring>

namespace transfers {

Columns::Columns(pugi::xml_node cols)
{
    for (pugi::xml_node col : cols.children("col")) {
        Attributes attrs;
        for (pugi::xml_attribute a : col.attributes())
            if (std::strcmp(a.name(), "min") != 0 && std::strcmp(a.name(), "max") != 0)
                attrs.emplace_back(a.name(), a.value());
        const int first = col.attribute("min").as_int();
        const int last = col.attribute("max").as_int(first);
        for (int c = std::max(1, first); c <= last; ++c)
            columns_[c] = attrs;
    }
}

const std::string* Columns::get(int column, const char* name) const
{
    const auto it = columns_.find(column);
    if (it == columns_.end())
        return nullptr;
    for (const auto& [n, v] : it->second)
        if (n == name)
            return &v;
    return nullptr;
}

void Columns::set(int column, const char* name, const std::string& value)
{
    Attributes& attrs = columns_[column];
    for (auto& [n, v] : attrs) {
        if (n == name) {
            v = value;
            return;
        }
    }
    attrs.emplace_back(name, value);
}

int Columns::style(int column) const
{
    const std::string* s = get(column, "style");
    return s ? std::atoi(s->c_str()) : 0;
}

void Columns::setStyle(int column, int xf)
{
    set(column, "style", std::to_string(xf));
    // A column without a width of its own must still say one.
    if (!get(column, "width"))
        set(column, "width", "9.140625");
}

std::optional<double> Columns::width(int column) const
{
    const std::string* w = get(column, "width");
    if (!w)
        return std::nullopt;
    return std::atof(w->c_str());
}

void Columns::setWidth(int column, double width)
{
    set(column, "width", numberText(width).toStdString());
    set(column, "customWidth", "1");
}

void Columns::save(pugi::xml_node worksheet) const
{
    worksheet.remove_child("cols");
    if (columns_.empty())
        return;
    pugi::xml_node cols = xml::childInOrder(worksheet, "cols", xml::kWorksheetOrder);
    for (auto it = columns_.begin(); it != columns_.end();) {
        auto end = std::next(it);
        int last = it->first;
        while (end != columns_.end() && end->first == last + 1 && end->second == it->second) {
            last = end->first;
            ++end;
        }
        pugi::xml_node col = cols.append_child("col");
        xml::setAttribute(col, "min", qint64(it->first));
        xml::setAttribute(col, "max", qint64(last));
        for (const auto& [n, v] : it->second)
            xml::setAttribute(col, n.c_str(), v.c_str());
        it = end;
    }
}

}  // namespace transfers
