// arventa-import FILE.xlsx --database DB [--check]: brings a workbook of the
// register (as arventa-export register writes it) into the register without
// a window. Prints what each sheet would add, change and leave, then every
// refused row; writes it all in one transaction unless --check is given or
// anything is refused. Exit code: 0 applied (or checked) clean, 1 refusals,
// 2 a failure (no file, no database, bad arguments).
#include "common/failure.h"
#include "dataset/database.h"
#include "fb/error.h"
#include "transfers/register_import.h"
#include "workbook/workbook_error.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

#include <optional>

namespace {

namespace ri = transfers::register_import;

const char* const kUsage =
    "usage: arventa-import FILE.xlsx --database DB [--check]\n"
    "Reads FILE.xlsx, a workbook of the register (as arventa-export register writes it), checks every value\n"
    "and matches its records with the register by their natural keys. Prints per sheet the records new,\n"
    "changed, unchanged and refused, then every refusal as \"sheet, row N, column: reason\".\n"
    "Writes everything in one transaction unless --check is given or anything is refused.\n"
    "Exit code: 0 applied (or checked) clean, 1 refusals, 2 failure.\n";

struct Arguments {
    QString file, database;
    bool check = false;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments a;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--database") && i + 1 < args.size())
            a.database = args[++i];
        else if (arg == QLatin1String("--check"))
            a.check = true;
        else if (!arg.startsWith(QLatin1Char('-')) && a.file.isEmpty())
            a.file = arg;
        else
            return std::nullopt;
    }
    if (a.file.isEmpty() || a.database.isEmpty())
        return std::nullopt;
    return a;
}

void print(const ri::Preview& preview)
{
    QTextStream out(stdout);
    for (const auto& [sheet, c] : preview.sheets)
        out << sheet << ": " << c.added << " нови, " << c.changed << " променени, " << c.unchanged << " без промяна, "
            << c.refused << " отказани\n";
    for (const ri::Refusal& r : preview.refusals)
        out << ri::refusalText(r) << "\n";
}

int run(const Arguments& a)
{
    const ri::Records records = ri::read(a.file);
    dataset::Database database(a.database);
    const ri::Preview preview = a.check ? ri::preview(database, records) : ri::apply(database, records);
    print(preview);
    if (!preview.clean()) {
        QTextStream(stderr) << ri::kFailed << "\n";
        return 1;
    }
    QTextStream(stdout) << (a.check ? "Проверката е без откази.\n" : "Внасянето от таблици е извършено!\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    const auto args = parse(app.arguments());
    if (!args) {
        QTextStream(stderr) << kUsage;
        return 2;
    }
    try {
        return run(*args);
    } catch (const transfers::WorkbookError& e) {
        QTextStream(stderr) << failure::text(ri::kFailed, e) << "\n";
    } catch (const fb::Error& e) {
        QTextStream(stderr) << failure::text(ri::kFailed, e) << "\n";
    }
    return 2;
}
