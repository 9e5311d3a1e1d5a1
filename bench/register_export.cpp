// register-export DB [--keep FILE]: the whole register written as one
// workbook, timed sheet by sheet, with the records written, the file's size
// and the process's peak resident memory (VmHWM). The workbook goes to a
// temporary folder, or to FILE with --keep; the database is only read.
#include "bench/bench.h"

#include "dataset/database.h"
#include "fb/error.h"
#include "transfers/register_export.h"
#include "transfers/register_sheets.h"
#include "workbook/workbook_error.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

namespace bench {

namespace {

// The peak resident memory as the kernel reports it for this process.
QString peakResident()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("unknown");
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    return QStringLiteral("unknown");
}

int run(const QStringList& args)
{
    QTextStream out(stdout);
    QTemporaryDir folder;
    const int keep = int(args.indexOf(QStringLiteral("--keep")));
    const QString path =
        keep > 0 && keep + 1 < args.size() ? args[keep + 1] : folder.filePath(QStringLiteral("register.xlsx"));
    dataset::Database database(args[0]);
    QStringList sheets{transfers::register_sheets::explanationsSheet()};
    for (const auto& s : transfers::register_sheets::sheets())
        sheets << s.name;
    QElapsedTimer clock, step;
    const qint64 cpu = processorMs();
    clock.start();
    step.start();
    int done = 0;
    try {
        const long long records = transfers::register_export::write(database, path, [&](int) {
            out << "  " << sheets.value(done++) << ": " << step.restart() << " ms\n";
            out.flush();
        });
        out << "register-export: " << records << " records in " << clock.elapsed() << " ms (processor "
            << processorMs() - cpu << " ms), " << QFileInfo(path).size() / 1024 << " KB, peak memory (VmHWM) "
            << peakResident() << "\n";
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

const Case registerExportCase = {
    "register-export",
    "DB [--keep FILE]: the whole register as one workbook (Износ в таблици), timed sheet by sheet, with its peak "
    "memory (VmHWM)",
    run};

}  // namespace bench
