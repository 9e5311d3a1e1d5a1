#pragma once

#include <QString>

namespace reports {

// The properties summary (TFSprimoti) over figures per locality with the
// columns of schema::plots::keptLocalityAreas(): the screen reads it over the
// kept ones, a pass over the localities rather than over every plot.
// Per locality: EKATTE, NAIM_NM, NAIM_MESTN, SUMPLOSHT, REDPL and Q1.
QString summaryStatement(const QString& localityFigures);
// Per settlement: EKATTE, NAIM_NM, Q1 (its localities), SUMPLOSHT and REDPL.
QString settlementsStatement(const QString& localityFigures);

}  // namespace reports
