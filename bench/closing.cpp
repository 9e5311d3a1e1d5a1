// arventa-bench closing DB: the year closing of a copy of DB (the file
// itself is left as it is), made in a temporary program folder with the
// layouts beside it: the time from the button to the end of the run, file
// copies included, the process's peak memory, and what was carried over.
#include "bench/bench.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "service/tfpreklgod.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace bench {

int closing(const QStringList& args)
{
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString db = folder.filePath(QStringLiteral("ARVENTA.FDB"));
    if (!QFile::copy(args[0], db)) {
        out << "closing: cannot copy " << args[0] << "\n";
        return 1;
    }
    for (const QString& layout : QDir(QStringLiteral(ARVENTA_LAYOUTS_DIR)).entryList({QStringLiteral("*.rav")}))
        QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/") + layout, folder.filePath(layout));
    AgreeingPrompter prompter;
    TDM dm(db);
    TFPreklgod screen(dm, prompter, folder.path());
    QElapsedTimer t;
    t.start();
    screen.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    const qint64 ms = t.elapsed();
    fb::Connection& c = dm.IBDatabase1.connection();
    fb::Transaction tr(c);
    const auto carried =
        fb::fetchAll(*std::make_unique<fb::Statement>(c, QStringLiteral("select count(*), sum(suma) from onr")), tr);
    const fb::Value year = fb::fetchScalar(c, tr, QStringLiteral("select toyear from firma"));
    tr.commit();
    out << "closing: " << ms << " ms, peak " << peakMegabytes() << " MB; ONR " << carried[0][0].toString() << " rows, "
        << carried[0][1].toString() << " leva; the farming year now ends " << year.toString() << "\n";
    return 0;
}

}  // namespace bench
