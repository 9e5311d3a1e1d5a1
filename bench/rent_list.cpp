// rent-list DB [--print [OUT.pdf]]: the rent list as a user meets it. Opening
// it in the main window's work area (the kept rent due brought up to date,
// the list read, its totals), reading it again as its window becomes active
// with nothing changed and after a goods receipt saved by another
// connection (taken away again at the end), each timed. With --print, the
// full list printed to PDF ("Печат"), timed, with the process's peak memory.
#include "bench/bench.h"

#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "report_engine/output_chooser.h"
#include "rent/tfsobstvzemq.h"
#include "schema/rent_due_cache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

namespace bench {

namespace {

// A goods receipt of 10 leva for the owner, saved by a connection of its
// own as a payout screen saves one; the same receipt taken away again.
void saveReceipt(const QString& database, const fb::Value& owner)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    const fb::Value number =
        fb::fetchScalar(c, tr,
                        QStringLiteral("select coalesce(max(n), 0) + 1 from (select max(nom) n from \"RAZP DANNI\" "
                                       "union all select max(nomer) from razp_pari)"));
    fb::execute(c, tr,
                QStringLiteral("insert into \"RAZP DANNI\" (id_hora, nom, data, suma, npl, npltekst) "
                               "values (?, ?, current_date, 10, 0, 'В брой')"),
                {owner, number});
    fb::execute(c, tr,
                QStringLiteral("insert into \"RAZP RENTA\" (id_rd, id_vr, id_rk, kol, stoinost) "
                               "select max(id_rd), 1, 1, 10, 10 from \"RAZP DANNI\""));
    tr.commit();
}

void takeReceiptAway(const QString& database)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    const fb::Value receipt = fb::fetchScalar(c, tr, QStringLiteral("select max(id_rd) from \"RAZP DANNI\""));
    fb::execute(c, tr, QStringLiteral("delete from \"RAZP RENTA\" where id_rd = ?"), {receipt});
    fb::execute(c, tr, QStringLiteral("delete from \"RAZP DANNI\" where id_rd = ?"), {receipt});
    tr.commit();
}

// The rent list's statement over the kept figures read whole by the
// statement layer, in a transaction of its own: what the engine takes.
qint64 statementAlone(TDM& dm)
{
    QElapsedTimer t;
    t.start();
    fb::Transaction tr(dm.IBDatabase1.connection(), fb::TransactionOptions::readCommitted(true));
    fb::Statement st(dm.IBDatabase1.connection(), schema::rent::cachedRentList().text());
    fb::fetchAll(st, tr);
    tr.commit();
    return t.elapsed();
}

// The window made active again, as when a payout screen closes.
qint64 timedActivation(QMdiArea& area, QMdiSubWindow* frame, QMdiSubWindow* other)
{
    area.setActiveSubWindow(other);
    QElapsedTimer t;
    t.start();
    area.setActiveSubWindow(frame);
    QApplication::processEvents();
    return t.elapsed();
}

int rentList(const QStringList& args)
{
    QTextStream out(stdout);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    // A file is named from here before the folder changes; a server's
    // database ("host/port:path") stays as it is.
    const QString database = fb::Connection::resolve(args[0]);
    QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    try {
        PrintingPrompter prompter;
        TDM dm(database);
        dm.IBDatabase1.connect();
        QTemporaryDir folder;
        const QString pdf =
            args.size() > 2 ? QFileInfo(args[2]).absoluteFilePath() : folder.filePath(QStringLiteral("SpisykAll.pdf"));
        reports::FixedOutputChooser outputs({reports::OutputChoice::Kind::Pdf, pdf});
        SortSwitch direction;
        QMdiArea area;
        area.resize(1200, 800);
        area.show();
        // A second window to leave the list for, as a payout screen is.
        QMdiSubWindow* other = area.addSubWindow(new QWidget);
        other->show();

        out << "rent-list:\n  the list's statement alone (engine, every value read): " << statementAlone(dm) << " ms\n";
        QElapsedTimer t;
        t.start();
        auto* screen = new TFSobstvZemq(dm, prompter, outputs, direction);
        const qint64 made = t.elapsed();
        QMdiSubWindow* frame = area.addSubWindow(screen);
        screen->show();
        QApplication::processEvents();
        out << "  open: " << t.elapsed() << " ms (made with its list read " << made << " ms), "
            << screen->rows().rowCount() << " owners\n";
        out << "  the statement alone again: " << statementAlone(dm) << " ms\n";

        out << "  read again on activation, nothing changed: " << timedActivation(area, frame, other) << " ms\n";
        screen->rows().moveTo(screen->rows().rowCount() / 2);
        screen->findChild<QPushButton*>(QStringLiteral("butPokajiRenta"))->click();
        saveReceipt(database, screen->rows().field(QStringLiteral("ID_SOBSTV")).value());
        out << "  read again on activation after a receipt: " << timedActivation(area, frame, other) << " ms, on row "
            << screen->rows().currentRow() << "\n";
        takeReceiptAway(database);

        if (args.value(1) == QLatin1String("--print")) {
            t.start();
            screen->findChild<QPushButton*>(QStringLiteral("bitPrintAll"))->click();
            out << "  print every owner (\"Печат\") to " << pdf << ": " << t.elapsed() << " ms, "
                << QFileInfo(pdf).size() / 1024 << " KB; peak " << peakMegabytes() << " MB\n";
        }
        frame->close();
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case rentListCase = {"rent-list",
                           "DB [--print [OUT.pdf]]: the rent list: open, read again on activation (nothing changed, "
                           "after a receipt); with --print the full list to PDF with the peak memory",
                           rentList};

}  // namespace bench
