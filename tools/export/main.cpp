// arventa-export nap|ak|ak-db|dekl69|dekl70|register ...: writes the exports
// for the authorities without a window, the same files the screens write, so
// that an office can script its yearly filings, and the whole register as
// one workbook. Messages go to standard error;
// a failure as the screens say it, what was not done first.
#include "common/failure.h"
#include "common/printing_prompter.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"
#include "outputs.h"
#include "report_engine/report_project.h"
#include "transfers/dekl69_export.h"
#include "transfers/dekl70_export.h"
#include "transfers/delivered_forms.h"
#include "transfers/income_declaration_export.h"
#include "transfers/register_export.h"
#include "transfers/survey_card_export.h"
#include "workbook/workbook_error.h"
#include "workbook/writable.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>

#include <optional>
#include <utility>
#include <vector>

namespace {

const char* const kUsage =
    "usage: arventa-export nap FORM.xlsx --database DB [--invalid OUT.pdf] [--force]\n"
    "       arventa-export ak FORM.xlsx --database DB [--invalid OUT.pdf] [--force]\n"
    "       arventa-export ak-db FILE.mde --database DB [--invalid OUT.pdf] [--force]\n"
    "       arventa-export dekl69 --database DB [--folder FOLDER] [--ekatte CODE] [--force]\n"
    "       arventa-export dekl70 --database DB [--folder FOLDER] [--ekatte CODE] [--invalid OUT.pdf] [--force]\n"
    "       arventa-export register FILE.xlsx --database DB [--force]\n"
    "nap fills FORM.xlsx, an empty copy of the income declaration form (DeklNAP.xlsx), and saves it.\n"
    "ak fills FORM.xlsx, an empty copy of the survey card form (zp_viva11_5.xlsx), and saves it;\n"
    "ak-db writes the survey card into FILE.mde, an empty survey database (zp_v15.mde).\n"
    "The blank forms delivered with the program (beside it, or in a forms folder) are never filled:\n"
    "copy one elsewhere and give the copy.\n"
    "dekl69 and dekl70 write FOLDER/Dekl69/<EKATTE>.xlsx (Dekl70/...) for every cadastral area, or for\n"
    "the one of CODE; FOLDER is the current folder unless given.\n"
    "register writes the whole register (owners, land, shares, contracts, rent rules) into FILE.xlsx,\n"
    "a new workbook with a sheet that explains every column.\n"
    "--invalid prints the owners or plots that could not be declared to a PDF file.\n"
    "A file already there is replaced only with --force. A run that fails leaves the form as it was and\n"
    "writes no file; the files written are readable by their owner only.\n";

struct Arguments {
    QString kind, form, database, folder, ekatte, invalid;
    bool force = false;
};

std::optional<Arguments> parse(const QStringList& args)
{
    if (args.size() < 2)
        return std::nullopt;
    Arguments a;
    a.kind = args[1];
    a.folder = QDir::currentPath();
    for (int i = 2; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--database") && hasValue)
            a.database = args[++i];
        else if (arg == QLatin1String("--folder") && hasValue)
            a.folder = args[++i];
        else if (arg == QLatin1String("--ekatte") && hasValue)
            a.ekatte = args[++i];
        else if (arg == QLatin1String("--invalid") && hasValue)
            a.invalid = args[++i];
        else if (arg == QLatin1String("--force"))
            a.force = true;
        else if (!arg.startsWith(QLatin1Char('-')) && a.form.isEmpty())
            a.form = arg;
        else
            return std::nullopt;
    }
    // The kinds that fill a file the user gives.
    const bool nap = a.kind == QLatin1String("nap") || a.kind == QLatin1String("ak") ||
                     a.kind == QLatin1String("ak-db") || a.kind == QLatin1String("register");
    const bool dekl = a.kind == QLatin1String("dekl69") || a.kind == QLatin1String("dekl70");
    if (a.database.isEmpty() || (!nap && !dekl) || nap != !a.form.isEmpty() || (nap && !a.ekatte.isEmpty()) ||
        ((a.kind == QLatin1String("dekl69") || a.kind == QLatin1String("register")) && !a.invalid.isEmpty()))
        return std::nullopt;
    return a;
}

void say(const QString& text)
{
    QTextStream(stderr) << text << "\n";
}

// Every export says the same sentence first when it fails.
const QString& kFailed = transfers::land_declaration::kFailed;

// Says a refusal as the screens do; false when there is one.
bool accepted(const std::optional<transfers::WriteRefusal>& refusal)
{
    if (refusal)
        say(failure::text(transfers::whatFailed(kFailed, *refusal), refusal->detail));
    return !refusal;
}

// Says why the run stops before it wrote anything; false when it may go on.
bool writable(const std::optional<QString>& refusal)
{
    if (refusal)
        say(kFailed + QLatin1Char('\n') + *refusal);
    return !refusal;
}

// Prints rows through a layout to the PDF file `pdf`, staged beside its place.
bool printInvalid(const QString& layout, exportcli::Outputs& outputs, const QString& pdf,
                  const std::function<void(reports::ReportProject&)>& bind)
{
    const QString staged = outputs.stage(pdf);
    if (staged.isEmpty()) {
        writable(outputs.refusal(pdf).value_or(exportcli::folderNotMade(QFileInfo(pdf).absolutePath())));
        return false;
    }
    PrintingPrompter prompter;
    reports::FixedOutputChooser output({reports::OutputChoice::Kind::Pdf, staged});
    reports::ReportProject project(layout, prompter, nullptr);
    project.setOutputChooser(output);
    bind(project);
    return project.execute();
}

int incomeDeclaration(const Arguments& a, dataset::TransactionArea& area)
{
    namespace nap = transfers::income_declaration;
    dataset::Dataset query(area, QStringLiteral("QueryDeklNAP"));
    query.sql().setLines({nap::paymentsStatement()});
    dataset::Dataset firm(area, QStringLiteral("QueryFirma"));
    firm.sql().setLines({QStringLiteral("select * from FIRMA")});
    const auto payments = nap::paymentsOf(query);
    firm.open();
    const nap::Payer payer = firm.isEmpty() ? nap::Payer{} : nap::payerOf(firm);
    exportcli::Outputs outputs(a.force);
    if (!accepted(transfers::writeRefusal(a.form)) || (!a.invalid.isEmpty() && !writable(outputs.refusal(a.invalid))))
        return 1;
    exportcli::FilledInPlace filled(a.form);
    const nap::Result result = nap::transfer(a.form, payer, payments);
    if (!result.refusal.isEmpty()) {
        say(result.refusal);
        return 1;
    }
    reports::Table invalid;
    invalid.fields = QStringList{QStringLiteral("EGN"), QStringLiteral("IME")};
    for (size_t i = 0; i < payments.size(); ++i)
        if (!result.written[i])
            invalid.rows.push_back({fb::Value(payments[i].egn), fb::Value(payments[i].ime)});
    if (!a.invalid.isEmpty() && !invalid.rows.empty() &&
        !printInvalid(QStringLiteral("TransferNevalidni.rav"), outputs, a.invalid,
                      [&](reports::ReportProject& p) { p.bindRows(QStringLiteral("tr"), invalid); }))
        return 1;
    if (!writable(outputs.commit()))
        return 1;
    filled.keep();
    QTextStream(stdout) << a.form << ": " << payments.size() - invalid.rows.size() << " owners written, "
                        << invalid.rows.size() << " left out\n";
    return 0;
}

// The survey card into the form (ak) or into the survey database (ak-db).
int surveyCard(const Arguments& a, dataset::TransactionArea& area)
{
    namespace sc = transfers::survey_card;
    namespace sd = transfers::survey_database;
    const auto [card, written] = sc::readCard(area);
    const bool database = a.kind == QLatin1String("ak-db");
    exportcli::Outputs outputs(a.force);
    if (!a.invalid.isEmpty() && !writable(outputs.refusal(a.invalid)))
        return 1;
    exportcli::FilledInPlace filled(a.form.trimmed());
    const QString refusal =
        database ? sd::write(a.form.trimmed(), card.record, sc::databaseAreas(written), sc::databasePlots(written))
                 : sc::transfer(a.form, card, written);
    if (!refusal.isEmpty()) {
        say(refusal);
        return 1;
    }
    if (!a.invalid.isEmpty()) {
        dataset::Dataset all(area, QStringLiteral("IBQImoti"));
        all.sql().setLines(QStringList{sc::plotsStatement()} + sc::allPlotLines());
        const reports::Table invalid = sc::invalidTable(all);
        if (invalid.rows.empty())
            say(sc::kNoInvalidData);
        else if (!printInvalid(QStringLiteral("TransferNevalidniAK.rav"), outputs, a.invalid,
                               [&](reports::ReportProject& p) { p.bindRows(QStringLiteral("rvdsAK"), invalid); }))
            return 1;
    }
    if (!writable(outputs.commit()))
        return 1;
    filled.keep();
    QTextStream(stdout) << a.form << ": " << sc::databaseAreas(written).size() << " areas, "
                        << sc::databasePlots(written).size() << " plots written\n";
    return 0;
}

int landDeclarations(const Arguments& a, dataset::TransactionArea& area)
{
    namespace ld = transfers::land_declaration;
    const bool own = a.kind == QLatin1String("dekl69");
    dataset::Dataset firm(area, QStringLiteral("IBQFirma"));
    firm.sql().setLines({ld::firmStatement()});
    firm.open();
    const QString place = firm.isEmpty() ? QString() : firm.field(QStringLiteral("GR_S")).asString();
    dataset::Dataset areas(area, QStringLiteral("IBQZeml"));
    areas.sql().setLines({ld::areasStatement(own ? ld::Land::Own : ld::Land::Leased)});
    dataset::Dataset plots(area, QStringLiteral("IBQImoti"));
    plots.sql().setLines({own ? transfers::dekl69::plotsStatement() : transfers::dekl70::plotsStatement()});
    const QString folder = ld::outputFolder(a.folder, own ? transfers::dekl69::kFolder : transfers::dekl70::kFolder);
    if (!writable(exportcli::makeWritableFolder(folder)))
        return 1;
    // The areas first, so that a file that may not be replaced stops the
    // run before anything is written.
    std::vector<std::pair<QString, fb::Value>> chosen;
    areas.open();
    for (areas.first(); !areas.eof(); areas.next()) {
        const QString ekatte = areas.field(QStringLiteral("EKATTE")).asString();
        if (a.ekatte.isEmpty() || ekatte == a.ekatte)
            chosen.emplace_back(ekatte, areas.field(QStringLiteral("ID_ZEML")).value());
    }
    if (chosen.empty() && !a.ekatte.isEmpty()) {
        say(QStringLiteral("Няма землище с ЕКАТТЕ %1 за декларацията!").arg(a.ekatte));
        return 1;
    }
    exportcli::Outputs outputs(a.force);
    for (const auto& [ekatte, id] : chosen)
        if (!writable(outputs.refusal(ld::outputFile(folder, ekatte))))
            return 1;
    if (!a.invalid.isEmpty() && !writable(outputs.refusal(a.invalid)))
        return 1;
    const QDate today = QDate::currentDate();
    const ld::Form form = own ? transfers::dekl69::form(place, today) : transfers::dekl70::form(place, today);
    QStringList done;
    for (const auto& [ekatte, id] : chosen) {
        plots.close();
        plots.setParam(QStringLiteral("id_zeml"), id);
        const auto lines = own ? transfers::dekl69::linesOf(plots) : transfers::dekl70::linesOf(plots);
        const QString path = ld::outputFile(folder, ekatte);
        const QString staged = outputs.stage(path);
        if (staged.isEmpty()) {
            writable(outputs.refusal(path).value_or(exportcli::folderNotMade(folder)));
            return 1;
        }
        ld::write(staged, form, lines);
        done << QStringLiteral("%1: %2 lines").arg(path).arg(lines.size());
    }
    if (!a.invalid.isEmpty()) {
        dataset::Dataset invalid(area, QStringLiteral("IBQInvalidDataDekl70"));
        invalid.sql().setLines({transfers::dekl70::invalidDataStatement()});
        if (!printInvalid(QStringLiteral("TransferNevalidniDekl70.rav"), outputs, a.invalid,
                          [&](reports::ReportProject& p) { p.bindConnection(QStringLiteral("rvdsDekl70"), invalid); }))
            return 1;
    }
    if (!writable(outputs.commit()))
        return 1;
    for (const QString& line : done)
        QTextStream(stdout) << line << "\n";
    return 0;
}

// The whole register into a new workbook, staged beside its place.
int registerWorkbook(const Arguments& a, dataset::Database& database)
{
    namespace re = transfers::register_export;
    const QString path = a.form.trimmed();
    exportcli::Outputs outputs(a.force);
    if (const auto refusal = outputs.refusal(path)) {
        say(re::kFailed + QLatin1Char('\n') + *refusal);
        return 1;
    }
    const QString staged = outputs.stage(path);
    if (staged.isEmpty()) {
        say(re::kFailed + QLatin1Char('\n') + exportcli::folderNotMade(QFileInfo(path).absolutePath()));
        return 1;
    }
    const long long records = re::write(database, staged);
    if (const auto refusal = outputs.commit()) {
        say(re::kFailed + QLatin1Char('\n') + *refusal);
        return 1;
    }
    QTextStream(stdout) << path << ": " << records << " records written\n";
    return 0;
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
    dataset::Database database(args->database);
    dataset::TransactionArea area(
        database, QStringLiteral("IBTExport"),
        fb::TransactionOptions{fb::TransactionOptions::Isolation::Snapshot, true, true, true});
    const bool wholeRegister = args->kind == QLatin1String("register");
    const QStringList delivery = transfers::delivered_forms::folders(QCoreApplication::applicationDirPath());
    // The register's workbook is a new file: only the blank forms themselves may not be written over.
    if (wholeRegister && transfers::delivered_forms::isBlankForm(args->form.trimmed(), delivery)) {
        say(transfers::register_export::kFailed + QLatin1Char('\n') +
            transfers::register_export::blankRefusal(args->form.trimmed()));
        return 1;
    }
    if (!wholeRegister && !args->form.isEmpty() &&
        transfers::delivered_forms::isDelivered(args->form.trimmed(), delivery)) {
        say(kFailed + QLatin1Char('\n') + transfers::delivered_forms::refusal(args->form.trimmed()));
        return 1;
    }
    try {
        if (wholeRegister)
            return registerWorkbook(*args, database);
        if (args->kind == QLatin1String("nap"))
            return incomeDeclaration(*args, area);
        if (args->kind.startsWith(QLatin1String("ak")))
            return surveyCard(*args, area);
        return landDeclarations(*args, area);
    } catch (const transfers::WorkbookError& e) {
        say(failure::text(wholeRegister ? transfers::register_export::kFailed : kFailed, e));
    } catch (const fb::Error& e) {
        say(failure::text(wholeRegister ? transfers::register_export::kFailed : kFailed, e));
    } catch (const transfers::survey_database::SurveyDatabaseError& e) {
        say(failure::text(transfers::survey_database::whatFailed(e), e.message()));
    }
    return 1;
}
