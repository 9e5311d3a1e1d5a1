// arventa-bench CASE DB [options]: times one of the program's heavy paths
// against a database file (made by arventa-demo). Run on demand, never by
// the tests.
#include "bench/bench.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
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
