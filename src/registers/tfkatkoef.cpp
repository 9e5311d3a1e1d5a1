#include "registers/tfkatkoef.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "schema/equalised_area.h"

#include <QLocale>
#include <QPushButton>

namespace {

using kit::FieldSpec;

const QString kTieBreak = QStringLiteral(" nas_mqsto.naim_nm, mestnost.naim_mestn, zemq.imot_no ");
const QString kRecomputed = QStringLiteral("Q1.prpl");

// The plots whose stored equalised area, to three decimals, differs from the
// sum of their categories' equalised areas. Only plots with categories, a
// mode of permanent use, a form of management and a locality are listed; a
// category without a coefficient adds nothing, and a plot without a stored
// equalised area is never listed.
//
// Each plot's categories are summed once (Q1, with their count) before the
// plot's names are joined: the same rows as grouping the joined rows by the
// plot and its names, and several times faster on 100,000 plots.
ListStatement plotsWithADifference()
{
    const QString categories = QStringLiteral(
                                   "select kategoriq.id_zemq, count(*) c, sum(%1) prpl from category_coefficient "
                                   "inner join kategoriq on category_coefficient.category = kategoriq.vid "
                                   "group by kategoriq.id_zemq")
                                   .arg(schema::prplSql(QStringLiteral("kategoriq.plosht"),
                                                        QStringLiteral("category_coefficient.coefficient")));
    return {.base = {QStringLiteral("select Q1.c, zemq.id_zemq, zemq.imot_no, ntp.naim_ntp, fs.naim_fs, "
                                    "mestnost.naim_mestn, zemlishte.ekatte, nas_mqsto.naim_nm, zemq.plosht, "
                                    "zemq.prplosht, %1 prpl from zemq "
                                    "inner join (%2) Q1 on Q1.id_zemq = zemq.id_zemq "
                                    "inner join ntp on zemq.id_ntp = ntp.id_ntp "
                                    "inner join fs on fs.id_fs = zemq.id_fs "
                                    "inner join mestnost on mestnost.id_mestn = zemq.id_mest "
                                    "inner join zemlishte on zemlishte.id_zeml = mestnost.id_zeml "
                                    "inner join nas_mqsto on nas_mqsto.ekatte = zemlishte.ekatte "
                                    "where (%1<>cast(zemq.prplosht as decimal(15,3)))")
                         .arg(kRecomputed, categories)},
            .defaultOrder = {QStringLiteral(" order by "), kTieBreak}};
}

std::vector<ListColumn> plotColumns()
{
    const auto text = [](const char* field, const char* title, const char* source) {
        return ListColumn{QLatin1String(field), QString::fromUtf8(title), QLatin1String(source)};
    };
    const auto area = [](const char* field, const char* title, const QString& source) {
        return ListColumn{.field = QLatin1String(field),
                          .title = QString::fromUtf8(title),
                          .sortKey = source,
                          .format = QStringLiteral("#0.000"),
                          .alignment = Qt::AlignRight | Qt::AlignVCenter};
    };
    return {
        text("EKATTE", "ЕКАТТЕ", "zemlishte.ekatte"),
        text("NAIM_NM", "Землище", "nas_mqsto.naim_nm"),
        text("NAIM_MESTN", "Местност", "mestnost.naim_mestn"),
        text("IMOT_NO", "Имот №", "zemq.imot_no"),
        area("PLOSHT", "Площ", QStringLiteral("zemq.plosht")),
        area("PRPLOSHT", "Приравнена площ", QStringLiteral("zemq.prplosht")),
        // A computed column sorts by what computes it.
        area("PRPL", "Преизчислена приравнена площ", kRecomputed),
        text("NAIM_NTP", "НТП", "ntp.naim_ntp"),
        text("NAIM_FS", "ФС", "fs.naim_fs"),
    };
}

std::vector<kit::Check> coefficientChecks()
{
    const QString koef = QStringLiteral("dbedKoef");
    // Blanks would store no coefficient at all, which drops the category's land from every equalised area.
    kit::Check empty{[koef](const kit::PanelValues& v) { return !v.text(koef).trimmed().isEmpty(); },
                     QStringLiteral("Въведете коефициент!"), koef};
    kit::Check number = kit::Check::number(
        koef, QStringLiteral("Коефициентът трябва да е число, например %1!").arg(QLocale().toString(0.8)));
    number.focus = koef;
    return {empty, number};
}

kit::RegisterForm katKoefForm(TDM& dm, SortSwitch& direction)
{
    return {
        .kind = QStringLiteral("TFKatKoef"),
        .caption = QStringLiteral("Приравняване на категории"),
        .layout = kit::RegisterForm::Layout::CommandsBeside,
        .list = {.grid = QStringLiteral("jvdbgridKatKoef"),
                 .group = QStringLiteral("Категория-Коефициенти"),
                 .groupName = QStringLiteral("gbKatKoef"),
                 .cursor = &dm.TKatKoef,
                 .columns = {{QStringLiteral("CATEGORY"), QStringLiteral("Категория")},
                             {QStringLiteral("COEFFICIENT"), QStringLiteral("Коефициент")}},
                 .key = QStringLiteral("CATEGORY"),
                 .visibleRows = 10},
        .commands = {.add = {}, .correct = QStringLiteral("bitKoefKor"), .remove = {}},
        .moreLists = {{.grid = QStringLiteral("jvdbgridImoti"),
                       .group = QStringLiteral("Имоти с разлика между записана и преизчислена приравнена площ"),
                       .groupName = QStringLiteral("gbImoti"),
                       .query = QStringLiteral("IBQKatKoef"),
                       .areaName = QStringLiteral("IBTQKatKoef"),
                       .statement = plotsWithADifference(),
                       .columns = plotColumns(),
                       .key = QStringLiteral("ID_ZEMQ"),
                       .buttons = {{QStringLiteral("bitRecalc"), QStringLiteral("Преизчисляване")},
                                   {QStringLiteral("bitPrint"), QStringLiteral("Печат")}},
                       .sort = SortForm::lastLineWithTieBreak(kTieBreak),
                       .direction = &direction}},
        .cursor = &dm.TKatKoef,
        .panel = QStringLiteral("panelKatKoef"),
        .fields = {{.name = QStringLiteral("dbtKat"),
                    .label = QStringLiteral("Категория:"),
                    .column = QStringLiteral("CATEGORY"),
                    .kind = FieldSpec::Kind::Shown},
                   {.name = QStringLiteral("dbedKoef"),
                    .label = QStringLiteral("Коефициент:"),
                    .column = QStringLiteral("COEFFICIENT"),
                    .kind = FieldSpec::Kind::Number,
                    .col = 2,
                    .minimumWidth = 10}},
        .firstField = QStringLiteral("dbedKoef"),
        .saveButton = QStringLiteral("bitKatKoefSave"),
        .cancelButton = QStringLiteral("bitKatKoefCancel"),
        .checks = coefficientChecks(),
        .closing = EditFlow::Closing::Refuse,
        .refusal = QStringLiteral("Моля, запишете или откажете корекцията!"),
    };
}

}  // namespace

