#include "registers/tfimot.h"

#include "common/date_field.h"
#include "common/failure.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/lookup_lists.h"
#include "registers/plot_rules.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

using kit::FieldSpec;
using Kind = kit::FieldSpec::Kind;

const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

QLabel* figure(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(kRight);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("0000000,000")));
    return l;
}

}  // namespace

TFImot::TFImot(TDM& dm, Prompter& prompter, SortSwitch& ownersDirection, const QString& areaName, QWidget* parent)
    : EditorScreen(prompter, parent),
      dm_(dm),
      ownersDirection_(ownersDirection),
      TKat(dm.IBTImot, QStringLiteral("TKat"))
{
    build({.kind = QStringLiteral("TFImot"),
           .caption = QStringLiteral("Имот"),
           .header = &dm_.TZemq,
           .groups = headerGroups(),
           .lines = lineLists(),
           .firstField = QStringLiteral("dbedImotNo2"),
           .closePanelFirst = QStringLiteral("Затворете панела за собственост!")});
    control<QLabel>(QStringLiteral("lblZemlishte"))->setText(areaName);
    control<QLabel>(QStringLiteral("lblMestnost"))
        ->setText(dm_.TMestnost.field(QStringLiteral("NAIM_MESTN")).value().toString());
    rightColumn()->addWidget(buildTotals());
    edPolPl = control<NumberField>(QStringLiteral("dbedPolPl"));
    edKomasIP = control<NumberField>(QStringLiteral("dbedKomasIP"));
    edDka = control<NumberField>(QStringLiteral("edDka"));
    edPrDka = control<NumberField>(QStringLiteral("edPrDka"));
    edIstDka = control<NumberField>(QStringLiteral("edIstDka"));
    edDka->installEventFilter(this);
    for (auto [name, list] :
         {std::pair{"jvdblcKultBtn", LookupList::SownCrops}, std::pair{"jvdblcVDSBtn", LookupList::DocumentKinds}}) {
        QWidget* dropDown = control<QWidget>(QLatin1String(name).chopped(3));
        connect(control<QPushButton>(QLatin1String(name)), &QPushButton::clicked, this,
                [this, dropDown, list] { openLookupListFrom(dropDown, list, dm_, this->prompter()); });
    }
    connect(control<QWidget>(QStringLiteral("rgKomas"))->findChild<QButtonGroup*>(), &QButtonGroup::idClicked, this,
            &TFImot::consolidationChosen);
    flow().checks = saveChecks();
    flow().beforePost = [this](EditFlow::Saving) { beforePost(); };
    connect(&flow(), &EditFlow::saved, this, &TFImot::ended);
    connect(&flow(), &EditFlow::cancelled, this, &TFImot::ended);
    showShareOwnership(false);
    showPlot();
}

