#pragma once

#include <QString>

namespace reports {

// The properties summary (TFSprimoti) over rows per plot with the columns of
// schema::plots::keptPlotAreas(): the screen reads it over the kept rows.
// Per locality: EKATTE, NAIM_NM, NAIM_MESTN, SUMPLOSHT, REDPL and Q1.
QString summaryStatement(const QString& plots);
// Per settlement: EKATTE, NAIM_NM, Q1 (its localities), SUMPLOSHT and REDPL.
QString settlementsStatement(const QString& plots);

}  // namespace reports
