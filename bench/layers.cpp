// arventa-bench layers DB: what the program's own layers add to the
// engine's cost, on the owners table (the HORA cursor) and on the owners
// list: the engine alone (rows fetched into its buffer, no value read),
// the statement layer (every value read), and the dataset (rows buffered
// as a screen holds them). Runs alternate; medians are printed.
#include "bench/bench.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "dm/tdm.h"
#include "fb/raw_fetch.h"
#include "fb/statement.h"
#include "registers/tfhora.h"

#include <QElapsedTimer>

#include <algorithm>
#include <functional>

namespace bench {

namespace {

constexpr int kRuns = 7;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The three ways of reading one select, run in turn `kRuns` times.
void weigh(QTextStream& out, const char* what, TDM& dm, const QString& sql, const std::function<int()>& throughDataset)
{
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c);
    std::vector<double> raw, statement, buffered;
    long long rows = 0;
    QElapsedTimer t;
    for (int run = 0; run < kRuns; ++run) {
        t.start();
        rows = fb::fetchRaw(c, tr, sql);
        raw.push_back(t.nsecsElapsed() / 1e6);

        t.start();
        fb::Statement st(c, sql);
        st.open(tr);
        while (st.fetch()) {
        }
        statement.push_back(t.nsecsElapsed() / 1e6);

        t.start();
        throughDataset();
        buffered.push_back(t.nsecsElapsed() / 1e6);
    }
    tr.commit();
    const double engine = median(raw);
    out << "  " << what << " (" << rows << " rows): engine " << engine << " ms, statement " << median(statement)
        << " ms (" << median(statement) / engine << "x), dataset " << median(buffered) << " ms ("
        << median(buffered) / engine << "x)\n";
}

}  // namespace

int layers(const QStringList& args)
{
    QTextStream out(stdout);
    TDM dm(args[0]);
    dm.IBDatabase1.connect();
    out << "layers:\n";
    // The cursor read whole, as a list reads its rows, and read on demand
    // as the data module keeps it (everything asked for at once).
    for (const bool onDemand : {false, true}) {
        dm.THora.close();
        dm.THora.setFetchOnDemand(onDemand);
        weigh(out, onDemand ? "HORA cursor read on demand" : "HORA cursor", dm,
              QStringLiteral("select * from HORA order by ID_HORA"), [&] {
                  dm.THora.close();
                  dm.THora.open();
                  return dm.THora.rowCount();
              });
    }
    dataset::TransactionArea area(dm.IBDatabase1, QStringLiteral("IBTQueryHora"));
    dataset::Dataset list(area, QStringLiteral("QueryHora"));
    const QStringList lines = TFHora::queryHora().defaultLines();
    list.sql().setLines(lines);
    weigh(out, "owners list", dm, lines.join(QLatin1Char('\n')), [&] {
        list.close();
        list.open();
        return list.rowCount();
    });
    return 0;
}

}  // namespace bench
