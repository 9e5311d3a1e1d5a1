#include "rent/tfsprnr.h"

#include "dm/tdm.h"
#include "rent/rent_notices.h"
#include "schema/rent_due_cache.h"

#include <QPushButton>

namespace {

const QString kGrain = QStringLiteral("(coalesce(N.SOK,0) - coalesce(N.RRS_kol,0))");

// Every owner with a rest to receive, and the goods due to him less the
// goods handed out, whatever the goods (money lines take no part in it).
// The grain of all of them is added exactly and rounded once
// (ZYRNOOBSHTO, on every row for the printed reports' summaries): each
// owner's grain rounded to whole kilograms would not add up to it.
QString unpaidStatement()
{
    return QStringLiteral(
               "select N.id_sobstv ID_SOBSTV, N.egn EGN, N.ime IME, N.SOK SOK, N.SOKP SOKP, N.RR_pari RR_PARI,\n"
               " N.RRS_kol RRS_KOL, N.RRS_pari RRS_PARI, N.RP_sum RP_SUM, N.SOP SOP, N.OSTATYK OSTATYK,\n"
               " %1 ZYRNO, cast(sum(%1) over () as decimal(18,0)) ZYRNOOBSHTO\nfrom (")
               .arg(kGrain) +
           schema::rent::cachedUnpaidRest() + QStringLiteral(") N\n");
}

// The row the sums under the list add up: the two totals, each rounded once.
QString totalsStatement()
{
    return QStringLiteral("select sum(N.OSTATYK) OSTATYK, cast(sum(%1) as decimal(18,0)) ZYRNO\nfrom (").arg(kGrain) +
           schema::rent::cachedUnpaidRest() + QStringLiteral(") N\n");
}

std::vector<ListColumn> unpaidColumns()
{
    return {
        {QStringLiteral("EGN"), QStringLiteral("ЕГН/ЛНЧ/ЕИН")},
        {QStringLiteral("IME"), QStringLiteral("Име/Наименование")},
        figureColumn("OSTATYK", "Рента в пари", "#0.00"),
        figureColumn("ZYRNO", "Зърно", "#0"),
    };
}

kit::RegisterForm unpaidForm(TDM& dm, SortSwitch& direction)
{
    dataset::Database& database = dm.IBDatabase1;
    return {
        .kind = QStringLiteral("TFSprnr"),
        .caption = QStringLiteral("Справка нераздадена рента"),
        .modal = true,
        .list = {.grid = QStringLiteral("jvdbgridNR"),
                 .query = QStringLiteral("QueryNR"),
                 .areaName = QStringLiteral("IBQNR"),
                 .statement = {.base = {unpaidStatement()},
                               .defaultOrder = {QStringLiteral(" order by N.ime")},
                               .sums = {totalsStatement()}},
                 // The kept due first takes in whatever changed since the last read.
                 .beforeRead =
                     [&database] {
                         database.ensureConnected();
                         schema::rent::bringUpToDate(database.connection());
                     },
                 .columns = unpaidColumns(),
                 .key = QStringLiteral("ID_SOBSTV"),
                 .buttons = {{QStringLiteral("bitPrint"), QStringLiteral("Печат")},
                             {QStringLiteral("bitSPrint"), QStringLiteral("Съкратен печат")}},
                 .sort = SortForm::rebuiltFromBase(),
                 .direction = &direction,
                 .visibleRows = 20,
                 .sums = {{.name = QStringLiteral("labSumM"),
                           .label = QStringLiteral("Общo в пари:"),
                           .field = QStringLiteral("OSTATYK"),
                           .suffix = QStringLiteral(" лв"),
                           .decimals = 2},
                          {.name = QStringLiteral("labSumZ"),
                           .label = QStringLiteral("Общо в зърно:"),
                           .field = QStringLiteral("ZYRNO"),
                           .suffix = QStringLiteral(" кг"),
                           .decimals = 0}}},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &database,
    };
}

}  // namespace

TFSprnr::TFSprnr(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction, QWidget* parent)
    : RegisterScreen(prompter, unpaidForm(dm, direction), parent),
      SpravkaNR(QStringLiteral("Sprnr.rav"), prompter, this),
      SpravkaNRSP(QStringLiteral("SprnrSP.rav"), prompter, this)
{
    for (reports::ReportProject* project : {&SpravkaNR, &SpravkaNRSP}) {
        project->setOutputChooser(outputs);
        project->bindConnection(QStringLiteral("sprnr"), rows());
    }
    connect(control<QPushButton>(QStringLiteral("bitPrint")), &QPushButton::clicked, this,
            [this] { SpravkaNR.execute(); });
    connect(control<QPushButton>(QStringLiteral("bitSPrint")), &QPushButton::clicked, this,
            [this] { SpravkaNRSP.execute(); });
    SpravkaNR.open();
    SpravkaNRSP.open();
    start();
    rent::sayUncomputable(dm.IBDatabase1, prompter);
}

void TFSprnr::aboutToClose()
{
    SpravkaNR.close();
    SpravkaNRSP.close();
    RegisterScreen::aboutToClose();
}
