#include "reports/tfsprbezhora.h"

#include "dm/tdm.h"
#include "reports/tfimotspr.h"

#include <QPushButton>

namespace {

const QString kTieBreak = QStringLiteral(" nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no ");

// Every plot with the names of its locality, mode of use, form of
// management and crop, and "да" in DOG when a share of it is tied to a
// contract. Each join reaches at most one row, so every plot is listed
// once; the view reads the plot's other columns by its key.
QString plotsStatement()
{
    return QStringLiteral(
        "select zemq.id_zemq, zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, "
        "zemq.imot_no2, ntp.naim_ntp, fs.naim_fs, zemq.plosht, zemq.prplosht, zemq.polpl, kultura.naim_kult, "
        "zemq.obrt, zemq.komastekst, zemq.komasin, zemq.komasip, "
        "case when exists (select 1 from sobstv where sobstv.id_zemq = zemq.id_zemq "
        "and coalesce(sobstv.id_dog, 0) <> 0) then 'да' end dog "
        "from kultura right join zemq on kultura.id_kult = zemq.id_kult "
        "left join fs on fs.id_fs = zemq.id_fs "
        "inner join ntp on ntp.id_ntp = zemq.id_ntp "
        "inner join mestnost on zemq.id_mest = mestnost.id_mestn "
        "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
        "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte");
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
        return kit::FilterSpec{QLatin1String(name), QString::fromUtf8(label),
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
                 .statement = {.base = {plotsStatement()}, .defaultOrder = {QStringLiteral(" order by "), kTieBreak}},
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
