// arventa-demo PATH --owners N --plots M [--seed S]: fills a new database
// (made by arventa-newdb) with a generated, lived-in enterprise: the same
// enterprise for the same sizes and seed, every time.
#include "demo/writer.h"

#include "fb/connection.h"
#include "fb/error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <optional>

namespace {

struct Arguments {
    QString path;
    demo::Sizes sizes;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments a;
    bool owners = false, plots = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!a.path.isEmpty())
                return std::nullopt;
            a.path = arg;
            continue;
        }
        if (i + 1 >= args.size())
            return std::nullopt;
        bool ok = false;
        const qulonglong value = args[++i].toULongLong(&ok);
        if (!ok)
            return std::nullopt;
        if (arg == QLatin1String("--owners") && value > 0 && value <= 1000000) {
            a.sizes.owners = static_cast<int>(value);
            owners = true;
        } else if (arg == QLatin1String("--plots") && value > 0 && value <= 5000000) {
            a.sizes.plots = static_cast<int>(value);
            plots = true;
        } else if (arg == QLatin1String("--seed")) {
            a.sizes.seed = value;
        } else {
            return std::nullopt;
        }
    }
    if (a.path.isEmpty() || !owners || !plots)
        return std::nullopt;
    return a;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const auto args = parse(app.arguments());
    if (!args) {
        err << "usage: arventa-demo PATH --owners N --plots M [--seed S]\n"
               "Fills the new database at PATH (made by arventa-newdb) with a generated enterprise.\n";
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        fb::Connection connection;
        connection.attach(args->path);
        const demo::Summary s = demo::fill(connection, args->sizes);
        connection.detach();
        QTextStream(stdout) << "arventa-demo: " << s.owners << " owners, " << s.plots << " plots, " << s.shares
                            << " shares, " << s.contracts << " contracts with " << s.contractLines << " lines, "
                            << s.rules << " rent rules, " << s.receipts << " goods receipts with " << s.receiptLines
                            << " lines, " << s.payments << " cash payments, " << s.arrears << " arrears in "
                            << timer.elapsed() << " ms\n";
    } catch (const fb::Error& e) {
        err << "arventa-demo: " << e.message() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << "arventa-demo: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
