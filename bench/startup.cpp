// arventa-bench startup DB: the time from process start to the main window
// shown with every shared cursor open, on the given database file.
#include "app/startup.h"
#include "bench/bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace bench {

int startup(const QStringList& args)
{
    QTextStream out(stdout);
    QTemporaryDir exeFolder;  // a folder without "TEMP"
    PrintingPrompter prompter;
    QElapsedTimer module;
    module.start();
    Arventa program = startArventa(exeFolder.path(), prompter, args[0]);
    const qint64 moduleMs = module.elapsed();
    if (!program.main)
        return 1;
    QApplication::processEvents();
    const qint64 totalMs = sinceProcessStart();
    int open = 0, rows = 0;
    QStringList largest;
    for (const dataset::Dataset* c : program.dm->tableCursors()) {
        open += c->isOpen() ? 1 : 0;
        rows += c->loadedRowCount();
        if (c->loadedRowCount() >= 1000)
            largest << QStringLiteral("%1 %2").arg(c->name()).arg(c->loadedRowCount());
    }
    const int all = int(program.dm->tableCursors().size());
    out << "startup: " << totalMs << " ms from process start to the main window shown (data module and window "
        << moduleMs << " ms); " << open << "/" << all << " shared cursors open, " << rows << " rows buffered\n";
    if (!largest.isEmpty())
        out << "  cursors of 1,000 rows or more: " << largest.join(QStringLiteral(", ")) << "\n";
    return open == all && program.main->isVisible() ? 0 : 1;
}

}  // namespace bench
