#pragma once

#include "workbook/xml_part.h"

#include <QString>

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace transfers {

enum class HorizontalAlignment { Left, Center, Right };
enum class VerticalAlignment { Top, Center, Bottom };
enum class BorderWeight { Thin, Medium };

// The workbook's cell formats (xl/styles.xml). A cell refers to one entry of
// cellXfs by index; a change of format never edits an entry other cells may
// share, it finds or adds the entry that differs by just that change (and
// likewise the font, fill, border and number format it points to). Entries
// the template brings are kept as they are, unknown attributes included.
class Styles {
public:
    Styles();  // the one plain format of a new workbook
    Styles(const QByteArray& part, const QString& partName);

    int count() const { return int(xfs_.items.size()); }
    QString numberFormat(int xf) const;
    bool isTextFormat(int xf) const;
    bool isLocked(int xf) const;
    bool isBold(int xf) const;
    bool wraps(int xf) const;

    int withBold(int xf, bool bold);
    int withHorizontal(int xf, HorizontalAlignment a);
    int withVertical(int xf, VerticalAlignment a);
    int withWrap(int xf, bool wrap);
    int withWhiteInterior(int xf);
    int withBlackBorders(int xf, BorderWeight weight);
    int withNumberFormat(int xf, const QString& code);
    int withLocked(int xf, bool locked);

    QByteArray save() const;

private:
    struct Collection {
        pugi::xml_node list;
        std::vector<pugi::xml_node> items;
        std::unordered_map<std::string, int> byText;
        void load(pugi::xml_node listNode, const char* itemName);
        int findOrAdd(pugi::xml_node item);
    };

    void load();
    pugi::xml_node xf(int index) const;
    pugi::xml_node font(int xf) const;
    int derive(int xf, const std::string& change, const std::function<void(pugi::xml_node)>& edit);
    int numberFormatId(const QString& code);
    int fontWithBold(int fontId, bool bold);

    xml::Document doc_;
    pugi::xml_node sheet_;
    Collection fonts_, fills_, borders_, xfs_;
    std::map<int, QString> customFormats_;
    std::map<std::pair<int, std::string>, int> derived_;
};

}  // namespace transfers
