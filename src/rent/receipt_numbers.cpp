#include "rent/receipt_numbers.h"

#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <limits>

namespace receipts {

namespace {

struct LastRow {
    qint64 id = 0;
    qint64 number = 0;  // an empty number counts as 0
};

// The last row of a number query by id: closed and opened again, so that
// its transaction starts afresh and sees what was committed since.
LastRow lastRow(dataset::Dataset& query, const char* id, const char* number)
{
    query.close();
    query.open();
    if (query.isEmpty())
        return {};
    query.last();
    return {query.field(QLatin1String(id)).value().toInt64(), query.field(QLatin1String(number)).value().toInt64()};
}

// IBTRazp reads committed rows and its own pending ones alike.
fb::Transaction& receiptsTransaction(TDM& dm)
{
    dm.IBTRazp.ensureStarted();
    return dm.IBTRazp.transaction();
}

LastRow lastHeaderInReceiptsTransaction(TDM& dm)
{
    fb::Statement st(dm.IBDatabase1.connection(),
                     QStringLiteral("select id_rd, nom from \"RAZP DANNI\" order by id_rd desc rows 1"));
    st.open(receiptsTransaction(dm));
    LastRow last;
    if (st.fetch())
        last = {st.value(0).toInt64(), st.value(1).toInt64()};
    st.close();
    return last;
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

QString proposedNumber(qint64 lastPayment, qint64 lastReceipt, const QString& current)
{
    if (lastPayment == 0 && lastReceipt == 0)
        return QStringLiteral("1");
    if (lastReceipt < lastPayment)
        return QString::number(lastPayment + 1);
    if (lastPayment < lastReceipt)
        return QString::number(lastReceipt + 1);
    return current;
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
    const LastRow payment = lastRow(dm.QueryRP, "ID_RAZPPARI", "NOMER");
    LastRow receipt = lastRow(dm.QueryRD, "ID_RD", "NOM");
    if (const LastRow pending = lastHeaderInReceiptsTransaction(dm); pending.id > receipt.id)
        receipt = pending;
    return proposedNumber(payment.number, receipt.number, current);
}

bool numberUsed(TDM& dm, int number)
{
    dm.QueryRP.close();
    dm.QueryRP.open();
    dm.QueryRD.close();
    dm.QueryRD.open();
    return dm.QueryRP.locate(QStringLiteral("NOMER"), number) || dm.QueryRD.locate(QStringLiteral("NOM"), number) ||
           found(dm, QStringLiteral("select first 1 1 from \"RAZP DANNI\" where nom = ?"), {number}) ||
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