std::vector<kit::HeaderGroup> TFImot::headerGroups()
{
    FieldSpec second = kit::field(Kind::Masked, "dbedImotNo2", "", "IMOT_NO2", 2, 2);
    return {
        // The area and locality the plot lies in, and its number.
        {.name = QStringLiteral("plotNumber"),
         .fields = {kit::field(Kind::Shown, "lblZemlishte", "Землище:", ""),
                    kit::field(Kind::Shown, "lblMestnost", "Местност:", "", 1),
                    kit::field(Kind::Shown, "dbtImotNo", "Имот №:", "IMOT_NO", 2), second}},
        {.name = QStringLiteral("plotData"),
         .fields = {kit::lookupField("jvdblcNTP", "Начин на трайно ползване:", 0, dm_.TNTP, "ID_NTP", "NAIM_NTP"),
                    kit::lookupField("jvdblcKult", "Засята култура:", 1, dm_.TKULT, "ID_KULT", "NAIM_KULT",
                                     "jvdblcKultBtn"),
                    kit::lookupField("jvdblcVDS", "Документ за собственост:", 2, dm_.TVDS, "ID_VDS", "NAIM_VDS",
                                     "jvdblcVDSBtn"),
                    kit::lookupField("jvdblcFS", "Форма на стопанисване:", 3, dm_.TFS, "ID_FS", "NAIM_FS"),
                    kit::radioField("rgObrab", "Обработваем:", "OBRAB", 4,
                                    {{QStringLiteral("rbObrabDa"), QStringLiteral("Да"), 0},
                                     {QStringLiteral("rbObrabNe"), QStringLiteral("Не"), 1}}),
                    kit::field(Kind::Number, "dbedPolPl", "Поливна площ:", "POLPL", 5)}},
        {.name = QStringLiteral("court"),
         .caption = QStringLiteral("Съдебна заверка"),
         .fields = kit::pairedFields({{"dbedSvVhRegNo", "Вх. рег. №:", "SVVHREGNO"},
                                      {"dbedSvAktNo", "Акт №:", "SVAKTNO"},
                                      {"dbedSvTom", "Том:", "SVTOM"},
                                      {"dbedSvDelo", "Дело:", "SVDELO"}})},
        {.name = QStringLiteral("notary"),
         .caption = QStringLiteral("Нотариална заверка"),
         .fields = kit::pairedFields({{"dbedNzNomer", "Номер:", "NZNOMER"},
                                      {"dbedNzTom", "Том:", "NZTOM"},
                                      {"dbedNzRegNo", "Рег. №:", "NZREGNO"},
                                      {"dbedNzDelo", "Дело №:", "NZDELO"},
                                      {"dbedNzData", "Дата:", "NZDATA"},
                                      {"dbedNotRegNo", "Нотариус - Рег. №:", "NOTREGNO"}},
                                     {"NZDATA"})},
        {.name = QStringLiteral("oszg"),
         .caption = QStringLiteral("ОСЗГ"),
         .fields = kit::pairedFields({{"dbedOszgRegNo", "Рег. №/ Дата:", "OSZGREGNO"}})},
        // While "Не" is chosen the consolidated number and area are empty and closed.
        {.name = QStringLiteral("consolidation"),
         .caption = QStringLiteral("Комасация"),
         .fields = {kit::radioField("rgKomas", "", "KOMASIRAN", 0,
                                    {{QStringLiteral("rbKomasNe"), QStringLiteral("Не"), 0},
                                     {QStringLiteral("rbKomasDa"), QStringLiteral("Да"), 1}}),
                    kit::field(Kind::Text, "dbedKomasIN", "Имот №:", "KOMASIN", 1),
                    kit::field(Kind::Number, "dbedKomasIP", "Площ:", "KOMASIP", 2)}},
    };
}

QWidget* TFImot::buildTotals()
{
    auto* totals = new QWidget;
    auto* grid = new QGridLayout(totals);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto put = [&](int row, int col, const char* label, QLabel*& value, const char* name) {
        value = figure(name, totals);
        grid->addWidget(new QLabel(QString::fromUtf8(label), totals), row, col);
        grid->addWidget(value, row, col + 1);
    };
    put(0, 0, "Площ:", lblPlosht, "lblPlosht");
    put(1, 0, "Приравнена площ:", lblPrPlosht, "lblPrPlosht");
    put(0, 2, "Редуцирана площ:", lblRed, "lblRed");
    put(0, 4, "Разлика:", lblRedDiff, "lblRedDiff");
    put(1, 2, "Приравнена редуцирана площ:", lblPrRed, "lblPrRed");
    put(1, 4, "Разлика:", lblPrRedDiff, "lblPrRedDiff");
    return totals;
}

// ---------------------------------------------------------------- the plot's edit

// The checks of "Запис" in their order, after the open panel's; Yes to the
// close question runs the same ones.
std::vector<EditFlow::Check> TFImot::saveChecks()
{
    const auto value = [this](const char* field) { return dm_.TZemq.field(QLatin1String(field)).value(); };
    const auto allocation = [this, value] {
        return plot::Allocation{value("PLOSHT").toDouble(), value("PRPLOSHT").toDouble(),
                                shareSum(dm_.TSobstv, "REDPLOSHT"), shareSum(dm_.TSobstv, "PRREDPL")};
    };
    std::vector<EditFlow::Check> checks = flow().checks;
    const std::vector<EditFlow::Check> own = {
        // A typed day that does not exist is said so, never stored as no date.
        {[this] { return !refuseImpossibleDate(this, prompter()); }, {}},
        {[value] { return !value("IMOT_NO").toString().isEmpty(); }, QStringLiteral("Липсва номер на имот!")},
        {[value] { return !value("ID_NTP").isNull(); }, QStringLiteral("Изберете начин на трайно ползване!")},
        {[value] { return !value("ID_FS").isNull(); }, QStringLiteral("Изберете форма на стопанисване!")},
        {[this] { return !TKat.isEmpty(); }, QStringLiteral("Липсва категория!")},
        {[this] { return !dm_.TSobstv.isEmpty(); }, QStringLiteral("Въведете собственик!")},
        // Typed areas are stored only inside their domains, never as 0 in place of what was typed.
        {[this] { return !numberRefused(edPolPl, prompter()) && !numberRefused(edKomasIP, prompter()); }, {}},
        // A refusal says its own text; the notices are said and let the save go.
        {[this, allocation] {
             const QString refusal = plot::allocationRefusal(allocation());
             if (!refusal.isEmpty()) {
                 prompter().message(refusal);
                 return false;
             }
             for (const QString& notice : plot::allocationNotices(allocation()))
                 prompter().message(notice);
             return true;
         },
         {}},
    };
    checks.insert(checks.end(), own.begin(), own.end());
    return checks;
}

