#include "rent/tfsobstvzemq.h"

#include "dm/tdm.h"
#include "report_engine/list_filter.h"
#include "rent/rent_notices.h"
#include "schema/rent_due_cache.h"

#include <QPushButton>
#include <QTimer>

namespace {

std::vector<ListColumn> rentColumns()
{
    const char* area = "#0.000 \"дка\"";
    const char* money = "#0.00 \"лв\"";
    // COUNT_REC, ID_SOBSTV, PREDST, RR and RP are read but not shown.
    return {
        textColumn("EGN", "ЕГН/ЛНЧ/ЕИН"),
        textColumn("IME", "Име/Наименование"),
        figureColumn("ZDPL", "Площ", area),
        figureColumn("ZPL", "Пр. площ", area),
        figureColumn("SOP", "Начислена рента", money),
        figureColumn("IZPL", "Изплатена рента", money),
        figureColumn("OSTATYK", "Остатък", money),
    };
}

std::vector<kit::SumSpec> rentSums()
{
    const auto area = [](const char* name, const char* label, const char* field) {
        return kit::SumSpec{QLatin1String(name), QString::fromUtf8(label), QLatin1String(field)};
    };
    return {
        area("labSumPl", "Площ:", "ZDPL"),
        area("labPrPlosht", "Приравнена площ:", "ZPL"),
        kit::moneySum("labSumNR", "Начислена рента:", "SOP"),
        kit::moneySum("labSumIR", "Изплатена рента:", "IZPL"),
        kit::moneySum("labSumOstatyk", "Остатък:", "OSTATYK"),
    };
}

// The rent list over the kept rent due; the name filter goes between the
// base and the order, a sort by a title replaces the order.
ListStatement rentStatement()
{
    const schema::rent::RentListStatement st = schema::rent::cachedRentList();
    return {.base = {st.base}, .defaultOrder = {st.order}, .whereLine = QStringLiteral(" WHERE  ")};
}

kit::RegisterForm rentListForm(TDM& dm, SortSwitch& direction)
{
    dataset::Database& database = dm.IBDatabase1;
    return {
        .kind = QStringLiteral("TFSobstvZemq"),
        .caption = QStringLiteral("Списък за рента"),
        .list = {.grid = QStringLiteral("jvdbgridSpisykRenta"),
                 .query = QStringLiteral("QuerySobstv"),
                 .areaName = QStringLiteral("IBTQS"),
                 .areaOptions = fb::TransactionOptions::readCommitted(true),
                 .statement = rentStatement(),
                 // The kept figures first take in whatever changed since the last read.
                 .beforeRead =
                     [&database] {
                         database.ensureConnected();
                         schema::rent::bringUpToDate(database.connection());
                     },
                 .columns = rentColumns(),
                 .key = QStringLiteral("ID_SOBSTV"),
                 .buttons = {{QStringLiteral("butPokajiRenta"), QStringLiteral("Покажи рента")},
                             {QStringLiteral("bitPrintSP"), QStringLiteral("Съкратен печат")},
                             {QStringLiteral("bitPrintAll"), QStringLiteral("Печат")}},
                 .filters = {{QStringLiteral("edFilterIme"),
                              QStringLiteral("Име/Наименование:"),
                              {QStringLiteral("(upper(Q1.ime) containing upper(")}}},
                 .searchBox = QStringLiteral("edEGN"),
                 .searchLabel = QStringLiteral("Въведете ЕГН/ЕИН:"),
                 .searchField = QStringLiteral("EGN"),
                 .searchLength = 10,
                 .searchFrom = ListGrid::SearchFrom::Top,
                 .searchTakesBackspace = false,
                 .sort = SortForm::rebuiltFromBase(),
                 .direction = &direction,
                 .visibleRows = 20,
                 .sums = rentSums()},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &database,
    };
}

}  // namespace

TFSobstvZemq::TFSobstvZemq(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                           QWidget* parent)
    : RegisterScreen(prompter, rentListForm(dm, direction), parent),
      SpisykAll(QStringLiteral("SpisykAll.rav"), prompter, this),
      SpisykSP(QStringLiteral("SpisykSP.rav"), prompter, this)
{
    for (reports::ReportProject* project : {&SpisykAll, &SpisykSP}) {
        project->setOutputChooser(outputs);
        project->bindConnection(QStringLiteral("rvdsQuerySobstv"), rows());
        // A list printed under a filter says which.
        project->setFilter(reports::listFilter(*list(), form().list.filters, *this));
    }
    auto* all = control<QPushButton>(QStringLiteral("bitPrintAll"));
    auto* shortList = control<QPushButton>(QStringLiteral("bitPrintSP"));
    all->setToolTip(QStringLiteral("Печат с всички колони"));
    shortList->setToolTip(QStringLiteral("Печат без Изплатена рента, Остатък и Площ"));
    connect(all, &QPushButton::clicked, this, [this] { SpisykAll.execute(); });
    connect(shortList, &QPushButton::clicked, this, [this] { SpisykSP.execute(); });
    connect(control<QPushButton>(QStringLiteral("butPokajiRenta")), &QPushButton::clicked, this,
            &TFSobstvZemq::showRent);
    start();
    rent::sayUncomputable(dm.IBDatabase1, prompter);
    SpisykAll.open();
    // The window's first activation comes as it is shown, before the event
    // loop runs again: nothing can have changed since the read just made.
    QTimer::singleShot(0, this, [this] { freshlyRead_ = false; });
}

// Payouts made meanwhile show at once; the list comes back on the owner
// last shown.
void TFSobstvZemq::becameActive()
{
    if (freshlyRead_)
        return;
    if (remembered_.isEmpty())
        list()->reread();
    else
        list()->reread(QStringLiteral("ID_SOBSTV"), remembered_.toLongLong());
}

// An empty list has no owner to show: no payout screen is wanted.
void TFSobstvZemq::showRent()
{
    if (list()->isEmpty())
        return;
    remembered_ = list()->value(QStringLiteral("ID_SOBSTV")).toString();
    emit payoutRequested();
}

void TFSobstvZemq::aboutToClose()
{
    SpisykAll.close();
    SpisykSP.close();
    RegisterScreen::aboutToClose();
}
