#include "reports/tfsprimoti.h"

#include "dm/tdm.h"
#include "reports/property_summary.h"
#include "schema/plot_area_cache.h"

#include <QPushButton>

namespace {

kit::RegisterForm summaryForm(TDM& dm, SortSwitch& direction)
{
    dataset::Database& database = dm.IBDatabase1;
    const QString area = QStringLiteral("#0.000 \"дка.\"");
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    return {
        .kind = QStringLiteral("TFSprimoti"),
        .caption = QStringLiteral("Справка Имоти"),
        .modal = true,
        .list = {.grid = QStringLiteral("jvdbgridSprImoti"),
                 .query = QStringLiteral("QuerySprImoti"),
                 .areaName = QStringLiteral("IBQSRI"),
                 .statement = {.base = {reports::summaryStatement(schema::plots::keptLocalityAreas())},
                               .defaultOrder = {}},
                 // The kept figures first take in whatever changed since the last read.
                 .beforeRead =
                     [&database] {
                         database.ensureConnected();
                         schema::plots::bringUpToDate(database.connection());
                     },
                 .columns = {{QStringLiteral("EKATTE"), QStringLiteral("EKATTE")},
                             {QStringLiteral("NAIM_NM"), QStringLiteral("Землище")},
                             {QStringLiteral("NAIM_MESTN"), QStringLiteral("Местност")},
                             {.field = QStringLiteral("SUMPLOSHT"),
                              .title = QStringLiteral("Площ в дка"),
                              .format = area,
                              .alignment = right},
                             {.field = QStringLiteral("REDPL"),
                              .title = QStringLiteral("Площ по дог."),
                              .format = area,
                              .alignment = right}},
                 .key = {},
                 .buttons = {{QStringLiteral("bitPrint"), QStringLiteral("Печат")}},
                 .sort = SortForm::rebuiltFromBase(),
                 .direction = &direction,
                 .sums = {{QStringLiteral("labSumPlosht"), QStringLiteral("Общо площ:"), QStringLiteral("SUMPLOSHT")},
                          {QStringLiteral("labSumDogPlosht"), QStringLiteral("Общо площ по договори:"),
                           QStringLiteral("REDPL")}}},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
    };
}

}  // namespace

TFSprimoti::TFSprimoti(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                       QWidget* parent)
    : RegisterScreen(prompter, summaryForm(dm, direction), parent),
      IBQuery1(list()->rows().area(), QStringLiteral("IBQuery1")),
      Spravkaimoti(QStringLiteral("Spravkaimoti.rav"), prompter, this)
{
    IBQuery1.sql().setLines({reports::settlementsStatement(schema::plots::keptLocalityAreas())});
    Spravkaimoti.setOutputChooser(outputs);
    Spravkaimoti.bindConnection(QStringLiteral("sprrrrr"), list()->rows());
    Spravkaimoti.bindConnection(QStringLiteral("zeml"), IBQuery1);
    connect(list(), &ListGrid::sorted, this, &TFSprimoti::sorted);
    connect(control<QPushButton>(QStringLiteral("bitPrint")), &QPushButton::clicked, this, &TFSprimoti::print);
    start();
}

// The settlements are printed in the list's order of their code or name.
void TFSprimoti::sorted(int column, bool ascending)
{
    const QString field = form().list.columns.at(size_t(column)).field;
    if (field != QLatin1String("NAIM_NM") && field != QLatin1String("EKATTE"))
        return;
    IBQuery1.close();
    IBQuery1.sql().setLines({reports::settlementsStatement(schema::plots::keptLocalityAreas()),
                             QStringLiteral(" order by "),
                             field + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))});
}

void TFSprimoti::print()
{
    if (Spravkaimoti.open())
        Spravkaimoti.execute();
}
