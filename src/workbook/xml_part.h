#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>
#include <span>

// Small helpers over pugixml for the parts of a workbook package. The parts
// use their default namespace, so element names are matched as written
// ("sheetData", "c", "v").
namespace transfers::xml {

using Document = std::unique_ptr<pugi::xml_document>;

// A WorkbookError naming the part when the bytes are not well-formed XML.
Document parse(const QByteArray& bytes, const QString& partName);
Document parse(const char* text);
QByteArray bytes(const pugi::xml_document& doc);
// One node as compact XML text: a key for telling equal styles apart.
std::string nodeText(const pugi::xml_node& node);

QString text(const pugi::xml_node& node);
QString attribute(const pugi::xml_node& node, const char* name);
void setAttribute(pugi::xml_node node, const char* name, const QString& value);
void setAttribute(pugi::xml_node node, const char* name, const char* value);
void setAttribute(pugi::xml_node node, const char* name, long long value);

// The parent's child of that name, made when missing and then placed where
// the schema wants it: before the first child whose name comes later in
// order (the list of the parent's possible children, in schema order).
using Order = std::span<const char* const>;
pugi::xml_node childInOrder(pugi::xml_node parent, const char* name, Order order);

// The children of a worksheet and of a workbook, in schema order.
inline constexpr const char* kWorksheetOrder[] = {"sheetPr",
                                                  "dimension",
                                                  "sheetViews",
                                                  "sheetFormatPr",
                                                  "cols",
                                                  "sheetData",
                                                  "sheetCalcPr",
                                                  "sheetProtection",
                                                  "protectedRanges",
                                                  "scenarios",
                                                  "autoFilter",
                                                  "sortState",
                                                  "dataConsolidate",
                                                  "customSheetViews",
                                                  "mergeCells",
                                                  "phoneticPr",
                                                  "conditionalFormatting",
                                                  "dataValidations",
                                                  "hyperlinks",
                                                  "printOptions",
                                                  "pageMargins",
                                                  "pageSetup",
                                                  "headerFooter",
                                                  "rowBreaks",
                                                  "colBreaks",
                                                  "customProperties",
                                                  "cellWatches",
                                                  "ignoredErrors",
                                                  "smartTags",
                                                  "drawing",
                                                  "legacyDrawing",
                                                  "legacyDrawingHF",
                                                  "drawingHF",
                                                  "picture",
                                                  "oleObjects",
                                                  "controls",
                                                  "webPublishItems",
                                                  "tableParts",
                                                  "extLst"};
inline constexpr const char* kWorkbookOrder[] = {"fileVersion",    "fileSharing",
                                                 "workbookPr",     "workbookProtection",
                                                 "bookViews",      "sheets",
                                                 "functionGroups", "externalReferences",
                                                 "definedNames",   "calcPr",
                                                 "oleSize",        "customWorkbookViews",
                                                 "pivotCaches",    "smartTagPr",
                                                 "smartTagTypes",  "webPublishing",
                                                 "fileRecoveryPr", "webPublishObjects",
                                                 "extLst"};

// Text made safe for a part: characters XML cannot carry (control
// characters other than tab, line feed and carriage return) are written as
// the "_xHHHH_" escapes spreadsheet files use, and a literal "_x" that would
// read as such an escape is escaped itself. unescapeText undoes it.
QString escapeText(const QString& text);
QString unescapeText(const QString& text);
// Sets an element's text, keeping blanks at its ends.
void setText(pugi::xml_node node, const QString& text);

}  // namespace transfers::xml
