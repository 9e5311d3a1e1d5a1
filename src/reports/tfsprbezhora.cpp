#include "reports/tfsprbezhora.h"

#include "dm/tdm.h"
#include "report_engine/list_filter.h"
#include "reports/tfimotspr.h"

#include <QPushButton>

namespace {

const QString kTieBreak = QStringLiteral(" nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no ");

// Every plot of a locality with its names and a mode of use; the form of
// management and the crop where the plot has them. Each join reaches at
// most one row, so every plot is listed once. The joins start from the
// localities and reach their plots by index: the left join keeps that
// order, and the inner join on the mode of use drops a locality without
// plots as an inner join would (started from the plots, the engine looked
// up every plot's locality, settlement and names one by one).
const char* const kPlotsFrom =
    " from mestnost inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
    "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
    "left join zemq on zemq.id_mest = mestnost.id_mestn "
    "inner join ntp on ntp.id_ntp = zemq.id_ntp "
    "left join kultura on kultura.id_kult = zemq.id_kult "
    "left join fs on fs.id_fs = zemq.id_fs";

// "да" in DOG when a share of the plot is tied to a contract.
const char* const kPlotColumns =
    "zemq.id_zemq, zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, "
    "zemq.imot_no2, ntp.naim_ntp, fs.naim_fs, zemq.plosht, zemq.prplosht, zemq.polpl, kultura.naim_kult, "
    "zemq.obrt, zemq.komastekst, zemq.komasin, zemq.komasip, "
    "case when exists (select 1 from sobstv where sobstv.id_zemq = zemq.id_zemq "
    "and coalesce(sobstv.id_dog, 0) <> 0) then 'да' end dog";

// The view reads the plot's other columns by its key.
QString plotsStatement()
{
    return QStringLiteral("select ") + QString::fromUtf8(kPlotColumns) + QString::fromUtf8(kPlotsFrom);
}

// What the sums under the list add up, over the same plots.
QString summedStatement()
{
    return QStringLiteral("select zemq.plosht, zemq.komasip") + QString::fromUtf8(kPlotsFrom);
}

// The unfiltered list in its default order, its first rows at once: the
// pairs of settlement and locality names in order, and the plots of each
// pair sorted by number (the localities of one pair of names together, as
// the sort of every plot puts them). The select sorts 100,000 plots, and
// asks each of them for its contract flag, before it hands the first.
QString wholeList()
{
    return QStringLiteral(
               "execute block returns (id_zemq type of column zemq.id_zemq, "
               "ekatte type of column zemlishte.ekatte, naim_nm type of column nas_mqsto.naim_nm, "
               "naim_mestn type of column mestnost.naim_mestn, imot_no type of column zemq.imot_no, "
               "imot_no2 type of column zemq.imot_no2, naim_ntp type of column ntp.naim_ntp, "
               "naim_fs type of column fs.naim_fs, plosht type of column zemq.plosht, "
               "prplosht type of column zemq.prplosht, polpl type of column zemq.polpl, "
               "naim_kult type of column kultura.naim_kult, obrt type of column zemq.obrt, "
               "komastekst type of column zemq.komastekst, komasin type of column zemq.komasin, "
               "komasip type of column zemq.komasip, dog type of column zemq.obrt) as "
               "begin "
               "for select distinct nas_mqsto.naim_nm, mestnost.naim_mestn from mestnost "
               "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
               "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
               "order by 1, 2 into naim_nm, naim_mestn do "
               "for select zemq.id_zemq, zemlishte.ekatte, zemq.imot_no, zemq.imot_no2, ntp.naim_ntp, fs.naim_fs, "
               "zemq.plosht, zemq.prplosht, zemq.polpl, kultura.naim_kult, zemq.obrt, zemq.komastekst, "
               "zemq.komasin, zemq.komasip, "
               "case when exists (select 1 from sobstv where sobstv.id_zemq = zemq.id_zemq "
               "and coalesce(sobstv.id_dog, 0) <> 0) then 'да' end") +
           QString::fromUtf8(kPlotsFrom) +
           QStringLiteral(
               " where nas_mqsto.naim_nm is not distinct from :naim_nm "
               "and mestnost.naim_mestn is not distinct from :naim_mestn order by zemq.imot_no "
               "into id_zemq, ekatte, imot_no, imot_no2, naim_ntp, naim_fs, plosht, prplosht, polpl, naim_kult, "
               "obrt, komastekst, komasin, komasip, dog do suspend; "
               "end");
}

std::vector<ListColumn> plotColumns()
{
    const auto text = [](const char* field, const char* title, const char* source) {
        return ListColumn{QLatin1String(field), QString::fromUtf8(title), QLatin1String(source)};
    };
    const auto area = [](const char* field, const char* title, const char* source) {
        return ListColumn{.field = QLatin1String(field),
                          .title = QString::fromUtf8(title),
                          .sortKey = QLatin1String(source),
                          .format = QStringLiteral("#0.000 \"дка\""),
                          .alignment = Qt::AlignRight | Qt::AlignVCenter};
    };
    return {
        text("NAIM_NM", "Землище", "nas_mqsto.naim_nm"),
        // The locality and the number sort with tie-breaks of their own.
        {QStringLiteral("NAIM_MESTN"), QStringLiteral("Местност"), QStringLiteral(" mestnost.naim_mestn"),
         QStringLiteral(" nas_mqsto.naim_nm, zemq.imot_no")},
        {QStringLiteral("IMOT_NO"), QStringLiteral("Имот №"), QStringLiteral(" zemq.imot_no"),
         QStringLiteral(" nas_mqsto.naim_nm, mestnost.naim_mestn")},
        text("IMOT_NO2", "Имот № 2", "zemq.imot_no2"),
        text("NAIM_NTP", "Н-н на тр. ползване", "ntp.naim_ntp"),
        text("NAIM_FS", "Форма на стопанисване", "fs.naim_fs"),
        area("PLOSHT", "Площ", "zemq.plosht"),
        area("PRPLOSHT", "Приравнена площ", "zemq.prplosht"),
        area("POLPL", "Поливна площ", "zemq.polpl"),
        text("NAIM_KULT", "Засята култура", "kultura.naim_kult"),
        text("OBRT", "Обраб.", "zemq.obrt"),
        text("KOMASTEKST", "Комасиран", "zemq.komastekst"),
        text("KOMASIN", "Комасиран: Имот №", "zemq.komasin"),
        area("KOMASIP", "Комасиран: Площ", "zemq.komasip"),
        // A computed column sorts by what computes it.
        text("DOG", "Договор", "dog"),
    };
}

std::vector<kit::FilterSpec> plotFilters()
{
    const auto prefix = [](const char* name, const char* label, const char* column) {
        return kit::FilterSpec{QLatin1String(name),
                               QString::fromUtf8(label),
                               {QStringLiteral("(upper(%1) starting with upper(").arg(QLatin1String(column))}};
    };
    return {
        prefix("edFilterZeml", "Землище:", "nas_mqsto.naim_nm"),
        prefix("edFilterMestn", "Местност:", "mestnost.naim_mestn"),
        prefix("edFilterIN", "Имот №:", "zemq.imot_no"),
        prefix("edFilterZK", "Засята култура:", "kultura.naim_kult"),
        prefix("edFilterKomas", "Комасиран:", "zemq.komastekst"),
        prefix("edFilterFS", "Форма на стопанисване:", "FS.naim_fs"),
    };
}

kit::RegisterForm plotsForm(TDM& dm, SortSwitch& direction)
{
    return {
        .kind = QStringLiteral("TFSprbezhora"),
        .caption = QStringLiteral("Справка на имотите по землища"),
        .list = {.grid = QStringLiteral("jvdbgridSprImotiSobstv"),
                 .query = QStringLiteral("IBQuery1"),
                 .areaName = QStringLiteral("IBTQ1"),
                 .statement = {.base = {plotsStatement()},
                               .defaultOrder = {QStringLiteral(" order by "), kTieBreak},
                               .whole = {wholeList()},
                               .sums = {summedStatement()}},
                 .readOnDemand = true,
                 .columns = plotColumns(),
                 .key = QStringLiteral("ID_ZEMQ"),
                 .buttons = {{QStringLiteral("btnDosieImot"), QStringLiteral("Покажи собственици")},
                             {QStringLiteral("bitPrint"), QStringLiteral("Печат")}},
                 .filters = plotFilters(),
                 .sort = SortForm::lastLineWithTieBreak(kTieBreak),
                 .direction = &direction,
                 .sums = {{QStringLiteral("labSumPlosht"), QStringLiteral("Общо площ:"), QStringLiteral("PLOSHT")},
                          {QStringLiteral("labSumKP"), QStringLiteral("Общо комасирана площ:"),
                           QStringLiteral("KOMASIP")}}},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
    };
}

}  // namespace

