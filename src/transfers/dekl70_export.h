#pragma once

#include "fb/value.h"
#include "transfers/land_declaration.h"

// The declaration under art. 70: the land the firm uses under lease or rent
// contracts in force in the farming year, of one cadastral area, one line
// per plot, category line and contracting owner; and the plots that cannot
// be declared for want of a contract in force.
namespace transfers::dekl70 {

inline const QString kFolder = QStringLiteral("Dekl70");
inline const QString kNoInvalidData = QStringLiteral("Няма невалидни данни!");
inline const QString kFetching = QStringLiteral("Изтегляне на данните, моля изчакайте!");
inline const QString kInvalidNotRead = QStringLiteral("Невалидните данни не са прочетени.");

// The plots of the area :id_zeml other than the firm's own, with every owner
// who leased them under a contract in force: ID_ZEMQ, IMOT_NO, IMOT_PLOSHT,
// KAT_PLOSHT, VID, NAIM_NTP, NAIM_MESTN, NAIM_FS, NAIM_VDS, NZNOMER, NZDATA,
// the contract's SYSTOQNIE, OTDATA, DODATA, DATA, NOMER, OSZREGNO, DATAPR,
// SROK (its years) and the owner's EGN and IME. A plot's rows come together.
QString plotsStatement();

// Every plot of every area that has no contract in force, with its basis
// (OSNOVANIE): "собствена" (own land), "без договор", "изтекъл договор" or
// "не"; one row per plot, by area and plot number.
QString invalidDataStatement();

land_declaration::Form form(const QString& place, const QDate& today);

// The contract as column J shows it: its number, " ," and the land office's
// entry when there is one, " ," and its years when they are known.
QString contractText(const QString& nomer, const QString& oszRegNo, const fb::Value& srok);

// The lines of the plot query's rows (opened when closed), columns B to J.
std::vector<QStringList> linesOf(dataset::Dataset& plots);

}  // namespace transfers::dekl70
