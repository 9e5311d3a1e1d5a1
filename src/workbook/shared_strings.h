#pragma once

#include "workbook/xml_part.h"

#include <QHash>
#include <QString>

#include <vector>

namespace transfers {

// The workbook's table of shared texts (xl/sharedStrings.xml). Texts already
// in it keep their entries, rich text runs included; a new text is appended
// once and shared by every cell that holds it.
class SharedStrings {
public:
    SharedStrings();  // an empty table
    SharedStrings(const QByteArray& part, const QString& partName);

    // The plain text of entry index; a WorkbookError when there is none.
    const QString& at(int index) const;
    int add(const QString& text);
    QByteArray save() const;

private:
    void index(pugi::xml_node si);

    xml::Document doc_;
    pugi::xml_node sst_;
    std::vector<QString> texts_;
    QHash<QString, int> plainEntries_;
};

}  // namespace transfers
