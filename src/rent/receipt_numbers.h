#pragma once

#include <QString>

#include <optional>

class TDM;

// Goods receipts ("RAZP DANNI".NOM) and cash payments (RAZP_PARI.NOMER)
// draw their numbers from one series: a number either kind has used is
// taken for both.
//
// A goods receipt header is posted by its number dialog long before the
// payout screen commits it, and every payout screen builds its receipt in
// the one shared transaction IBTRazp. The numbers pending there count as
// used as soon as they are posted, so that a second payout screen neither
// proposes nor accepts them.
namespace receipts {

inline const QString kNumberUsed = QStringLiteral("Разписка с такъв номер съществува!");

// The number proposed after the last cash payment and the last goods
// receipt, each taken by id (an empty number counts as 0): "1" when both
// are 0; the larger one + 1 when they differ; when they are equal the box
// keeps `current`.
QString proposedNumber(qint64 lastPayment, qint64 lastReceipt, const QString& current);

// A typed number as the number columns hold it (a 32-bit integer);
// nothing when it is empty, not a number or too large.
std::optional<int> storedNumber(const QString& digits);

// The proposal from the data: the last cash payment through QueryRP, the
// last goods receipt through QueryRD or, when a later one is pending in
// IBTRazp, that one. The queries are read again each time.
QString proposeNumber(TDM& dm, const QString& current);

// Whether a cash payment (QueryRP) or a goods receipt, committed
// (QueryRD) or pending in IBTRazp, has this number.
bool numberUsed(TDM& dm, int number);

// Whether IBTRazp holds goods receipt work not committed yet: a header or
// line in insert or edit in TRD/TRR, or rows written and not committed.
bool receiptWorkPending(TDM& dm);

// Ends the number queries' transactions (they commit themselves on closing).
void closeNumberQueries(TDM& dm);

}  // namespace receipts
