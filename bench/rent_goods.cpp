// rent-goods DB [OUT.pdf] [--computed]: the report "Справка стоки за рента по
// землища": its three queries read as the report reads them (over the kept
// contract lines, brought up to date first), then the whole report from the
// rules screen's button to a PDF file, each timed. With --computed the three
// queries are also read over contract lines computed from the raw rows.
#include "bench/bench.h"

#include "dataset/dataset.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/rent_goods_report.h"
#include "rent/tfrentazeml.h"
#include "schema/rent_due_cache.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

namespace bench {

namespace {

// Reads the three queries through one transaction, as the report does;
// prints each one's rows and time and returns the total milliseconds.
qint64 readQueries(TDM& dm, const rent::RentGoodsQueries& q, const QString& what, QTextStream& out)
{
    dataset::TransactionArea area(dm.IBDatabase1, QStringLiteral("IBTransaction1"));
    qint64 total = 0;
    const std::clock_t cpu = std::clock();
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
    // The processor time tells the work from the waiting on a busy machine.
    out << "  together: " << total << " ms (processor " << (std::clock() - cpu) * 1000 / CLOCKS_PER_SEC << " ms)\n";
    return total;
}

// The whole report from the rules screen's button: the kept lines brought
// up to date, the queries read, the layout laid out and the PDF written.
void report(TDM& dm, const QString& pdf, QTextStream& out)
{
    QTemporaryDir folder;
    const QString file =
        pdf.isEmpty() ? folder.filePath(QStringLiteral("SprZR.pdf")) : QFileInfo(pdf).absoluteFilePath();
    QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/SprZR.rav"), folder.filePath(QStringLiteral("SprZR.rav")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    PrintingPrompter prompter;
    reports::FixedOutputChooser outputs({reports::OutputChoice::Kind::Pdf, file});
    TFRentaZeml screen(dm, prompter, outputs, {});
    QElapsedTimer t;
    t.start();
    screen.printRentGoods();
    out << "the report from the button to " << file << ": " << t.elapsed() << " ms (" << QFileInfo(file).size()
        << " bytes)\n";
    QDir::setCurrent(previous);
}

int rentGoods(const QStringList& args)
{
    QTextStream out(stdout);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    try {
        TDM dm(args[0]);
        dm.IBDatabase1.connect();
        QElapsedTimer t;
        t.start();
        schema::rent::bringUpToDate(dm.IBDatabase1.connection());
        out << "kept rent due brought up to date: " << t.elapsed() << " ms\n";
        readQueries(dm, rent::rentGoodsQueries(schema::rent::keptContractLines()), QStringLiteral("kept lines"), out);
        report(dm, args.value(1).endsWith(QLatin1String(".pdf")) ? args[1] : QString(), out);
        if (args.contains(QStringLiteral("--computed")))
            readQueries(dm, rent::rentGoodsQueries(), QStringLiteral("computed lines"), out);
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case rentGoodsCase = {
    "rent-goods", "DB [OUT.pdf] [--computed]: the goods-by-area report: its three queries, the whole report to PDF",
    rentGoods};

}  // namespace bench
