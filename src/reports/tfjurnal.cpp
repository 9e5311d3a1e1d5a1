#include "reports/tfjurnal.h"

#include "dm/tdm.h"
#include "report_engine/list_filter.h"

#include <QPushButton>

namespace {

// The kinds of rows as the clerk knows them, by the trail's table names.
const char* const kKinds[][2] = {
    {"HORA", "Собственици"},
    {"ZEMQ", "Имоти"},
    {"SOBSTV", "Дялове в имоти"},
    {"DOG DANNI", "Договори"},
    {"DOGHORAZEMI", "Редове на договори"},
    {"RENTA ZEML", "Правила за рента"},
    {"VIDRENTAKOL", "Редове на правила"},
    {"RAZP DANNI", "Разписки"},
    {"RAZP RENTA", "Редове на разписки"},
    {"RAZP_PARI", "Плащания в пари"},
    {"ONR", "Минали години"},
};

QString kindOfRow()
{
    QString decode = QStringLiteral("decode(j.tablica");
    for (const auto& kind : kKinds)
        decode += QStringLiteral(", '%1', '%2'").arg(QLatin1String(kind[0]), QString::fromUtf8(kind[1]));
    return decode + QStringLiteral(", j.tablica)");
}

// Newest first along the trail's index, with the owner's name where the row
// has an owner.
QString journalStatement()
{
    return QStringLiteral(
               "select j.jp_id, j.vreme, j.potrebitel, j.tablica, %1 vid, j.deistvie, j.kluch, j.id_hora, "
               "hora.ime, j.stari, j.novi from jurnal_prom j left join hora on hora.id_hora = j.id_hora")
        .arg(kindOfRow());
}

std::vector<ListColumn> journalColumns()
{
    return {
        textColumn("VREME", "Време"),
        textColumn("POTREBITEL", "Потребител"),
        textColumn("VID", "Вид"),
        textColumn("DEISTVIE", "Действие"),
        textColumn("KLUCH", "Ключ"),
        textColumn("IME", "Собственик"),
        textColumn("STARI", "Стари стойности"),
        textColumn("NOVI", "Нови стойности"),
    };
}

std::vector<kit::FilterSpec> journalFilters()
{
    const auto starting = [](const char* name, const char* label, const char* column) {
        return kit::FilterSpec{QLatin1String(name),
                               QString::fromUtf8(label),
                               {QStringLiteral("(upper(%1) starting with upper(").arg(QLatin1String(column))}};
    };
    return {
        {QStringLiteral("edFilterVid"),
         QStringLiteral("Вид:"),
         {QStringLiteral("(upper(%1) starting with upper(").arg(kindOfRow())}},
        {QStringLiteral("edFilterSobstv"),
         QStringLiteral("Собственик:"),
         {QStringLiteral("(upper(hora.ime) containing upper(")}},
        starting("edFilterPotrebitel", "Потребител:", "j.potrebitel"),
        {QStringLiteral("edFilterOt"),
         QStringLiteral("От дата:"),
         {QStringLiteral("(j.vreme >= cast("), QStringLiteral(" as date)) ")},
         true},
        {QStringLiteral("edFilterDo"),
         QStringLiteral("До дата:"),
         {QStringLiteral("(j.vreme < dateadd(1 day to cast("), QStringLiteral(" as date))) ")},
         true},
    };
}

kit::RegisterForm journalForm(TDM& dm)
{
    return {
        .kind = QStringLiteral("TFJurnal"),
        .caption = QStringLiteral("Журнал на промените"),
        .list = {.grid = QStringLiteral("jvdbgridJurnal"),
                 .query = QStringLiteral("IBQueryJurnal"),
                 .statement = {.base = {journalStatement()},
                               .defaultOrder = {QStringLiteral("order by j.vreme desc, j.jp_id desc")}},
                 .readOnDemand = true,
                 .columns = journalColumns(),
                 .key = QStringLiteral("JP_ID"),
                 .buttons = {{QStringLiteral("bitPrint"), QStringLiteral("Печат")}},
                 .filters = journalFilters()},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
    };
}

}  // namespace

TFJurnal::TFJurnal(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, QWidget* parent)
    : RegisterScreen(prompter, journalForm(dm), parent), JurnalProm(QStringLiteral("JurnalProm.rav"), prompter, this)
{
    JurnalProm.setOutputChooser(outputs);
    JurnalProm.bindConnection(QStringLiteral("rvdsJurnal"), list()->rows());
    JurnalProm.setFilter(reports::listFilter(*list(), form().list.filters, *this));
    JurnalProm.open();
    connect(control<QPushButton>(QStringLiteral("bitPrint")), &QPushButton::clicked, this,
            [this] { JurnalProm.execute(); });
    start();
}
