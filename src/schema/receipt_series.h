#pragma once

// The one series of receipt numbers that goods receipts ("RAZP DANNI".NOM)
// and cash payments (RAZP_PARI.NOMER) share, held by the database itself:
// every number in use has a row in RAZP_NOMERA, whose key admits it once.
// Triggers on both tables claim a number as a row takes it and let it go
// when the last row that had it loses it.
//
// The dialogs check a number before they use it, but they cannot see a
// receipt another desk is writing and has not committed; the key can. A
// desk that claims a number another desk holds uncommitted waits for that
// desk (its area waits) and is refused once that one commits: the client's
// message reaches the dialog, which keeps its receipt open.

#include <QStringList>

namespace fb {
class Connection;
class Transaction;
}  // namespace fb

namespace schema {

// The table and the triggers, in order.
QStringList receiptSeriesDdl();

// Claims every number already in use, once however many rows share it (a
// register written before the series was kept may hold a number twice);
// the caller commits.
void startReceiptSeries(fb::Connection& connection, fb::Transaction& tr);

}  // namespace schema
