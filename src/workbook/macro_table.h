#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace transfers {

class Workbook;

// The macros a template carries, as C++ functions registered by name. A
// name is a procedure ("ChflY") or a module and procedure
// ("sheetkarta.btnDobavi_Click"). A run names one either bare, or qualified
// by the workbook's file name as "<file>!<name>" (the file name may be in
// single quotes). Names are matched without regard to case, and a bare
// procedure also finds the one module procedure of that name.
class MacroTable {
public:
    using Macro = std::function<void(Workbook&)>;

    void add(const QString& name, Macro macro);
    // The macro a run of name means in the workbook called fileName; a
    // WorkbookError naming it when there is none.
    const Macro& find(const QString& name, const QString& fileName) const;

private:
    std::vector<std::pair<QString, Macro>> macros_;
};

}  // namespace transfers
