#pragma once

#include "transfers/land_declaration.h"

// The declaration under art. 69: the firm's own land (form of management
// code 1) of one cadastral area, one line per plot and category.
namespace transfers::dekl69 {

inline const QString kFolder = QStringLiteral("Dekl69");

// The plots of the area :id_zeml with code 1, one row per plot and category
// line, by plot number: ID_ZEMQ, IMOT_NO, PLOSHT, KAT_PL, VID, NAIM_NTP,
// NAIM_MESTN, NAIM_FS, NAIM_VDS, NZNOMER, NZDATA.
QString plotsStatement();

land_declaration::Form form(const QString& place, const QDate& today);

// The lines of the plot query's rows (opened when closed), columns B to H.
std::vector<QStringList> linesOf(dataset::Dataset& plots);

}  // namespace transfers::dekl69
