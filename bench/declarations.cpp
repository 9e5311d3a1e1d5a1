// declarations DB: the exports for the authorities, timed. The income
// declaration of the owners paid in the calendar year (the query, then the
// form filled and saved), and the same form filled with a line for every
// owner of the register (amounts of 1.00), to see the form's own cost at
// its largest; then the declarations under art. 69 and art. 70 of every
// cadastral area, each area's query and workbook timed, the largest named.
// Files go to a temporary folder; the database is only read. With --art70
// only the declarations under art. 70 are written.
#include "bench/bench.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"
#include "transfers/dekl69_export.h"
#include "transfers/dekl70_export.h"
#include "transfers/income_declaration_export.h"
#include "transfers/income_declaration_form.h"
#include "workbook/workbook_error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace bench {

namespace {

namespace nap = transfers::income_declaration;
namespace ld = transfers::land_declaration;

// Every owner with a country, as the payments query names its columns.
const char* const kEveryOwner =
    "select hora.id_hora, hora.chfl, case when hora.chfl = 'не' then '0' when hora.chfl = 'да' then '1' end KOL2, "
    "hora.egn, hora.ime, hora.kod_country, country.country_name, hora.adres, cast(1 as decimal(15,2)) IZPL "
    "from hora inner join country on hora.kod_country = country.kod_country order by hora.ime";

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

void incomeDeclaration(dataset::TransactionArea& area, const QString& folder, const char* title,
                       const QString& statement)
{
    const QString form = QDir(folder).filePath(QStringLiteral("DeklNAP.xlsx"));
    QFile::remove(form);
    QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + nap::kFileName, form);
    QFile::setPermissions(form, QFile::ReadOwner | QFile::WriteOwner);
    QElapsedTimer t;
    t.start();
    dataset::Dataset query(area, QStringLiteral("QueryDeklNAP"));
    query.sql().setLines({statement});
    const auto payments = nap::paymentsOf(query);
    const qint64 read = t.restart();
    dataset::Dataset firm(area, QStringLiteral("QueryFirma"));
    firm.sql().setLines({QStringLiteral("select * from FIRMA")});
    firm.open();
    const nap::Result result = nap::transfer(form, nap::payerOf(firm), payments);
    const qint64 written = t.elapsed();
    const auto lines = std::count(result.written.begin(), result.written.end(), true);
    out() << title << ": " << payments.size() << " owners listed, " << lines << " lines; query " << read
          << " ms, form filled and saved " << written << " ms, together " << read + written << " ms\n";
}

struct Slowest {
    QString ekatte;
    int lines = 0;
    qint64 ms = -1;
    qint64 queryMs = 0;
};

void declarations(dataset::TransactionArea& area, const QString& folder, bool own)
{
    dataset::Dataset firm(area, QStringLiteral("IBQFirma"));
    firm.sql().setLines({ld::firmStatement()});
    firm.open();
    const ld::Form form =
        own ? transfers::dekl69::form(firm.field(QStringLiteral("GR_S")).asString(), QDate::currentDate())
            : transfers::dekl70::form(firm.field(QStringLiteral("GR_S")).asString(), QDate::currentDate());
    dataset::Dataset areas(area, QStringLiteral("IBQZeml"));
    areas.sql().setLines({ld::areasStatement(own ? ld::Land::Own : ld::Land::Leased)});
    dataset::Dataset plots(area, QStringLiteral("IBQImoti"));
    plots.sql().setLines({own ? transfers::dekl69::plotsStatement() : transfers::dekl70::plotsStatement()});
    QElapsedTimer all;
    all.start();
    const qint64 processorBefore = processorMs();
    Slowest slowest, largest;
    int count = 0;
    qint64 queries = 0;
    areas.open();
    for (areas.first(); !areas.eof(); areas.next(), ++count) {
        QElapsedTimer t;
        t.start();
        plots.close();
        plots.setParam(QStringLiteral("id_zeml"), areas.field(QStringLiteral("ID_ZEML")).value());
        const auto lines = own ? transfers::dekl69::linesOf(plots) : transfers::dekl70::linesOf(plots);
        const qint64 query = t.elapsed();
        const QString ekatte = areas.field(QStringLiteral("EKATTE")).asString();
        ld::write(ld::outputFile(folder, ekatte), form, lines);
        queries += query;
        const Slowest now{ekatte, int(lines.size()), t.elapsed(), query};
        if (now.ms > slowest.ms)
            slowest = now;
        if (now.lines > largest.lines)
            largest = now;
    }
    const qint64 total = all.elapsed();
    out() << (own ? "art. 69" : "art. 70") << ": " << count << " areas in " << total << " ms (processor "
          << processorMs() - processorBefore << " ms; the queries " << queries << " ms, the workbooks "
          << total - queries << " ms); the largest " << largest.ekatte << " (" << largest.lines << " lines) "
          << largest.ms << " ms (its query " << largest.queryMs << " ms); the slowest " << slowest.ekatte << " ("
          << slowest.lines << " lines) " << slowest.ms << " ms (its query " << slowest.queryMs << " ms)\n";
}

int run(const QStringList& args)
{
    if (args.isEmpty()) {
        out() << "usage: arventa-bench declarations DB [--art70]\n";
        return 2;
    }
    const bool onlyArt70 = args.contains(QStringLiteral("--art70"));
    QTemporaryDir folder;
    dataset::Database database(args.first());
    dataset::TransactionArea area(database, QStringLiteral("IBTDeclarations"));
    try {
        if (!onlyArt70) {
            incomeDeclaration(area, folder.path(), "income declaration", nap::paymentsStatement());
            incomeDeclaration(area, folder.path(), "income declaration of every owner", QString::fromUtf8(kEveryOwner));
            declarations(area, folder.path(), true);
        }
        declarations(area, folder.path(), false);
    } catch (const fb::Error& e) {
        out() << e.message() << "\n";
        return 1;
    } catch (const transfers::WorkbookError& e) {
        out() << e.message() << "\n";
        return 1;
    }
    out() << "peak memory " << peakMegabytes() << " MB\n";
    return 0;
}

}  // namespace

const Case declarationsCase = {
    "declarations",
    "DB [--art70]: the income declaration (the year's owners, and every owner) and the declarations under "
    "art. 69 and art. 70 of every cadastral area, each timed (--art70: only those under art. 70)",
    run};

}  // namespace bench
