#include "reports/tfsprimoti.h"

#include "dm/tdm.h"

#include <QPushButton>

namespace {

// Each locality with plots: the area of its plots, and the area of the lines
// of every contract on them that is not terminated, whatever its dates (0
// without any). Both are added up in one pass over the plots and the lines
// before the names are joined: the figures of a join of the grouped plots
// with the grouped lines, and on 100,000 plots a second instead of minutes
// (the engine would group the lines again for every plot).
QString localities()
{
    return QStringLiteral(
        "(select zemlishte.id_zeml, zemlishte.ekatte, mestnost.id_mestn, nas_mqsto.naim_nm, mestnost.naim_mestn, "
        "U.sumplosht, U.Redpl from "
        "(select L.id_mest, sum(L.plosht) sumplosht, sum(L.redpl) Redpl from "
        "(select zemq.id_mest, zemq.plosht, 0 redpl from zemq "
        "union all "
        "select zemq.id_mest, 0, doghorazemi.redplosht from zemq "
        "inner join doghorazemi on doghorazemi.id_zemq = zemq.id_zemq "
        "inner join \"DOG DANNI\" on \"DOG DANNI\".id_dog = doghorazemi.id_dog "
        "where \"DOG DANNI\".systoqnie<>'Прекратен') L "
        "group by L.id_mest) U "
        "inner join mestnost on mestnost.id_mestn = U.id_mest "
        "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
        "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte) Q1");
}

// A locality is listed once per distinct name and figures within its settlement.
QString summaryStatement()
{
    return QStringLiteral("select Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl, count(*) Q1 from %1 "
                          "group by Q1.ekatte, Q1.naim_nm, Q1.naim_mestn, Q1.sumplosht, Q1.redpl")
        .arg(localities());
}

// The settlements with their localities' count and areas, which the print
// shows for each settlement and adds up at its end.
QString settlementsStatement()
{
    return QStringLiteral("select Q1.ekatte, Q1.naim_nm, count(*) Q1, sum(Q1.sumplosht) sumplosht, "
                          "sum(Q1.redpl) redpl from %1 group by Q1.ekatte, Q1.naim_nm")
        .arg(localities());
}

kit::RegisterForm summaryForm(TDM& dm, SortSwitch& direction)
{
    const QString area = QStringLiteral("#0.000 \"дка.\"");
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    return {
        .kind = QStringLiteral("TFSprimoti"),
        .caption = QStringLiteral("Справка Имоти"),
        .modal = true,
        .list = {.grid = QStringLiteral("jvdbgridSprImoti"),
                 .query = QStringLiteral("QuerySprImoti"),
                 .areaName = QStringLiteral("IBQSRI"),
                 .statement = {.base = {summaryStatement()}, .defaultOrder = {}},
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
    IBQuery1.sql().setLines({settlementsStatement()});
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
    IBQuery1.sql().setLines({settlementsStatement(), QStringLiteral(" order by "),
                             field + (ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC"))});
}

void TFSprimoti::print()
{
    if (Spravkaimoti.open())
        Spravkaimoti.execute();
}
