// arventa-bench land DB: the land browser TFZemq as the user drives it on a
// database of many plots (made by arventa-demo): opening it (the area list
// and the levels below), moving through up to 50 areas (each move reads the
// area's localities and the first locality's plots), a province filter,
// clearing it and the filter once more.
#include "bench/bench.h"
#include "common/sort_switch.h"
#include "dm/tdm.h"
#include "registers/tfzemq.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <memory>

namespace bench {

int land(const QStringList& args)
{
    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    dm.IBDatabase1.connect();
    SortSwitch direction;
    std::unique_ptr<TFZemq> screen;
    QElapsedTimer t;

    t.start();
    screen = std::make_unique<TFZemq>(dm, prompter, direction, direction);
    screen->show();
    out << "land:\n  open the browser: " << t.elapsed() << " ms\n";

    auto* areas = screen->findChild<QTableView*>(QStringLiteral("jvdbgridZemlishta"));
    auto* plots = screen->findChild<QTableView*>(QStringLiteral("jvdbgridImoti"));
    const int moves = std::min(50, areas->model()->rowCount());
    std::vector<qint64> times;
    qint64 plotsSeen = 0;
    for (int r = 0; r < moves; ++r) {
        t.start();
        areas->setCurrentIndex(areas->model()->index(r, 0));
        times.push_back(t.nsecsElapsed() / 1000);
        plotsSeen += plots->model()->rowCount();
    }
    std::sort(times.begin(), times.end());
    if (!times.empty())
        out << "  move to an area and its first locality (" << moves << " moves, " << plotsSeen
            << " plots shown): median " << times[times.size() / 2] / 1000.0 << " ms, slowest " << times.back() / 1000.0
            << " ms\n";

    const auto click = [&](const char* name) { screen->findChild<QPushButton*>(QLatin1String(name))->click(); };
    screen->findChild<QLineEdit*>(QStringLiteral("edOblast"))->setText(QStringLiteral("Тър"));
    t.start();
    click("butShow");
    out << "  filter by province 'Тър': " << t.elapsed() << " ms, " << areas->model()->rowCount() << " areas\n";
    t.start();
    click("butClear");
    out << "  clear the filter: " << t.elapsed() << " ms, " << areas->model()->rowCount() << " areas\n";
    // The first upper() of the process loads the engine's character set
    // module; the second filter shows the cost of a filter alone.
    t.start();
    click("butShow");
    out << "  the same filter again: " << t.elapsed() << " ms\n";
    return moves > 0 ? 0 : 1;
}

}  // namespace bench
