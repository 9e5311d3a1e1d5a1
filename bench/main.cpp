// arventa-bench CASE DB [options]: times one of the program's heavy paths
// against a database file (made by arventa-demo). Run on demand, never by
// the tests.
#include "bench/bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

#include <ctime>

namespace {

// Started while the program's statics are made, before main().
const QElapsedTimer& processClock()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock;
}
const bool clockStarted = (processClock(), true);

}  // namespace

long bench::peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

qint64 bench::processorMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

qint64 bench::sinceProcessStart()
{
    return processClock().elapsed();
}

int main(int argc, char** argv)
{
    // Cases that make windows run without a display unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto& cases = bench::cases();
    if (args.size() >= 3) {
        for (const bench::Case& c : cases)
            if (args[1] == QLatin1String(c.name))
                return c.run(args.mid(2));
    }
    QTextStream err(stderr);
    err << "usage: arventa-bench CASE DB [options]\ncases:\n";
    for (const bench::Case& c : cases)
        err << "  " << c.name << "  " << c.help << "\n";
    return 2;
}
