#include "rent/receipt_numbers.h"

#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <limits>

namespace receipts {

namespace {

constexpr qint64 kLargest = std::numeric_limits<int>::max();  // what the number columns hold

// IBTRazp reads committed rows and its own pending ones alike.
fb::Transaction& receiptsTransaction(TDM& dm)
{
    dm.IBTRazp.ensureStarted();
    return dm.IBTRazp.transaction();
}

// The highest number of the series in RAZP_NOMERA, 0 when it is empty. The
// table holds every number once under an ascending key, and the engine takes
// a maximum along a descending index only; so the range of numbers is halved
// until the highest is found, each step one look-up along the key of the
// first number at or above a bound: some thirty keyed reads, whatever the
// number of receipts.
qint64 highestNumber(TDM& dm)
{
    fb::Transaction& tr = receiptsTransaction(dm);
    fb::Statement first(dm.IBDatabase1.connection(),
                        QStringLiteral("select first 1 NOMER from RAZP_NOMERA where NOMER >= ? order by NOMER"));
    const auto firstFrom = [&](qint64 bound) {  // 0 when there is none
        first.bind(0, fb::Value(bound));
        first.open(tr);
        const qint64 n = first.fetch() ? first.value(0).toInt64() : 0;
        first.close();
        return n;
    };
    qint64 highest = firstFrom(1);
    if (highest == 0)
        return 0;
    qint64 above = kLargest + 1;  // no number at or above it
    while (above - highest > 1) {
        const qint64 middle = highest + (above - highest) / 2;
        if (const qint64 n = firstFrom(middle))
            highest = n;
        else
            above = middle;
    }
    return highest;
}

bool found(TDM& dm, const QString& sql, const std::vector<fb::Value>& params = {})
{
    return !fb::fetchScalar(dm.IBDatabase1.connection(), receiptsTransaction(dm), sql, params).isNull();
}

// Whether the number series holds the number, committed or claimed by a
// receipt not yet saved at another desk (or in this desk's own receipts
// transaction). Reading cannot see another desk's unsaved receipt, and
// saving over it would wait for that desk; a claim tried without waiting
// and taken back tells at once.
bool claimedInSeries(TDM& dm, int number)
{
    constexpr long kDeadlock = 335544336L, kLockConflict = 335544345L, kUniqueKeyViolation = 335544665L;
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction probe(c, fb::TransactionOptions::readCommitted(false));
    try {
        fb::execute(c, probe, QStringLiteral("insert into RAZP_NOMERA (NOMER) values (?)"), {number});
        probe.rollback();
        return false;
    } catch (const fb::Error& e) {
        probe.rollback();
        if (e.has(kUniqueKeyViolation) || e.has(kLockConflict) || e.has(kDeadlock))
            return true;
        throw;
    }
}

}  // namespace

QString proposedNumber(qint64 highest, const QString& current)
{
    if (highest <= 0)
        return QStringLiteral("1");
    if (highest >= kLargest)
        return current;
    return QString::number(highest + 1);
}

std::optional<int> storedNumber(const QString& digits)
{
    bool ok = false;
    const qlonglong n = digits.toLongLong(&ok);
    if (!ok || n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(n);
}

QString proposeNumber(TDM& dm, const QString& current)
{
    qint64 highest = highestNumber(dm);
    // Another desk's receipts not saved yet hold the numbers just above.
    while (highest < kLargest && claimedInSeries(dm, int(highest + 1)))
        ++highest;
    return proposedNumber(highest, current);
}

bool numberUsed(TDM& dm, int number)
{
    return found(dm, QStringLiteral("select first 1 1 from RAZP_NOMERA where NOMER = ?"), {number}) ||
           claimedInSeries(dm, number);
}

bool receiptWorkPending(TDM& dm)
{
    if (dm.TRD.isEditing() || dm.TRR.isEditing())
        return true;
    if (!dm.IBTRazp.isActive())
        return false;
    // A row version made by this very transaction is one it has not committed.
    return found(dm, QStringLiteral("select first 1 1 from \"RAZP DANNI\" "
                                    "where rdb$record_version = current_transaction")) ||
           found(dm, QStringLiteral("select first 1 1 from \"RAZP RENTA\" "
                                    "where rdb$record_version = current_transaction"));
}

void closeNumberQueries(TDM& dm)
{
    dm.QueryRP.close();
    dm.QueryRD.close();
}

}  // namespace receipts
