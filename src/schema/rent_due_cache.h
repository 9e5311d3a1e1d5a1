#pragma once

// The rent due of every owner, kept in the database so that the rent list
// need not compute it on every read.
//
// NACH_RENTA holds, per owner, exactly the rows of rent::ownerFigures() (the
// areas, the rent types due and the rent due), stored by running that same
// select. Triggers on the inputs write into NACH_RENTA_PROM the owners whose
// figures may have changed (contract lines, shares, plots, localities,
// contracts), or an empty owner meaning everyone (the firm's farming year,
// rules and their lines, rent types, contract types, cadastral areas,
// settlements). bringUpToDate() recomputes exactly the marked owners.
// Names, goods receipts and cash payments are not kept: the list joins them
// as they stand, so payouts never make the figures stale.

#include "schema/rent_sql.h"

#include <QStringList>

namespace fb {
class Connection;
}

namespace schema::rent {

// The tables, the marking procedure and the triggers of the cache, in order.
QStringList dueCacheDdl();

// What one bringUpToDate() did.
struct Refresh {
    bool everything = false;  // all figures were computed again
    int owners = 0;           // otherwise: the owners computed again
};

// Brings the kept figures up to date with everything committed, in a
// transaction of its own (a snapshot, so that a change committed meanwhile
// stays marked for the next call), and commits.
Refresh bringUpToDate(fb::Connection& connection);

// The rent list over the kept figures; read it after bringUpToDate().
RentListStatement cachedRentList();

}  // namespace schema::rent
