#include "reports/tfsprimotisobstv.h"

#include "dm/tdm.h"
#include "report_engine/report_project.h"

#include <QPushButton>

namespace {

const QString kOrderBy = QStringLiteral(" order by ");

// Only an owner with a settlement, municipality, province and country is listed.
const char* const kOwners =
    "select hora.id_hora, hora.egn, hora.ime, oblast.naim_obl, obshtina.naim_obsht, nas_mqsto.naim_nm, hora.adres, "
    "hora.tel, hora.bank, hora.iban, hora.bic, hora.chfl, country.country_name, hora.predst from country "
    "inner join hora on hora.kod_country = country.kod_country "
    "inner join nas_mqsto on nas_mqsto.ekatte = hora.ekatte "
    "inner join obshtina on obshtina.id_obsht = hora.id_obsht "
    "inner join oblast on oblast.id_obl = hora.id_obl";

// Each share with its plot, once per contract line that binds it (and once
// without any); a plot without a form of management is not listed.
const char* const kPlotColumns =
    "select zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, zemq.imot_no2, ntp.naim_ntp, "
    "fs.naim_fs, zemq.plosht, zemq.prplosht, sobstv.redplosht, sobstv.chast, sobstv.prredpl, "
    "\"DOG DANNI\".nomer, \"DOG DANNI\".data, \"DOG DANNI\".otdata, \"DOG DANNI\".dodata, "
    "\"DOG DANNI\".systoqnie, \"DOG DANNI\".datapr, zemq.id_zemq, sobstv.id_hora";
// The print reads only the columns its layout shows: on every owner's
// plots a third less to hold.
const char* const kPrintedColumns =
    "select zemlishte.ekatte, nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no, ntp.naim_ntp, zemq.plosht, "
    "sobstv.redplosht, sobstv.chast, sobstv.prredpl, \"DOG DANNI\".nomer, \"DOG DANNI\".otdata, "
    "\"DOG DANNI\".dodata, \"DOG DANNI\".systoqnie, sobstv.id_hora";
const char* const kPlots =
    " from fs "
    "inner join zemq on zemq.id_fs = fs.id_fs "
    "inner join sobstv on sobstv.id_zemq = zemq.id_zemq "
    "left join doghorazemi on (sobstv.id_hora = doghorazemi.id_sobstv and sobstv.id_zemq = doghorazemi.id_zemq) "
    "left join \"DOG DANNI\" on doghorazemi.id_dog = \"DOG DANNI\".id_dog "
    "inner join mestnost on mestnost.id_mestn = zemq.id_mest "
    "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
    "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
    "inner join ntp on ntp.id_ntp = zemq.id_ntp";
const char* const kOneOwner = " where sobstv.id_hora = :id_hora";

ListColumn column(const char* field, const char* title, const char* source, bool area = false)
{
    ListColumn c{QLatin1String(field), QString::fromUtf8(title), QLatin1String(source)};
    if (area) {
        c.format = QStringLiteral("#0.000");
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    }
    return c;
}

std::vector<ListColumn> ownerColumns()
{
    return {
        column("EGN", "ЕГН/ЛНЧ/ЕИН", "hora.egn"),
        column("IME", "Име/Наименование", "hora.ime"),
        column("NAIM_OBL", "Област", "oblast.naim_obl"),
        column("NAIM_OBSHT", "Община", "obshtina.naim_obsht"),
        column("NAIM_NM", "Гр./ с.", "nas_mqsto.naim_nm"),
        column("ADRES", "Адрес", "hora.adres"),
        column("TEL", "Телефон", "hora.tel"),
        column("BANK", "Банка", "hora.bank"),
        column("IBAN", "IBAN", "hora.iban"),
        column("BIC", "BIC", "hora.bic"),
        column("CHFL", "ЧФЛ", "hora.chfl"),
        column("COUNTRY_NAME", "Държава", "country.country_name"),
        column("PREDST", "Представляващ", "hora.predst"),
    };
}

std::vector<ListColumn> plotColumns()
{
    return {
        column("EKATTE", "ЕКАТТЕ", "zemlishte.ekatte"),
        column("NAIM_NM", "Землище", "nas_mqsto.naim_nm"),
        column("NAIM_MESTN", "Местност", "mestnost.naim_mestn"),
        column("IMOT_NO", "Имот №", "zemq.imot_no"),
        column("IMOT_NO2", "Имот № Нов", "zemq.imot_no2"),
        column("NAIM_NTP", "Начин на трайно ползване", "ntp.naim_ntp"),
        column("NAIM_FS", "Форма на стопанисване", "fs.naim_fs"),
        column("PLOSHT", "Площ", "zemq.plosht", true),
        column("PRPLOSHT", "Пр. площ", "zemq.prplosht", true),
        column("REDPLOSHT", "Ред. площ", "sobstv.redplosht", true),
        column("CHAST", "Част", "sobstv.chast"),
        column("PRREDPL", "Пр. ред. площ", "sobstv.prredpl", true),
        column("NOMER", "Договор: Номер", "\"DOG DANNI\".nomer"),
        column("DATA", "Договор: Дата", "\"DOG DANNI\".data"),
        column("OTDATA", "Договор: От", "\"DOG DANNI\".otdata"),
        column("DODATA", "Договор: До", "\"DOG DANNI\".dodata"),
        column("SYSTOQNIE", "Договор: Състояние", "\"DOG DANNI\".systoqnie"),
        column("DATAPR", "Договор: Дата на прекратяване", "\"DOG DANNI\".datapr"),
    };
}

kit::RegisterForm byOwnerForm(TDM& dm, SortSwitch& direction)
{
    const QString area = QStringLiteral("IBTSprImotiSobstv");
    return {
        .kind = QStringLiteral("TFSprImotiSobstv"),
        .caption = QStringLiteral("Имоти по собственици"),
        .list = {.grid = QStringLiteral("jvdbgridSobstv"),
                 .query = QStringLiteral("IBQSobstv"),
                 .areaName = area,
                 .statement = {.base = {QString::fromUtf8(kOwners)},
                               .defaultOrder = {kOrderBy + QStringLiteral("hora.egn, hora.ime")}},
                 .columns = ownerColumns(),
                 .key = QStringLiteral("ID_HORA"),
                 .buttons = {{QStringLiteral("bitPrint"), QStringLiteral("Печат")}},
                 .sort = SortForm::lastLine(kOrderBy),
                 .direction = &direction,
                 .visibleRows = 10},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
        .moreLists = {{.grid = QStringLiteral("jvdbgridImoti"),
                       .query = QStringLiteral("IBQImoti"),
                       .areaName = area,
                       .statement = {.base = {QString::fromUtf8(kPlotColumns) + QString::fromUtf8(kPlots) +
                                              QString::fromUtf8(kOneOwner)},
                                     .defaultOrder = {kOrderBy +
                                                      QStringLiteral("zemlishte.ekatte, zemq.imot_no, ntp.naim_ntp")}},
                       .columns = plotColumns(),
                       .key = QStringLiteral("ID_ZEMQ"),
                       .sort = SortForm::lastLine(kOrderBy),
                       .direction = &direction,
                       .visibleRows = 8,
                       .sums = {{QStringLiteral("labSum"), QStringLiteral("Общо площ за собственика:"),
                                 QStringLiteral("REDPLOSHT"), QStringLiteral("ID_ZEMQ")},
                                {QStringLiteral("labPrSum"), QStringLiteral("Общо приравнена площ за собственика:"),
                                 QStringLiteral("PRREDPL"), QStringLiteral("ID_ZEMQ")}},
                       .masterParam = QStringLiteral("id_hora"),
                       .masterField = QStringLiteral("ID_HORA")}},
    };
}

}  // namespace

