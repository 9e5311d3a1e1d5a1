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

// The number after `highest`, the highest number of the series (0 when it
// is empty): "1" on an empty series, else highest + 1; when no number fits
// after it the box keeps `current`.
QString proposedNumber(qint64 highest, const QString& current);

// A typed number as the number columns hold it (a 32-bit integer);
// nothing when it is empty, not a number or too large.
std::optional<int> storedNumber(const QString& digits);

// The proposal from the data: the number after the highest one of the
// series, whether a goods receipt or a cash payment has it, committed or
// pending in IBTRazp; numbers another desk holds in a receipt not saved yet
// are passed over too. Read by keyed look-ups, not by reading the receipts.
QString proposeNumber(TDM& dm, const QString& current);

// Whether a cash payment or a goods receipt, committed, pending in IBTRazp
// or held by another desk's unsaved receipt, has this number.
bool numberUsed(TDM& dm, int number);

// Whether IBTRazp holds goods receipt work not committed yet: a header or
// line in insert or edit in TRD/TRR, or rows written and not committed.
bool receiptWorkPending(TDM& dm);

// Ends the number queries' transactions (they commit themselves on
// closing), as the number dialogs do when they close.
void closeNumberQueries(TDM& dm);

}  // namespace receipts
