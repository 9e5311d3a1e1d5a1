// rent-goods DB: the report "Справка стоки за рента по землища" on the rules
// screen: its three queries read as the report reads them (over the kept
// contract lines, brought up to date first), and the whole report from the
// button to a PDF file, each timed; the three queries are also read computed
// from the raw lines, for comparison.
#include "bench/bench.h"

#include "dataset/dataset.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/rent_goods_report.h"
#include "schema/rent_due_cache.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace bench {

namespace {

// Reads the three queries through one transaction, as the report does;
// prints each one's rows and time and returns the total milliseconds.
qint64 readQueries(TDM& dm, const rent::RentGoodsQueries& q, const QString& what, QTextStream& out)
{
    dataset::TransactionArea area(dm.IBDatabase1, QStringLiteral("IBTransaction1"));
    qint64 total = 0;
    const std::pair<const char*, const QString*> queries[] = {
        {"IBQuery4", &q.typesInUse}, {"IBQuery3", &q.typesPerContractType}, {"IBQuery1", &q.body}};
    out << what << ":\n";
    for (const auto& [name, sql] : queries) {
        dataset::Dataset query(area, QLatin1String(name));
        query.sql().setLines({*sql});
        QElapsedTimer t;
        t.start();
        query.open();
        const qint64 ms = t.elapsed();
        total += ms;
        out << "  " << name << ": " << query.rowCount() << " rows, " << ms << " ms\n";
    }
    area.commit();
    out << "  together: " << total << " ms\n";
    return total;
}

int rentGoods(const QStringList& args)
{
    QTextStream out(stdout);
    try {
        TDM dm(args[0]);
        dm.IBDatabase1.connect();
        QElapsedTimer t;
        t.start();
        schema::rent::bringUpToDate(dm.IBDatabase1.connection());
        out << "kept rent due brought up to date: " << t.elapsed() << " ms\n";
        readQueries(dm, rent::rentGoodsQueries(schema::rent::keptContractLines()), QStringLiteral("kept lines"), out);
        if (args.contains(QStringLiteral("--computed")))
            readQueries(dm, rent::rentGoodsQueries(), QStringLiteral("computed lines"), out);
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case rentGoodsCase = {"rent-goods",
                            "DB: the goods-by-area report: its three queries (kept and computed lines), the report",
                            rentGoods};

}  // namespace bench