TFSprbezhora::TFSprbezhora(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                           QWidget* parent)
    : RegisterScreen(prompter, plotsForm(dm, direction), parent),
      dm_(dm),
      SprImotiZemlishta(QStringLiteral("SprImotiZemlishta.rav"), prompter, this)
{
    SprImotiZemlishta.setOutputChooser(outputs);
    SprImotiZemlishta.bindConnection(QStringLiteral("rvdsSprImotiZeml"), list()->rows());
    SprImotiZemlishta.setFilter(reports::listFilter(*list(), form().list.filters, *this));
    SprImotiZemlishta.open();
    connect(control<QPushButton>(QStringLiteral("bitPrint")), &QPushButton::clicked, this,
            [this] { SprImotiZemlishta.execute(); });
    connect(control<QPushButton>(QStringLiteral("btnDosieImot")), &QPushButton::clicked, this,
            &TFSprbezhora::showOwners);
    start();
}

// One view at a time: while it is open the button does nothing.
void TFSprbezhora::showOwners()
{
    if (view_)
        return;
    view_ = new TFImotSpr(dm_, prompter(), list()->rows());
    openBeside(view_);
}

// The view shows this screen's rows, so it does not outlive them.
void TFSprbezhora::aboutToClose()
{
    if (view_)
        view_->closeWindow();
    RegisterScreen::aboutToClose();
}
