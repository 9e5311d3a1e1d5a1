// arventa-bench server-archive DB: the archive of a register on a server as
// the backup screen and a server's year closing make it. DB is named as the
// desks open it ("host/port:alias", with ISC_USER and ISC_PASSWORD set): the
// backup the server's engine streams to this machine and its restore here by
// the embedded engine, each timed, with the sizes and the owners restored.
#include "bench/bench.h"
#include "fb/error.h"
#include "fb/services.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

namespace bench {

namespace {

int serverArchive(const QStringList& args)
{
    QTextStream out(stdout);
    QTemporaryDir folder;
    const QString backup = folder.filePath(QStringLiteral("ARVENTA.FBK"));
    const QString restored = folder.filePath(QStringLiteral("ARVENTA.FDB"));
    QElapsedTimer t;
    try {
        t.start();
        fb::ServiceManager(args[0]).backup(backup);
        const qint64 backupMs = t.restart();
        fb::ServiceManager(restored).restore(backup, restored);
        const qint64 restoreMs = t.elapsed();
        fb::Connection c;
        c.attach(restored);
        fb::Transaction tr(c);
        const fb::Value owners = fb::fetchScalar(c, tr, QStringLiteral("select count(*) from hora"));
        tr.commit();
        out << "server-archive: backup " << backupMs << " ms (" << QFileInfo(backup).size() / (1024 * 1024)
            << " MB here), restore " << restoreMs << " ms (" << QFileInfo(restored).size() / (1024 * 1024) << " MB), "
            << owners.toString() << " owners; peak " << peakMegabytes() << " MB\n";
    } catch (const fb::Error& e) {
        out << "server-archive: " << e.message() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

const Case serverArchiveCase = {"server-archive",
                                "DB: a server's register backed up by its engine to this machine and restored here "
                                "by the embedded engine, each timed (the backup screen and a server's year closing)",
                                serverArchive};

}  // namespace bench