TFSprImotiSobstv::TFSprImotiSobstv(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                                   QWidget* parent)
    : RegisterScreen(prompter, byOwnerForm(dm, direction), parent), outputs_(outputs)
{
    connect(control<QPushButton>(QStringLiteral("bitPrint")), &QPushButton::clicked, this, &TFSprImotiSobstv::print);
    start();
}

QStringList TFSprImotiSobstv::everyOwnersPlots() const
{
    return {QString::fromUtf8(kPrintedColumns) + QString::fromUtf8(kPlots), moreList(0)->lines().last()};
}

// The layout prints each owner of the list with the owner's plots: the
// plots of every owner are read at once, for this print only, and each
// owner's are found by ID_HORA. They are read on demand so that the report
// keeps them in its own small form as they come, never as a dataset's rows.
void TFSprImotiSobstv::print()
{
    dataset::Dataset plots(moreList(0)->rows().area(), QStringLiteral("IBQImotiAll"));
    plots.setFetchOnDemand(true);
    plots.sql().setLines(everyOwnersPlots());
    reports::ReportProject SprImotiSobstv(QStringLiteral("SprImotiSobstv.rav"), prompter(), this);
    SprImotiSobstv.setOutputChooser(outputs_);
    SprImotiSobstv.bindConnection(QStringLiteral("rvdsSprISSobstv"), list()->rows());
    SprImotiSobstv.bindConnection(QStringLiteral("rvdsSprISImoti"), plots);
    if (SprImotiSobstv.open())
        SprImotiSobstv.execute();
    SprImotiSobstv.close();
}
