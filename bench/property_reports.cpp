// arventa-bench property-reports DB [--print OUT.pdf]: the property and
// owner reports on a database of many owners and plots (made by
// arventa-demo): each screen opened (its lists read), the properties by
// cadastral area filtered and sorted with the property view following it,
// the properties by owner moved through 50 owners. With --print, only the
// properties-by-owner print of every owner to OUT.pdf, timed, with the
// process's peak memory at its end. The layouts are read from the source
// tree's layouts folder.
#include "bench/bench.h"
#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "report_engine/output_chooser.h"
#include "reports/tfsprbezhora.h"
#include "reports/tfsprbezimoti.h"
#include "reports/tfsprimoti.h"
#include "reports/tfsprimotisobstv.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace bench {

namespace {

QTableView* grid(QWidget* screen, const char* name)
{
    return screen->findChild<QTableView*>(QLatin1String(name));
}

// Each screen made and shown: its lists read.
template <typename S, typename Make>
std::unique_ptr<S> opened(QTextStream& out, const char* what, Make make, const char* gridName)
{
    QElapsedTimer t;
    t.start();
    const qint64 processor = processorMs();
    std::unique_ptr<S> screen(make());
    screen->show();
    const qint64 ms = t.elapsed();
    out << "  open " << what << ": " << ms << " ms (" << processorMs() - processor << " ms processor), "
        << grid(screen.get(), gridName)->model()->rowCount() << " rows\n";
    return screen;
}

// Up to 50 moves down the list, each timed.
void moveThrough(QTextStream& out, const char* what, QTableView* list)
{
    QElapsedTimer t;
    std::vector<qint64> moves;
    for (int r = 1; r < std::min(51, list->model()->rowCount()); ++r) {
        t.start();
        list->setCurrentIndex(list->model()->index(r, 0));
        moves.push_back(t.nsecsElapsed() / 1000);
    }
    std::sort(moves.begin(), moves.end());
    if (!moves.empty())
        out << "  " << what << " (" << moves.size() << " moves): median " << moves[moves.size() / 2] / 1000.0
            << " ms, slowest " << moves.back() / 1000.0 << " ms\n";
}

int printEveryOwner(TDM& dm, PrintingPrompter& prompter, const QString& pdf)
{
    QTextStream out(stdout);
    SortSwitch direction;
    reports::FixedOutputChooser output({reports::OutputChoice::Kind::Pdf, pdf});
    TFSprImotiSobstv screen(dm, prompter, output, direction);
    screen.show();
    QElapsedTimer t;
    t.start();
    const qint64 processor = processorMs();
    screen.findChild<QPushButton*>(QStringLiteral("bitPrint"))->click();
    const qint64 ms = t.elapsed();
    out << "property-reports print: every owner with his plots to " << pdf << ": " << ms << " ms ("
        << processorMs() - processor << " ms processor), " << QFileInfo(pdf).size() / 1024 << " KB; peak "
        << peakMegabytes() << " MB\n";
    return QFileInfo::exists(pdf) ? 0 : 1;
}

}  // namespace

int propertyReports(const QStringList& args)
{
    QTextStream out(stdout);
    const QString database = QFileInfo(args[0]).absoluteFilePath();
    QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    PrintingPrompter prompter;
    TDM dm(database);
    dm.IBDatabase1.connect();
    if (args.value(1) == QLatin1String("--print") && args.size() > 2)
        return printEveryOwner(dm, prompter, QFileInfo(args[2]).absoluteFilePath());

    SortSwitch descending(SortSwitch::Descending), ascending, byOwner, without;
    reports::FixedOutputChooser none({reports::OutputChoice::Kind::Pdf, {}});
    out << "property-reports:\n";
    QElapsedTimer t;
    {
        auto s = opened<TFSprimoti>(
            out, "the properties summary", [&] { return new TFSprimoti(dm, prompter, none, descending); },
            "jvdbgridSprImoti");
    }
    {
        auto s = opened<TFSprbezhora>(
            out, "the properties by cadastral area", [&] { return new TFSprbezhora(dm, prompter, none, ascending); },
            "jvdbgridSprImotiSobstv");
        QTableView* list = grid(s.get(), "jvdbgridSprImotiSobstv");
        const QString prefix = list->model()->index(0, 0).data().toString().left(3);
        s->findChild<QLineEdit*>(QStringLiteral("edFilterZeml"))->setText(prefix);
        t.start();
        s->findChild<QPushButton*>(QStringLiteral("butFilterShow"))->click();
        out << "  filter by cadastral area '" << prefix << "': " << t.elapsed() << " ms, " << list->model()->rowCount()
            << " rows\n";
        t.start();
        emit list->horizontalHeader()->sectionClicked(6);
        out << "  sort by area: " << t.elapsed() << " ms\n";
        t.start();
        s->findChild<QPushButton*>(QStringLiteral("btnDosieImot"))->click();
        out << "  open the property view: " << t.elapsed() << " ms\n";
        moveThrough(out, "move the view with the list", list);
        t.start();
        s->findChild<QPushButton*>(QStringLiteral("butFilterClear"))->click();
        out << "  clear the filter: " << t.elapsed() << " ms, " << list->model()->rowCount() << " rows\n";
    }
    {
        auto s = opened<TFSprImotiSobstv>(
            out, "the properties by owner", [&] { return new TFSprImotiSobstv(dm, prompter, none, byOwner); },
            "jvdbgridSobstv");
        moveThrough(out, "move to an owner and his plots", grid(s.get(), "jvdbgridSobstv"));
    }
    {
        auto s = opened<TFSprbezimoti>(
            out, "the owners without properties", [&] { return new TFSprbezimoti(dm, prompter, without); },
            "jvdbgridSprSobstvImoti");
    }
    return 0;
}

}  // namespace bench