// "Запис" and Yes to the close question store the same: the texts that
// repeat the choices are written from them.
void TFImot::beforePost()
{
    dataset::Dataset& row = dm_.TZemq;
    const auto yesNo = [](bool yes) { return yes ? QStringLiteral("Да") : QStringLiteral("Не"); };
    row.field(QStringLiteral("OBRT")).setValue(yesNo(row.field(QStringLiteral("OBRAB")).value().toInt() == 0));
    row.field(QStringLiteral("KOMASTEKST"))
        .setValue(yesNo(row.field(QStringLiteral("KOMASIRAN")).value().toInt() == 1));
}

// Saved or given up, the plot transaction has ended and closed every plot
// cursor: they are read again for the land browser, and the editor goes.
void TFImot::ended()
{
    try {
        dm_.reopenPlotCursors();
        dm_.IBTable4.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Имотите не могат да бъдат прочетени отново."), e);
    }
    closeWindow();
}

void TFImot::showPlot()
{
    if (!start())
        return;
    dataset::Dataset& row = dm_.TZemq;
    // Arable shows "Не" only when it was stored so; otherwise it is "Да".
    if (row.field(QStringLiteral("OBRAB")).value().toInt() == 0 ||
        row.field(QStringLiteral("OBRT")).value().toString().isEmpty())
        row.field(QStringLiteral("OBRAB")).setValue(0);
    if (row.field(QStringLiteral("KOMASIRAN")).value().toInt() != 1)
        row.field(QStringLiteral("KOMASIRAN")).setValue(0);
    consolidationChosen();
    recomputeAreas();
}

void TFImot::consolidationChosen()
{
    const bool consolidated = dm_.TZemq.field(QStringLiteral("KOMASIRAN")).value().toInt() == 1;
    control<QWidget>(QStringLiteral("dbedKomasIN"))->setEnabled(consolidated);
    edKomasIP->setEnabled(consolidated);
    if (!consolidated) {
        dm_.TZemq.field(QStringLiteral("KOMASIN")).clear();
        dm_.TZemq.field(QStringLiteral("KOMASIP")).clear();
        edKomasIP->clear();
    }
}

// The plot's areas are the sums of its categories' (each equalised area
// already rounded), then the owners' sums follow.
void TFImot::recomputeAreas()
{
    TKat.setParam(QStringLiteral("id_zemq"), dm_.TZemq.field(QStringLiteral("ID_ZEMQ")).value());
    lines(0).reread();
    fb::Decimal area{0, 3}, equalised{0, 3};
    const int plosht = TKat.field(QStringLiteral("PLOSHT")).index();
    const int prpl = TKat.field(QStringLiteral("PRPL")).index();
    for (int r = 0; r < TKat.rowCount(); ++r) {
        area = area + plot::shown(TKat.value(r, plosht).toDouble());
        equalised = equalised + TKat.value(r, prpl).toDecimal().rescaled(3);
    }
    dm_.TZemq.field(QStringLiteral("PLOSHT")).setValue(area.toDouble());
    dm_.TZemq.field(QStringLiteral("PRPLOSHT")).setValue(equalised.toDouble());
    lblPlosht->setText(plot::shownText(area.toDouble()));
    lblPrPlosht->setText(plot::shownText(equalised.toDouble()));
    recomputeShareSums();
}

double TFImot::shareSum(dataset::Dataset& rows, const char* field) const
{
    double sum = 0;
    const int f = rows.field(QLatin1String(field)).index();
    for (int r = 0; r < rows.rowCount(); ++r)
        sum += rows.value(r, f).toDouble();
    return sum;
}

void TFImot::recomputeShareSums()
{
    const double area = dm_.TZemq.field(QStringLiteral("PLOSHT")).value().toDouble();
    const double equalised = dm_.TZemq.field(QStringLiteral("PRPLOSHT")).value().toDouble();
    const double shares = shareSum(dm_.TSobstv, "REDPLOSHT");
    const double equalisedShares = shareSum(dm_.TSobstv, "PRREDPL");
    lblRed->setText(plot::shownText(shares));
    lblRedDiff->setText(plot::shownText(area - shares));
    lblPrRed->setText(plot::shownText(equalisedShares));
    lblPrRedDiff->setText(plot::shownText(plot::shown(equalised).toDouble() - equalisedShares));
}
