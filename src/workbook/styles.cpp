#include "workbook/styles.h"

#include "workbook/workbook_error.h"

#include <QHash>

#include <algorithm>

namespace transfers {

namespace {

const char* const kDefaultStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/><charset val="204"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

const char* const kWhiteFill =
    R"(<fill><patternFill patternType="solid"><fgColor rgb="FFFFFFFF"/><bgColor indexed="64"/></patternFill></fill>)";

const char* const kSheetOrder[] = {"numFmts",    "fonts", "fills",       "borders", "cellStyleXfs", "cellXfs",
                                   "cellStyles", "dxfs",  "tableStyles", "colors",  "extLst"};
const char* const kXfOrder[] = {"alignment", "protection", "extLst"};

// The number formats every spreadsheet knows by id without a <numFmt>.
const QHash<int, QString>& builtinFormats()
{
    static const QHash<int, QString> formats = {
        {0, QStringLiteral("General")}, {1, QStringLiteral("0")},         {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")},   {4, QStringLiteral("#,##0.00")},  {9, QStringLiteral("0%")},
        {10, QStringLiteral("0.00%")},  {11, QStringLiteral("0.00E+00")}, {14, QStringLiteral("mm-dd-yy")},
        {49, QStringLiteral("@")},
    };
    return formats;
}

const char* horizontalName(HorizontalAlignment a)
{
    switch (a) {
        case HorizontalAlignment::Left:
            return "left";
        case HorizontalAlignment::Center:
            return "center";
        case HorizontalAlignment::Right:
            break;
    }
    return "right";
}

const char* verticalName(VerticalAlignment a)
{
    switch (a) {
        case VerticalAlignment::Top:
            return "top";
        case VerticalAlignment::Center:
            return "center";
        case VerticalAlignment::Bottom:
            break;
    }
    return "bottom";
}

std::string bordersXml(BorderWeight weight)
{
    const std::string side = weight == BorderWeight::Thin ? "thin" : "medium";
    std::string xml = "<border>";
    for (const char* edge : {"left", "right", "top", "bottom"})
        xml += std::string("<") + edge + " style=\"" + side + "\"><color rgb=\"FF000000\"/></" + edge + ">";
    return xml + "<diagonal/></border>";
}

bool truthy(pugi::xml_attribute a, bool byDefault)
{
    return a ? a.as_bool() : byDefault;
}

}  // namespace

void Styles::Collection::load(pugi::xml_node listNode, const char* itemName)
{
    list = listNode;
    for (pugi::xml_node item : list.children(itemName)) {
        byText.emplace(xml::nodeText(item), int(items.size()));
        items.push_back(item);
    }
}

int Styles::Collection::findOrAdd(pugi::xml_node item)
{
    const std::string key = xml::nodeText(item);
    if (const auto it = byText.find(key); it != byText.end())
        return it->second;
    items.push_back(list.append_copy(item));
    byText.emplace(key, int(items.size()) - 1);
    return int(items.size()) - 1;
}

Styles::Styles() : doc_(xml::parse(kDefaultStyles))
{
    load();
}

Styles::Styles(const QByteArray& part, const QString& partName) : doc_(xml::parse(part, partName))
{
    load();
}

void Styles::load()
{
    sheet_ = doc_->child("styleSheet");
    if (!sheet_)
        throw WorkbookError(QStringLiteral("Форматите на работната книга са повредени"));
    fonts_.load(xml::childInOrder(sheet_, "fonts", kSheetOrder), "font");
    fills_.load(xml::childInOrder(sheet_, "fills", kSheetOrder), "fill");
    borders_.load(xml::childInOrder(sheet_, "borders", kSheetOrder), "border");
    xfs_.load(xml::childInOrder(sheet_, "cellXfs", kSheetOrder), "xf");
    if (xfs_.items.empty())
        xfs_.findOrAdd(xml::parse(R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>)")->first_child());
    for (pugi::xml_node f : sheet_.child("numFmts").children("numFmt"))
        customFormats_[f.attribute("numFmtId").as_int()] = xml::attribute(f, "formatCode");
}

pugi::xml_node Styles::xf(int index) const
{
    if (index < 0 || size_t(index) >= xfs_.items.size())
        return xfs_.items.front();  // a cell pointing nowhere shows the plain format
    return xfs_.items[size_t(index)];
}

pugi::xml_node Styles::font(int xfIndex) const
{
    const int id = xf(xfIndex).attribute("fontId").as_int();
    if (id < 0 || size_t(id) >= fonts_.items.size())
        return {};
    return fonts_.items[size_t(id)];
}

QString Styles::numberFormat(int xfIndex) const
{
    const int id = xf(xfIndex).attribute("numFmtId").as_int();
    if (const auto it = customFormats_.find(id); it != customFormats_.end())
        return it->second;
    return builtinFormats().value(id, QStringLiteral("General"));
}

bool Styles::isTextFormat(int xfIndex) const
{
    return numberFormat(xfIndex) == u'@';
}

bool Styles::isLocked(int xfIndex) const
{
    return truthy(xf(xfIndex).child("protection").attribute("locked"), true);
}

bool Styles::isBold(int xfIndex) const
{
    const pugi::xml_node b = font(xfIndex).child("b");
    return b && truthy(b.attribute("val"), true);
}

bool Styles::wraps(int xfIndex) const
{
    return truthy(xf(xfIndex).child("alignment").attribute("wrapText"), false);
}

int Styles::derive(int xfIndex, const std::string& change, const std::function<void(pugi::xml_node)>& edit)
{
    const auto key = std::make_pair(xfIndex, change);
    if (const auto it = derived_.find(key); it != derived_.end())
        return it->second;
    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_copy(xf(xfIndex));
    edit(copy);
    const int result = xfs_.findOrAdd(copy);
    derived_.emplace(key, result);
    return result;
}

int Styles::fontWithBold(int fontId, bool bold)
{
    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_copy(fonts_.items.at(size_t(fontId)));
    copy.remove_child("b");
    if (bold)
        copy.prepend_child("b");
    return fonts_.findOrAdd(copy);
}

int Styles::withBold(int xfIndex, bool bold)
{
    return derive(xfIndex, bold ? "bold" : "regular", [&](pugi::xml_node x) {
        const int fontId = std::clamp(x.attribute("fontId").as_int(), 0, int(fonts_.items.size()) - 1);
        xml::setAttribute(x, "fontId", fontWithBold(fontId, bold));
        xml::setAttribute(x, "applyFont", "1");
    });
}

int Styles::withHorizontal(int xfIndex, HorizontalAlignment a)
{
    return derive(xfIndex, std::string("h:") + horizontalName(a), [&](pugi::xml_node x) {
        xml::setAttribute(xml::childInOrder(x, "alignment", kXfOrder), "horizontal", horizontalName(a));
        xml::setAttribute(x, "applyAlignment", "1");
    });
}

int Styles::withVertical(int xfIndex, VerticalAlignment a)
{
    return derive(xfIndex, std::string("v:") + verticalName(a), [&](pugi::xml_node x) {
        xml::setAttribute(xml::childInOrder(x, "alignment", kXfOrder), "vertical", verticalName(a));
        xml::setAttribute(x, "applyAlignment", "1");
    });
}

int Styles::withWrap(int xfIndex, bool wrap)
{
    return derive(xfIndex, wrap ? "wrap" : "nowrap", [&](pugi::xml_node x) {
        xml::setAttribute(xml::childInOrder(x, "alignment", kXfOrder), "wrapText", wrap ? "1" : "0");
        xml::setAttribute(x, "applyAlignment", "1");
    });
}

int Styles::withWhiteInterior(int xfIndex)
{
    return derive(xfIndex, "white", [&](pugi::xml_node x) {
        xml::setAttribute(x, "fillId", fills_.findOrAdd(xml::parse(kWhiteFill)->first_child()));
        xml::setAttribute(x, "applyFill", "1");
    });
}

int Styles::withBlackBorders(int xfIndex, BorderWeight weight)
{
    return derive(xfIndex, weight == BorderWeight::Thin ? "borders:thin" : "borders:medium", [&](pugi::xml_node x) {
        const std::string borders = bordersXml(weight);
        xml::setAttribute(x, "borderId", borders_.findOrAdd(xml::parse(borders.c_str())->first_child()));
        xml::setAttribute(x, "applyBorder", "1");
    });
}

int Styles::withNumberFormat(int xfIndex, const QString& code)
{
    const int id = numberFormatId(code);
    return derive(xfIndex, "fmt:" + std::to_string(id), [&](pugi::xml_node x) {
        xml::setAttribute(x, "numFmtId", id);
        xml::setAttribute(x, "applyNumberFormat", "1");
    });
}

int Styles::withLocked(int xfIndex, bool locked)
{
    return derive(xfIndex, locked ? "locked" : "unlocked", [&](pugi::xml_node x) {
        xml::setAttribute(xml::childInOrder(x, "protection", kXfOrder), "locked", locked ? "1" : "0");
        xml::setAttribute(x, "applyProtection", "1");
    });
}

int Styles::numberFormatId(const QString& code)
{
    for (auto it = builtinFormats().cbegin(); it != builtinFormats().cend(); ++it)
        if (it.value() == code && it.key() != 14)  // date formats differ by locale; give those their own entry
            return it.key();
    for (const auto& [id, c] : customFormats_)
        if (c == code)
            return id;
    const int id = std::max(164, customFormats_.empty() ? 0 : customFormats_.rbegin()->first + 1);
    pugi::xml_node f = xml::childInOrder(sheet_, "numFmts", kSheetOrder).append_child("numFmt");
    xml::setAttribute(f, "numFmtId", id);
    xml::setAttribute(f, "formatCode", code);
    customFormats_[id] = code;
    return id;
}

QByteArray Styles::save() const
{
    for (const char* list : {"numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles", "dxfs"}) {
        pugi::xml_node n = sheet_.child(list);
        if (!n)
            continue;
        const auto children = n.children();
        xml::setAttribute(n, "count", qint64(std::distance(children.begin(), children.end())));
    }
    return xml::bytes(*doc_);
}

}  // namespace transfers
