// past-rent DB: rent of past years and the unpaid-rent report as a user meets
// them after a year closing. A copy of DB is closed (as the closing case
// does, in a temporary program folder; DB itself is left as it is), then
// each screen is opened three times in the main window's work area, each
// opening timed from its making to its window shown with the list read and
// the totals worked out; the past-years list also filtered and sorted.
#include "bench/bench.h"

#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "report_engine/output_chooser.h"
#include "rent/tfnerazdadenarenta.h"
#include "rent/tfsprnr.h"
#include "service/tfpreklgod.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

namespace bench {

namespace {

// Makes the screen in the work area and shows it; the time to the window
// shown, and the screen still open.
template <typename S, typename Make>
qint64 timedOpening(QMdiArea& area, Make make, S*& screen)
{
    QElapsedTimer t;
    t.start();
    screen = make();
    area.addSubWindow(screen)->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    QApplication::processEvents();
    return t.elapsed();
}

// A screen's list statement read whole by the statement layer, in a
// transaction of its own: what the engine takes.
qint64 statementAlone(TDM& dm, const QStringList& lines)
{
    QElapsedTimer t;
    t.start();
    fb::Transaction tr(dm.IBDatabase1.connection(), fb::TransactionOptions::readCommitted(true));
    fb::Statement st(dm.IBDatabase1.connection(), lines.join(QLatin1Char('\n')));
    fb::fetchAll(st, tr);
    tr.commit();
    return t.elapsed();
}

QString label(QWidget* screen, const char* name)
{
    return screen->findChild<QLabel*>(QLatin1String(name))->text();
}

int pastRent(const QStringList& args)
{
    QTextStream out(stdout);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    QTemporaryDir folder;
    const QString db = folder.filePath(QStringLiteral("ARVENTA.FDB"));
    if (!QFile::copy(args[0], db)) {
        out << "past-rent: cannot copy " << args[0] << "\n";
        return 1;
    }
    for (const QString& layout : QDir(QStringLiteral(ARVENTA_LAYOUTS_DIR)).entryList({QStringLiteral("*.rav")}))
        QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/") + layout, folder.filePath(layout));
    QDir::setCurrent(folder.path());
    try {
        PrintingPrompter prompter;
        TDM dm(db);
        {
            TFPreklgod closing(dm, prompter, folder.path());
            QElapsedTimer t;
            t.start();
            closing.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            out << "past-rent: the year closed in " << t.elapsed() << " ms\n";
        }
        reports::FixedOutputChooser outputs({reports::OutputChoice::Kind::Preview, {}});
        SortSwitch ascending(SortSwitch::Ascending), descending(SortSwitch::Descending);
        QMdiArea area;
        area.resize(1200, 800);
        area.show();
        for (int i = 0; i < 3; ++i) {
            TFNerazdadenaRenta* past = nullptr;
            const qint64 ms = timedOpening(
                area, [&] { return new TFNerazdadenaRenta(dm, prompter, outputs, ascending); }, past);
            out << "  \"Списък за рента от минали години\" open: " << ms << " ms, " << past->rows().rowCount()
                << " rows, " << label(past, "labSumOstatyk") << "; its statement alone "
                << statementAlone(dm, past->list()->lines()) << " ms\n";
            if (i == 0) {
                QElapsedTimer t;
                t.start();
                past->findChild<QLineEdit*>(QStringLiteral("edFilterIsIzpl"))->setText(QStringLiteral("не"));
                past->findChild<QPushButton*>(QStringLiteral("butFilterShow"))->click();
                out << "    filter \"не\": " << t.elapsed() << " ms, " << past->rows().rowCount() << " rows\n";
                t.start();
                past->list()->sortBy(4);
                out << "    sort by the amount: " << t.elapsed() << " ms\n";
            }
            past->parentWidget()->close();
            QApplication::processEvents();

            TFSprnr* report = nullptr;
            const qint64 reportMs = timedOpening(
                area, [&] { return new TFSprnr(dm, prompter, outputs, descending); }, report);
            out << "  \"Справка нераздадена рента\" open: " << reportMs << " ms, " << report->rows().rowCount()
                << " owners, " << label(report, "labSumM") << ", " << label(report, "labSumZ")
                << "; its statement alone " << statementAlone(dm, report->list()->lines()) << " ms\n";
            report->parentWidget()->close();
            QApplication::processEvents();
        }
        out << "  peak " << peakMegabytes() << " MB\n";
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case pastRentCase = {"past-rent",
                           "DB: after a year closing of a copy of DB, rent of past years and the unpaid-rent "
                           "report each opened three times (the past years' list also filtered and sorted)",
                           pastRent};

}  // namespace bench
