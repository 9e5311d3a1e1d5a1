// arventa-bench owners DB: the owners register TFHora as the user drives it
// on a database of many owners (made by arventa-demo): opening it (the list
// read), a name filter and clearing it, two sorts by a column title, a
// search for the last identifier from the top, and a correction opened and
// cancelled, then opened and saved unchanged.
#include "dm/tdm.h"
#include "bench/bench.h"
#include "common/sort_switch.h"
#include "registers/tfhora.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <memory>

namespace bench {

int owners(const QStringList& args)
{
    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    SortSwitch direction;
    std::unique_ptr<TFHora> screen;
    QTableView* view = nullptr;
    const auto rows = [&] { return view ? view->model()->rowCount() : 0; };
    const auto click = [&](const char* name) { screen->findChild<QPushButton*>(QLatin1String(name))->click(); };

    QElapsedTimer t;
    const auto step = [&](const char* what, auto&& run) {
        t.start();
        run();
        out << "  " << what << ": " << t.elapsed() << " ms, " << rows() << " rows\n";
    };
    out << "owners:\n";
    step("open the register", [&] {
        screen = std::make_unique<TFHora>(dm, prompter, direction);
        screen->show();
        view = screen->findChild<QTableView*>(QStringLiteral("jvdbgridHora"));
    });
    screen->findChild<QLineEdit*>(QStringLiteral("edFilterIme"))->setText(QStringLiteral("ов"));
    step("filter by name containing 'ов'", [&] { click("butFilterShow"); });
    step("clear the filter", [&] { click("butFilterClear"); });
    step("sort by name, ascending", [&] { emit view->horizontalHeader()->sectionDoubleClicked(1); });
    step("sort by identifier, descending", [&] { emit view->horizontalHeader()->sectionDoubleClicked(0); });

    const QAbstractItemModel& model = *view->model();
    screen->findChild<QLineEdit*>(QStringLiteral("edSearchEGN"))
        ->setText(model.index(model.rowCount() - 1, 0).data().toString().left(10));
    view->setCurrentIndex(model.index(0, 0));
    step("search the last identifier from the top", [&] { click("butSearch"); });
    step("correct the found owner", [&] { click("bitHoraKor"); });
    step("cancel", [&] { click("bitOtkaz"); });
    click("bitHoraKor");
    step("save a correction", [&] { click("bitZapis"); });
    return rows() > 0 ? 0 : 1;
}

}  // namespace bench
