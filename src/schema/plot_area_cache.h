#pragma once

// The contracted area of every plot, kept in the database so that the
// properties summary need not add up every contract line on every read.
//
// ZEMQ_DOGPL holds one row per plot: its locality and area, and the sum and
// count of its contract lines under every contract that is not terminated
// (whatever its dates), as plotAreas() computes them. Triggers on the plots,
// the contract lines and the contracts write into ZEMQ_DOGPL_PROM the plots a
// change may touch; bringUpToDate() computes those plots' rows again, and
// the sums per locality that ZEMQ_DOGPL_MEST keeps of them (what the
// properties summary lists) for the localities those plots were and are in.
// Marks only ever get inserted, so that two working areas changing the same
// plot never wait for each other on the kept row.

#include <QString>
#include <QStringList>

namespace fb {
class Connection;
class Transaction;
}  // namespace fb

namespace schema::plots {

// The tables, the marking procedure and the triggers, in order.
QStringList areaCacheDdl();
// The table of the plots the running transaction has marked (a temporary
// one, each transaction seeing its own rows) and the procedure that marks.
QStringList markedInTransactionDdl();
QString markProcedure();
// The names of the triggers that mark plots (a bulk load into a new
// database may switch them off and start the cache afresh at its end).
QStringList markingTriggers();
// The table of the sums per locality (added to the cache later) and the
// index they are added up by.
QStringList localityCacheDdl();

// Fills the kept rows (per plot and per locality) of a database that had
// none; the caller commits.
void startAreaCache(fb::Connection& connection, fb::Transaction& tr);

// Brings the kept rows up to date with everything committed, in a snapshot
// transaction of its own (a change committed meanwhile stays marked for the
// next call), and commits. Returns the number of plots computed again.
int bringUpToDate(fb::Connection& connection);

// Per plot: ID_ZEMQ, ID_MEST, PLOSHT, REDPL (the sum of REDPLOSHT of its
// lines under contracts not terminated; NULL without any) and LINES (their
// count), computed from the lines. `plots` is a select of ID_ZEMQ that
// limits it, or empty for every plot.
QString plotAreas(const QString& plots = {});

// The same columns from the kept table; read it after bringUpToDate().
QString keptPlotAreas();

// Per locality of `plots` (a select of the columns of plotAreas): ID_MEST,
// SUMPLOSHT (the area of its plots; 0 rather than empty when none has one
// but some has a contract line) and REDPL (the contracted area, 0 without).
QString localityAreas(const QString& plots);

// The same columns kept per locality; read it after bringUpToDate().
QString keptLocalityAreas();

}  // namespace schema::plots
