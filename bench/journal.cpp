// arventa-bench journal DB [--changes N]: the journal of changes on a
// register whose trail holds a year of work. With --changes, N corrections
// of owners and plots are made first through the trail's triggers (in
// statements of 20,000 rows, each timed: the triggers' cost on a bulk
// change). Then the journal is opened (its first rows read), filtered by an
// owner's name, by today and by a kind, and cleared.
#include "bench/bench.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "reports/tfjurnal.h"
#include "report_engine/output_chooser.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <memory>

namespace bench {

namespace {

// Corrections in turn: a telephone of every owner, then an area of every
// plot, until `changes` rows were changed.
void makeChanges(fb::Connection& c, int changes, QTextStream& out)
{
    const QString statements[] = {
        QStringLiteral("update hora set tel = right(coalesce(tel, '') || '1', 15) order by id_hora rows 20000"),
        QStringLiteral("update zemq set polpl = coalesce(polpl, 0) + 0.001 order by id_zemq rows 20000"),
    };
    QElapsedTimer t;
    for (int done = 0, i = 0; done < changes; ++i) {
        fb::Transaction tr(c);
        const QString count = QStringLiteral("select count(*) from jurnal_prom");
        const int before = fb::fetchScalar(c, tr, count).toInt();
        t.start();
        fb::execute(c, tr, statements[i % 2]);
        tr.commit();
        const qint64 ms = t.elapsed();
        const int rows = fb::fetchScalar(c, tr, count).toInt() - before;
        tr.commit();
        out << "  " << rows << " rows corrected: " << ms << " ms\n";
        done += rows > 0 ? rows : changes;
    }
}

}  // namespace

int journal(const QStringList& args)
{
    QTextStream out(stdout);
    PrintingPrompter prompter;
    TDM dm(args[0]);
    if (args.contains(QStringLiteral("--changes")))
        makeChanges(dm.IBDatabase1.connection(), args.value(args.indexOf(QStringLiteral("--changes")) + 1).toInt(),
                    out);
    {
        fb::Transaction tr(dm.IBDatabase1.connection());
        out << "journal: "
            << fb::fetchScalar(dm.IBDatabase1.connection(), tr, QStringLiteral("select count(*) from jurnal_prom"))
                   .toInt()
            << " rows in the trail\n";
    }
    reports::DialogOutputChooser outputs;
    std::unique_ptr<TFJurnal> screen;
    QTableView* view = nullptr;
    const auto rows = [&] { return view ? view->model()->rowCount() : 0; };
    const auto click = [&](const char* name) { screen->findChild<QPushButton*>(QLatin1String(name))->click(); };
    const auto type = [&](const char* box, const QString& text) {
        screen->findChild<QLineEdit*>(QLatin1String(box))->setText(text);
    };
    QElapsedTimer t;
    const auto step = [&](const char* what, auto&& run) {
        t.start();
        run();
        out << "  " << what << ": " << t.elapsed() << " ms, " << rows() << " rows read\n";
    };
    step("open the journal", [&] {
        screen = std::make_unique<TFJurnal>(dm, prompter, outputs);
        screen->show();
        view = screen->findChild<QTableView*>(QStringLiteral("jvdbgridJurnal"));
    });
    type("edFilterSobstv", QStringLiteral("ов"));
    step("filter by an owner's name containing 'ов'", [&] { click("butFilterShow"); });
    click("butFilterClear");
    type("edFilterOt", QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    step("filter by today", [&] { click("butFilterShow"); });
    click("butFilterClear");
    type("edFilterVid", QStringLiteral("Имоти"));
    step("filter by a kind", [&] { click("butFilterShow"); });
    step("clear the filter", [&] { click("butFilterClear"); });
    return rows() > 0 ? 0 : 1;
}

}  // namespace bench
