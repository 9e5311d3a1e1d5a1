// register-import DB FILE [--apply]: a workbook of the register read,
// checked and matched with the register of DB (the preview), each step
// timed, with the records per sheet and the process's peak memory. With
// --apply the workbook is then written into DB in one transaction; without
// it DB is left as it was.
#include "bench/bench.h"

#include "dataset/database.h"
#include "fb/error.h"
#include "transfers/register_import.h"
#include "workbook/workbook_error.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace bench {

namespace {

namespace ri = transfers::register_import;

void print(QTextStream& out, const char* step, const ri::Preview& preview, qint64 ms)
{
    int records = 0;
    for (const auto& [sheet, c] : preview.sheets)
        records += c.added + c.changed + c.unchanged + c.refused;
    out << "  " << step << ": " << records << " records, " << preview.refusals.size() << " refusals in " << ms
        << " ms\n";
    out.flush();
}

int run(const QStringList& args)
{
    if (args.size() < 2) {
        QTextStream(stderr) << "register-import DB FILE [--apply]\n";
        return 2;
    }
    QTextStream out(stdout);
    dataset::Database database(args[0]);
    QElapsedTimer clock, step;
    const qint64 cpu = processorMs();
    clock.start();
    step.start();
    try {
        const ri::Records records = ri::read(args[1]);
        out << "  read: " << records.refusals.size() << " refusals in " << step.restart() << " ms\n";
        const ri::Preview preview = ri::preview(database, records);
        print(out, "preview", preview, step.restart());
        if (args.contains(QStringLiteral("--apply"))) {
            const ri::Preview applied = ri::apply(database, records);
            print(out, "apply", applied, step.restart());
        }
        out << "register-import: " << clock.elapsed() << " ms (processor " << processorMs() - cpu
            << " ms), peak memory " << peakMegabytes() << " MB\n";
    } catch (const fb::Error& e) {
        QTextStream(stderr) << e.what() << "\n";
        return 1;
    } catch (const transfers::WorkbookError& e) {
        QTextStream(stderr) << e.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case registerImportCase = {
    "register-import",
    "DB FILE [--apply]: a workbook of the register read, checked and previewed against DB (Внасяне от таблици), "
    "each step timed, with its peak memory; --apply writes it",
    run};

}  // namespace bench
