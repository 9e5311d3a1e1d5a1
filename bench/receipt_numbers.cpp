// receipt-numbers DB: the next receipt number as both receipt dialogs
// propose it (the last cash payment, the last goods receipt, the headers
// pending in the receipts transaction) and the check that a number is free,
// each timed five times, with no receipt pending and with one.
#include "bench/bench.h"

#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/receipt_numbers.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace bench {

namespace {

void timeBoth(TDM& dm, const char* what, QTextStream& out)
{
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        const QString proposal = receipts::proposeNumber(dm, QString());
        const qint64 proposing = t.elapsed();
        t.restart();
        const bool used = receipts::numberUsed(dm, proposal.toInt());
        const qint64 checking = t.elapsed();
        t.restart();
        receipts::receiptWorkPending(dm);
        out << "  " << what << ": proposal " << proposal << " in " << proposing << " ms, free check ("
            << (used ? "used" : "free") << ") " << checking << " ms, pending check " << t.elapsed() << " ms\n";
    }
    receipts::closeNumberQueries(dm);
}

int receiptNumbers(const QStringList& args)
{
    QTextStream out(stdout);
    try {
        TDM dm(args[0]);
        if (dm.connectError())
            throw *dm.connectError();
        timeBoth(dm, "nothing pending", out);
        dm.IBTRazp.ensureStarted();
        dm.TRD.open();
        dm.TRD.append();
        dm.TRD.field(QStringLiteral("NOM")).setValue(receipts::proposeNumber(dm, QString()).toInt());
        dm.TRD.post();
        timeBoth(dm, "one header pending", out);
        dm.IBTRazp.rollback();
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case receiptNumbersCase = {
    "receipt-numbers", "DB: the next receipt number and the free-number check, with and without a pending receipt",
    receiptNumbers};

}  // namespace bench
