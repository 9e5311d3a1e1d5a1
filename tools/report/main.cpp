// arventa-report LAYOUT.rav --database DB --connection NAME=SQL... (--pdf OUT.pdf | --html OUT.html) [--force]:
// runs a report layout over queries of a database and writes it to a file,
// without a window. Messages go to standard error. The report is written
// under a temporary name and put in place only when it is whole; a file
// already there is replaced only with --force.
#include "common/printing_prompter.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "report_engine/report_project.h"
#include "tools/export/outputs.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>

#include <deque>

namespace {

const char* const kUsage =
    "usage: arventa-report LAYOUT.rav --database DB --connection NAME=SQL [--connection NAME=SQL...]\n"
    "                      (--pdf OUT.pdf | --html OUT.html) [--force]\n"
    "Runs the report layout over the queries, each bound to the connection NAME the layout reads,\n"
    "and writes the report to a PDF or HTML file. The layout is looked up in the current folder\n"
    "unless a path is given. An existing output file is replaced only with --force.\n";

struct Arguments {
    QString layout, database;
    QList<QPair<QString, QString>> connections;
    std::optional<reports::OutputChoice> output;
    bool force = false;
};

std::optional<Arguments> parse(const QStringList& args)
{
    Arguments a;
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--database") && hasValue) {
            a.database = args[++i];
        } else if (arg == QLatin1String("--connection") && hasValue) {
            const QString spec = args[++i];
            const qsizetype eq = spec.indexOf(QLatin1Char('='));
            if (eq <= 0)
                return std::nullopt;
            a.connections.append({spec.left(eq), spec.mid(eq + 1)});
        } else if ((arg == QLatin1String("--pdf") || arg == QLatin1String("--html")) && hasValue && !a.output) {
            using Kind = reports::OutputChoice::Kind;
            a.output = reports::OutputChoice{arg == QLatin1String("--pdf") ? Kind::Pdf : Kind::Html, args[++i]};
        } else if (arg == QLatin1String("--force")) {
            a.force = true;
        } else if (!arg.startsWith(QLatin1Char('-')) && a.layout.isEmpty()) {
            a.layout = arg;
        } else {
            return std::nullopt;
        }
    }
    if (a.layout.isEmpty() || a.database.isEmpty() || !a.output)
        return std::nullopt;
    return a;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    const auto args = parse(app.arguments());
    if (!args) {
        QTextStream(stderr) << kUsage;
        return 2;
    }

    PrintingPrompter prompter;
    exportcli::Outputs outputs(args->force);
    const QString target = args->output->path;
    if (const auto refusal = outputs.refusal(target)) {
        prompter.message(*refusal);
        return 1;
    }
    reports::OutputChoice staged = *args->output;
    staged.path = outputs.stage(target);
    if (staged.path.isEmpty()) {
        prompter.message(exportcli::folderNotMade(QFileInfo(target).absolutePath()));
        return 1;
    }
    dataset::Database database(args->database);
    dataset::TransactionArea area(
        database, QStringLiteral("IBTReport"),
        fb::TransactionOptions{fb::TransactionOptions::Isolation::Snapshot, true, true, true});
    std::deque<dataset::Dataset> queries;
    reports::FixedOutputChooser output(staged);
    reports::ReportProject project(args->layout, prompter, nullptr);
    project.setOutputChooser(output);
    for (const auto& [name, sql] : args->connections) {
        dataset::Dataset& query = queries.emplace_back(area, name);
        query.sql().setLines({sql});
        project.bindConnection(name, query);
    }
    if (!project.execute())
        return 1;  // the staged file goes with `outputs`
    if (const auto refusal = outputs.commit()) {
        prompter.message(*refusal);
        return 1;
    }
    return 0;
}
