#pragma once

#include <QString>

#include <pugixml.hpp>

#include <optional>

namespace transfers {

// A named control placed on a template sheet (a drop-down or a text box a
// form's macros read), of which only its Text matters to the program.
//
// A control is stored as a defined name scoped to its sheet whose formula
// is a text constant: <definedName name="comboHeadOblast" localSheetId="0">
// "Пловдив"</definedName>. Any reader of the file sees it among the sheet's
// names. A text holds at most 255 characters, as a formula constant does.
class Control {
public:
    const QString& name() const { return name_; }
    QString text() const;
    void setText(const QString& text);

private:
    friend class Worksheet;
    Control(pugi::xml_node definedName, QString name) : node_(definedName), name_(std::move(name)) {}

    pugi::xml_node node_;
    QString name_;
};

// The formula of a text constant ("a ""b""" for a "b") and back; nullopt
// when the formula is something else, such as a reference to cells.
QString textConstant(const QString& text);
std::optional<QString> parseTextConstant(const QString& formula);

}  // namespace transfers
