#pragma once

#include "workbook/workbook.h"

#include <QString>

#include <memory>

// The farm survey card as our own template workbook (forms/zp_viva11_5.xlsx,
// described in forms/README.md): the card with the firm's header and the
// list of cadastral areas, table 1 where one area's plots are entered at a
// time, and the register of every plot entered, with the five macros that
// keep them. Every sheet is protected, and so is the workbook.
namespace transfers::survey_card {

inline const QString kFormFileName = QStringLiteral("zp_viva11_5.xlsx");
inline const QString kCardSheet = QStringLiteral("анкетна карта");
inline const QString kTableSheet = QStringLiteral("таблица 1");
inline const QString kPlotsSheet = QStringLiteral("имоти");

// The first row of the card's list of areas and of table 1's lines.
inline constexpr int kFirstArea = 31;
inline constexpr int kFirstPlot = 6;

// The empty template, built from its description.
std::unique_ptr<Workbook> buildTemplate();

// Registers the form's macros with an opened copy of the template:
// - "sheetkarta.btnDobavi_Click" lists the area chosen in comboNMOblast,
//   comboNMObshtina and comboNMgrad as the next line of the card's areas
//   and empties the three;
// - "sheetkarta.btnDobaviDanniZaImot_Click" opens table 1 for the area of
//   the selected cell, which must be column M of the last area listed and
//   not yet given its plots: the previous area's lines are emptied;
// - "sheettab1.btnAddDataToTab1_Click" stores table 1's next line (plot
//   number and area in hectares at least) in the register and readies the
//   row below it;
// - "sheettab1.btnEnd_Click" closes table 1: the area's line on the card
//   gets its number of plots and its area;
// - "sheetkarta.btnSave_Click" completes the card: the header's choices
//   written into their cells, the totals, and every sheet protected.
// A macro run out of turn is a WorkbookError saying what it wants.
void attachMacros(Workbook& book);

}  // namespace transfers::survey_card
