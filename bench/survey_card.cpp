// survey-card DB: the survey card, timed. The plots of the largest area as
// the screen's grid reads them, the reading of every plot for the invalid
// list, and both transfers whole (the firm, areas and valid plots read, then
// the form filled through its macros and saved, or the survey database
// written), each against an empty copy of the committed form or database.
// Files go to a temporary folder; the database is only read.
#include "bench/bench.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"
#include "transfers/survey_card_export.h"
#include "transfers/survey_card_form.h"
#include "workbook/workbook_error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace bench {

namespace {

namespace sc = transfers::survey_card;
namespace sd = transfers::survey_database;

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QString emptyCopy(const QString& folder, const QString& name)
{
    const QString path = QDir(folder).filePath(name);
    QFile::remove(path);
    QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + name, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

void screenReadings(dataset::TransactionArea& area, const std::vector<sc::Area>& areas)
{
    const sc::Area* largest = nullptr;
    for (const sc::Area& a : areas)
        if (!largest || a.plots.size() > largest->plots.size())
            largest = &a;
    QElapsedTimer t;
    t.start();
    if (largest) {
        dataset::Dataset grid(area, QStringLiteral("IBQImoti"));
        grid.sql().setLines(QStringList{sc::plotsStatement()} + sc::areaPlotLines());
        grid.setParam(QStringLiteral("id_zeml"), fb::Value(largest->idZeml.toInt()));
        grid.open();
        out() << "grid of the largest area " << largest->ekatte << ": " << grid.rowCount() << " plots in "
              << t.restart() << " ms\n";
    }
    dataset::Dataset all(area, QStringLiteral("IBQAll"));
    all.sql().setLines(QStringList{sc::plotsStatement()} + sc::allPlotLines());
    const auto invalid = sc::invalidRows(all);
    out() << "invalid list: " << all.rowCount() << " plots read, " << invalid.size() << " invalid, in " << t.elapsed()
          << " ms\n";
}

void intoForm(dataset::TransactionArea& area, const QString& folder)
{
    const QString form = emptyCopy(folder, sc::kFormFileName);
    QElapsedTimer t;
    t.start();
    const auto [firm, areas] = sc::readCard(area);
    const qint64 read = t.restart();
    const QString refusal = sc::transfer(form, firm, areas);
    const qint64 written = t.elapsed();
    out() << "into the form (" << (refusal.isEmpty() ? QStringLiteral("written") : refusal)
          << "): " << sc::databaseAreas(areas).size() << " areas, " << sc::databasePlots(areas).size()
          << " plots; read " << read << " ms, form filled and saved " << written << " ms, together " << read + written
          << " ms, " << QFile(form).size() / 1024 << " KB\n";
}

void intoDatabase(dataset::TransactionArea& area, const QString& folder)
{
    const QString file = emptyCopy(folder, sd::kFileName);
    QElapsedTimer t;
    t.start();
    const auto [firm, areas] = sc::readCard(area);
    const qint64 read = t.restart();
    const QString refusal = sd::write(file, firm.record, sc::databaseAreas(areas), sc::databasePlots(areas));
    const qint64 written = t.elapsed();
    out() << "into the survey database (" << (refusal.isEmpty() ? QStringLiteral("written") : refusal) << "): read "
          << read << " ms, written " << written << " ms, together " << read + written << " ms\n";
}

int run(const QStringList& args)
{
    if (args.isEmpty()) {
        out() << "usage: arventa-bench survey-card DB\n";
        return 2;
    }
    QTemporaryDir folder;
    dataset::Database database(args.first());
    dataset::TransactionArea area(database, QStringLiteral("IBTAK"));
    try {
        QElapsedTimer t;
        t.start();
        const auto card = sc::readCard(area);
        out() << "card read: " << card.second.size() << " areas in " << t.elapsed() << " ms\n";
        screenReadings(area, card.second);
        intoForm(area, folder.path());
        intoDatabase(area, folder.path());
    } catch (const fb::Error& e) {
        out() << e.message() << "\n";
        return 1;
    } catch (const transfers::WorkbookError& e) {
        out() << e.message() << "\n";
        return 1;
    } catch (const sd::SurveyDatabaseError& e) {
        out() << e.message() << "\n";
        return 1;
    }
    out() << "peak memory " << peakMegabytes() << " MB\n";
    return 0;
}

}  // namespace

const Case surveyCardCase = {"survey-card",
                             "DB: the survey card: the largest area's plots and the invalid list read, and both "
                             "transfers (into the form and into the survey database), each timed",
                             run};

}  // namespace bench
