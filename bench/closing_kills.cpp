// arventa-bench closing-kills DB [--kills N]: the year closing of a copy of
// DB (the file itself is left as it is) killed N times (200 unless told),
// in turn: from the click while the database is let go for the copies,
// during the file copies, and after the commit (the connection made again,
// the new year's kept figures worked out, the leftovers cleared), at
// moments spread evenly over each part of an uncut run. After each kill the engine checks every page of the database
// (gfix -v -full) and the program's start-up must recover what the run
// left. It prints the kills made and how many left a damaged database or
// one the program would not start on; both must be 0.
#include "bench/bench.h"
#include "dm/tdm.h"
#include "service/closing_recovery.h"
#include "tests/service/closing_run.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace bench {

namespace {

bool startsAfterwards(const QString& database, const QString& program)
{
    AgreeingPrompter prompter;
    TDM dm(database);
    return !dm.connectError() && service::recoverBrokenClosing(program, dm, prompter);
}

}  // namespace

int closingKills(const QStringList& args)
{
    QTextStream out(stdout);
    const int kills = args.contains(QStringLiteral("--kills"))
                          ? args.value(args.indexOf(QStringLiteral("--kills")) + 1).toInt()
                          : 200;
    QTemporaryDir folder;
    const QString pristine = folder.filePath(QStringLiteral("pristine.fdb"));
    const QString db = folder.filePath(QStringLiteral("data/ARVENTA.FDB"));
    QDir().mkpath(folder.filePath(QStringLiteral("data")));
    if (!QFile::copy(args[0], pristine)) {
        out << "closing-kills: cannot copy " << args[0] << "\n";
        return 1;
    }
    // A register of an earlier version is brought up to this one once, here:
    // the runs measure the closing, not an upgrade repeated in each of them.
    {
        TDM dm(pristine);
        if (dm.connectError()) {
            out << "closing-kills: " << pristine << " does not open\n";
            return 1;
        }
    }
    const auto fresh = [&] {
        QFile::remove(db);
        QFile::copy(pristine, db);
        QDir(folder.filePath(QStringLiteral("program"))).removeRecursively();
        QDir().mkpath(folder.filePath(QStringLiteral("program")));
        return folder.filePath(QStringLiteral("program"));
    };

    const closingrun::Run uncut = closingrun::run(db, fresh(), 99);
    if (uncut.killed || !uncut.times.contains(QStringLiteral("end"))) {
        out << "closing-kills: the uncut closing did not end\n";
        return 1;
    }
    struct Part {
        const char* name;
        int step;  // the kill is timed from it
        int length;
    };
    const Part parts[] = {
        {"from the click", -2, uncut.times.value(QStringLiteral("step -1"))},
        {"into the copies", -1,
         uncut.times.value(QStringLiteral("step 0")) - uncut.times.value(QStringLiteral("step -1"))},
        {"after the commit", 7, uncut.times.value(QStringLiteral("end")) - uncut.times.value(QStringLiteral("step 7"))},
    };
    out << "closing-kills: an uncut closing lets the database go in " << parts[0].length << " ms, copies for "
        << parts[1].length << " ms and works " << parts[2].length << " ms after its commit\n";
    out.flush();

    int made = 0, damaged = 0, notStarted = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kills; ++i) {
        const Part& part = parts[i % 3];
        // Spread over the part of the run without repeating itself: the golden ratio's steps.
        const double at = std::fmod((i / 3 + 1) * 0.6180339887, 1.0);
        const int delay = int(at * part.length);
        const QString program = fresh();
        const closingrun::Run run = closingrun::run(db, program, part.step, delay);
        made += run.killed ? 1 : 0;
        const QString errors = closingrun::validationErrors(db);
        const QString moment = QStringLiteral("%1 ms %2").arg(delay).arg(QLatin1String(part.name));
        if (!errors.isEmpty()) {
            ++damaged;
            out << "  damaged, killed " << moment << ": " << errors.left(300) << "\n";
        }
        if (!startsAfterwards(db, program)) {
            ++notStarted;
            out << "  the program does not start, killed " << moment << "\n";
        }
    }
    out << "closing-kills: " << kills << " runs, " << made << " killed before their end, " << damaged
        << " damaged databases, " << notStarted << " not started again; " << clock.elapsed() / 1000 << " s\n";
    return damaged == 0 && notStarted == 0 ? 0 : 1;
}

const Case closingKillsCase = {"closing-kills",
                               "DB [--kills N]: the year closing of a copy of DB killed N times (200) as it lets the "
                               "database go, during its copies and after its commit; each database checked by gfix "
                               "and started again",
                               closingKills};

}  // namespace bench
