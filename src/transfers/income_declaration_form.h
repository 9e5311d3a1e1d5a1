#pragma once

#include "workbook/workbook.h"

#include <QString>

#include <memory>

// The revenue agency's form of income paid to individuals, as our own
// template workbook (forms/DeklNAP.xlsx, described in forms/README.md): the
// sheet "SprFL" with the payer's header in row 4 and one line per person
// from row 12, protected, with the three macros that keep its lines.
namespace transfers::income_declaration {

inline const QString kFileName = QStringLiteral("DeklNAP.xlsx");
inline const QString kSheetName = QStringLiteral("SprFL");
inline constexpr int kFirstLine = 12;

// The empty template, built from its description.
std::unique_ptr<Workbook> buildTemplate();

// Registers the form's macros with an opened copy of the template:
// - "ChflN" / "ChflY" start the line of the selected cell (it must be B of
//   the first free line) for a local or a foreign person: they number the
//   line in B, put 0 or 1 in C, and lock and empty the foreign person's
//   country and address (G, H, I) for a local one or open them for a
//   foreign one;
// - "NewLine" closes the started line of the selected cell: it counts the
//   line in E6, adds its amount (J) to the total in E7, opens the next row
//   as a line and selects its B cell.
// Each works on the active sheet, which must be "SprFL", and leaves it
// protected. A misplaced selection is a WorkbookError saying so.
void attachMacros(Workbook& book);

}  // namespace transfers::income_declaration