TFKatKoef::TFKatKoef(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                     QWidget* parent)
    : RegisterScreen(prompter, katKoefForm(dm, direction), parent),
      dm_(dm),
      SpisykKatKoef(QStringLiteral("SpisykKatKoef.rav"), prompter, this)
{
    SpisykKatKoef.setOutputChooser(outputs);
    SpisykKatKoef.bindConnection(QStringLiteral("rvdsQueryKatKoef"), moreList(0)->rows());
    connect(control<QPushButton>(QStringLiteral("bitPrint")), &QPushButton::clicked, this, &TFKatKoef::print);
    // A coefficient changed meanwhile shows in the list from now on.
    connect(control<QPushButton>(QStringLiteral("bitRecalc")), &QPushButton::clicked, this,
            [this] { moreList(0)->rereadDefault(); });
    start();
}

// The report lists the plots the list holds at this moment.
void TFKatKoef::print()
{
    if (SpisykKatKoef.open())
        SpisykKatKoef.execute();
    SpisykKatKoef.close();
}

// The plot editor reads the coefficients through TKatKoef: a fresh
// transaction lets it see every coefficient stored meanwhile.
void TFKatKoef::aboutToClose()
{
    RegisterScreen::aboutToClose();
    try {
        if (dm_.IBTKatKoef.isActive())
            dm_.IBTKatKoef.commit();
        dm_.TKatKoef.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Четенето на коефициентите не може да бъде завършено."), e);
    }
}
