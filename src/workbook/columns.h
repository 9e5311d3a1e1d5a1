#pragma once

#include <pugixml.hpp>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace transfers {

// The <cols> of a sheet: width, style and whatever else the file says of
// each column. Ranges of columns (min..max) are spread out column by column
// while the sheet is open and joined again where neighbours agree on save,
// so that changing one column of a range leaves the others as they were.
class Columns {
public:
    explicit Columns(pugi::xml_node cols);

    // The column's default cell format, or 0.
    int style(int column) const;
    void setStyle(int column, int xf);
    std::optional<double> width(int column) const;
    void setWidth(int column, double width);

    // Writes the columns into the sheet, in place of its old <cols>; with no
    // column left the element goes.
    void save(pugi::xml_node worksheet) const;

private:
    using Attributes = std::vector<std::pair<std::string, std::string>>;
    void set(int column, const char* name, const std::string& value);
    const std::string* get(int column, const char* name) const;

    std::map<int, Attributes> columns_;
};

}  // namespace transfers
