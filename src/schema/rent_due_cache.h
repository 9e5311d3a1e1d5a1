#pragma once

// The rent due of every owner, kept in the database so that the rent list
// need not compute it on every read.
//
// Two levels, each stored by running the shared select it caches:
// NACH_RENTA_DOG holds the rows of rent::contractLines() (each owner's
// contract lines summed per contract and cadastral area), NACH_RENTA the rows
// of rent::ownerFigures() read from them (per owner the areas, the rent types
// due and the rent due). Triggers on the inputs write into NACH_RENTA_PROM the
// owners whose lines may have changed (contract lines, shares, plots,
// localities, contracts), or an empty owner when everyone's figures may have
// (the firm's farming year, rules and their lines, rent types, contract
// types, cadastral areas, settlements; the line sums do not depend on them).
// bringUpToDate() recomputes the marked owners' line sums and figures, or
// everyone's figures from the kept line sums.
// NACH_RENTA_NR keeps the rows of rent::unpaidDue() read from the line sums
// (the due of the unpaid-rent report and the year closing, rounded once per
// owner), brought up to date together with NACH_RENTA.
// Names, goods receipts and cash payments are not kept: the list joins them
// as they stand, so payouts never make the figures stale.

#include "schema/rent_sql.h"

#include <QStringList>

namespace fb {
class Connection;
class Transaction;
}  // namespace fb

namespace schema::rent {

// The tables, the marking procedure and the triggers of the cache, in order.
QStringList dueCacheDdl();
// The table of the owners the running transaction has marked (a temporary
// one, each transaction seeing its own rows) and the procedure that marks.
QStringList markedInTransactionDdl();
QString markProcedure();
// The table of the kept unpaid due (added to the cache later).
QStringList unpaidDueDdl();
// The names of the triggers that mark owners (a bulk load into a new
// database may switch them off and start the cache afresh at its end).
QStringList markingTriggers();
// Marks every owner's figures as stale; the caller commits.
void markEveryone(fb::Connection& connection, fb::Transaction& tr);

// Fills the line sums of a database that had no cache and marks everyone;
// the caller commits.
void startDueCache(fb::Connection& connection, fb::Transaction& tr);

// What one bringUpToDate() did.
struct Refresh {
    bool everything = false;  // all figures were computed again
    int owners = 0;           // the owners marked (their line sums were computed again, or everyone's)
};

// Brings the kept figures up to date with everything committed, in a
// transaction of its own (a snapshot, so that a change committed meanwhile
// stays marked for the next call), and commits.
Refresh bringUpToDate(fb::Connection& connection);

// The kept contract lines summed per contract, owner and area: the columns of
// rent::contractLines(), for the statements that read one owner's share rows
// (SharesOptions::lines); read them after bringUpToDate().
QString keptContractLines();

// The rent list over the kept figures; read it after bringUpToDate().
RentListStatement cachedRentList();

// rent::unpaidRest() over the kept unpaid due: the same rows (in no order);
// read it after bringUpToDate().
QString cachedUnpaidRest();

}  // namespace schema::rent
