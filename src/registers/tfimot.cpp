#include "registers/tfimot.h"

#include "common/failure.h"
#include "common/date_field.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/register_screen.h"
#include "common/text_input.h"
#include "dataset/binders.h"
#include "dm/domains.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/lookup_lists.h"
#include "registers/plot_rules.h"
#include "schema/equalised_area.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kArea = QStringLiteral("#0.000");
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

// A plot's categories with their coefficients and equalised areas, read in
// the plot transaction so that rows written during the edit are listed.
QString categoriesStatement()
{
    return QStringLiteral(
               "select kategoriq.vid, kategoriq.plosht, coalesce(%1, 0) prpl, "
               "category_coefficient.coefficient from kategoriq "
               "left join category_coefficient on category_coefficient.category = kategoriq.vid "
               "where (kategoriq.id_zemq = :id_zemq)")
        .arg(schema::prplSql(QStringLiteral("kategoriq.plosht"), QStringLiteral("category_coefficient.coefficient")));
}

// Shares and history parts are written as in the title: digits and "/".
void sharesOnly(QLineEdit* edit)
{
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9/]{0,5}")), edit));
}

QLabel* figure(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(kRight);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("0000000,000")));
    return l;
}

}  // namespace

const QString TFImot::kClosePanel = QStringLiteral("Затворете панела за собственост!");

TFImot::TFImot(TDM& dm, Prompter& prompter, SortSwitch& ownersDirection, const QString& areaName, QWidget* parent)
    : ListScreen(prompter, parent), dm_(dm), ownersDirection_(ownersDirection), TKat(dm.IBTImot, QStringLiteral("TKat"))
{
    setObjectName(QStringLiteral("TFImot"));
    setWindowTitle(QStringLiteral("Имот"));
    auto* left = new QVBoxLayout;
    left->addWidget(buildHeader(areaName));
    left->addWidget(buildPlotData());
    left->addWidget(buildDocuments());
    left->addWidget(buildConsolidation());
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(buildCategories());
    right->addWidget(buildShares());
    right->addWidget(buildHistory());
    right->addWidget(buildTotals());
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button(QStringLiteral("bitZapis"), QStringLiteral("Запис")));
    buttons->addWidget(button(QStringLiteral("bitOtkaz"), QStringLiteral("Отказ")));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    declareFlow();
    showShareOwnership(false);
    showPlot();
}

// ---------------------------------------------------------------- building

QLineEdit* TFImot::boundEdit(const char* name, const char* column, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    new dataset::LineEditBinder(edit, dm_.TZemq, QLatin1String(column));
    acceptWindows1251Only(edit);
    return edit;
}

QWidget* TFImot::buildHeader(const QString& areaName)
{
    auto* header = new QWidget(this);
    auto* grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* zemlishte = new QLabel(areaName, header);
    zemlishte->setObjectName(QStringLiteral("lblZemlishte"));
    auto* mestnost = new QLabel(dm_.TMestnost.field(QStringLiteral("NAIM_MESTN")).value().toString(), header);
    mestnost->setObjectName(QStringLiteral("lblMestnost"));
    auto* number = new QLabel(header);
    number->setObjectName(QStringLiteral("dbtImotNo"));
    new dataset::LabelBinder(number, dm_.TZemq, QStringLiteral("IMOT_NO"));
    auto* second = new QLineEdit(header);
    second->setObjectName(QStringLiteral("dbedImotNo2"));
    new dataset::MaskEditBinder(second, dm_.TZemq, QStringLiteral("IMOT_NO2"));
    grid->addWidget(new QLabel(QStringLiteral("Землище:"), header), 0, 0);
    grid->addWidget(zemlishte, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Местност:"), header), 1, 0);
    grid->addWidget(mestnost, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Имот №:"), header), 2, 0);
    grid->addWidget(number, 2, 1);
    grid->addWidget(second, 2, 2);
    return header;
}

QWidget* TFImot::buildPlotData()
{
    auto* data = new QWidget(this);
    auto* grid = new QGridLayout(data);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    const auto lookup = [&](const char* name, const char* label, dataset::Dataset& list, const char* key,
                            const char* shows, std::optional<LookupList> more) {
        auto* combo = new QComboBox(data);
        combo->setObjectName(QLatin1String(name));
        combo->setMinimumContentsLength(24);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        new dataset::LookupComboBinder(combo, list, QLatin1String(key), QLatin1String(shows), &dm_.TZemq,
                                       QLatin1String(key));
        grid->addWidget(new QLabel(QString::fromUtf8(label), data), row, 0);
        grid->addWidget(combo, row, 1);
        if (more) {
            auto* b = button(QLatin1String(name) + QStringLiteral("Btn"), QStringLiteral("..."), data);
            connect(b, &QPushButton::clicked, this,
                    [this, combo, list = *more] { openLookupListFrom(combo, list, dm_, prompter()); });
            grid->addWidget(b, row, 2);
        }
        ++row;
    };
    lookup("jvdblcNTP", "Начин на трайно ползване:", dm_.TNTP, "ID_NTP", "NAIM_NTP", std::nullopt);
    lookup("jvdblcKult", "Засята култура:", dm_.TKULT, "ID_KULT", "NAIM_KULT", LookupList::SownCrops);
    lookup("jvdblcVDS", "Документ за собственост:", dm_.TVDS, "ID_VDS", "NAIM_VDS", LookupList::DocumentKinds);
    lookup("jvdblcFS", "Форма на стопанисване:", dm_.TFS, "ID_FS", "NAIM_FS", std::nullopt);

    auto* arable = new QGroupBox(QStringLiteral("Обработваем"), data);
    arable->setObjectName(QStringLiteral("rgObrab"));
    obrab_ = new QButtonGroup(arable);
    auto* arableRow = new QHBoxLayout(arable);
    for (auto [id, text] : {std::pair{0, "Да"}, std::pair{1, "Не"}}) {
        auto* r = new QRadioButton(QString::fromUtf8(text), arable);
        obrab_->addButton(r, id);
        arableRow->addWidget(r);
    }
    new dataset::RadioGroupBinder(obrab_, dm_.TZemq, QStringLiteral("OBRAB"), {fb::Value(0), fb::Value(1)});
    grid->addWidget(arable, row++, 0, 1, 3);
    edPolPl = new NumberField(dm::domain(QStringLiteral("ZEMQ"), QStringLiteral("POLPL")), data);
    edPolPl->setObjectName(QStringLiteral("dbedPolPl"));
    grid->addWidget(new QLabel(QStringLiteral("Поливна площ:"), data), row, 0);
    grid->addWidget(edPolPl, row, 1);
    return data;
}

QGroupBox* TFImot::buildDocuments()
{
    auto* box = new QGroupBox(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto group = [&](const char* caption,
                           std::initializer_list<std::tuple<const char*, const char*, const char*>> fields) {
        auto* g = new QGroupBox(QString::fromUtf8(caption), box);
        auto* grid = new QGridLayout(g);
        int i = 0;
        for (const auto& [name, label, column] : fields) {
            QWidget* control = nullptr;
            if (QLatin1String(column) == QLatin1String("NZDATA")) {
                auto* date = new DateField(g);
                date->setObjectName(QLatin1String(name));
                new DateFieldBinder(date, dm_.TZemq, QLatin1String(column));
                control = date;
            } else {
                control = boundEdit(name, column, g);
            }
            grid->addWidget(new QLabel(QString::fromUtf8(label), g), i / 2, (i % 2) * 2);
            grid->addWidget(control, i / 2, (i % 2) * 2 + 1);
            ++i;
        }
        layout->addWidget(g);
    };
    group("Съдебна заверка", {{"dbedSvVhRegNo", "Вх. рег. №:", "SVVHREGNO"},
                              {"dbedSvAktNo", "Акт №:", "SVAKTNO"},
                              {"dbedSvTom", "Том:", "SVTOM"},
                              {"dbedSvDelo", "Дело:", "SVDELO"}});
    group("Нотариална заверка", {{"dbedNzNomer", "Номер:", "NZNOMER"},
                                 {"dbedNzTom", "Том:", "NZTOM"},
                                 {"dbedNzRegNo", "Рег. №:", "NZREGNO"},
                                 {"dbedNzDelo", "Дело №:", "NZDELO"},
                                 {"dbedNzData", "Дата:", "NZDATA"},
                                 {"dbedNotRegNo", "Нотариус - Рег. №:", "NOTREGNO"}});
    group("ОСЗГ", {{"dbedOszgRegNo", "Рег. №/ Дата:", "OSZGREGNO"}});
    return box;
}

// While "Не" is chosen the consolidated number and area are empty and closed.
QGroupBox* TFImot::buildConsolidation()
{
    auto* box = new QGroupBox(QStringLiteral("Комасация"), this);
    consolidation_ = new QButtonGroup(box);
    auto* grid = new QGridLayout(box);
    for (auto [id, text] : {std::pair{0, "Не"}, std::pair{1, "Да"}}) {
        auto* r = new QRadioButton(QString::fromUtf8(text), box);
        r->setObjectName(id ? QStringLiteral("rbKomasDa") : QStringLiteral("rbKomasNe"));
        consolidation_->addButton(r, id);
        grid->addWidget(r, 0, id);
    }
    edKomasIN = boundEdit("dbedKomasIN", "KOMASIN", box);
    edKomasIP = new NumberField(dm::domain(QStringLiteral("ZEMQ"), QStringLiteral("KOMASIP")), box);
    edKomasIP->setObjectName(QStringLiteral("dbedKomasIP"));
    grid->addWidget(new QLabel(QStringLiteral("Имот №:"), box), 1, 0);
    grid->addWidget(edKomasIN, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Площ:"), box), 2, 0);
    grid->addWidget(edKomasIP, 2, 1);
    connect(consolidation_, &QButtonGroup::idClicked, this, &TFImot::consolidationChosen);
    return box;
}

// A list's group: the grid with its command buttons beside it, each running
// its step, and below it the list's panel when it has one.
void TFImot::arrangeList(QGroupBox* box, QTableView* view, std::initializer_list<Command> commands, QWidget* panel)
{
    auto* buttons = new QVBoxLayout;
    for (const Command& c : commands) {
        QPushButton* b = button(QLatin1String(c.name), QString::fromUtf8(c.caption), box);
        connect(b, &QPushButton::clicked, this, c.step);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(view, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(top);
    if (panel)
        layout->addWidget(panel);
}

// An owners' panel, hidden until used: three labelled edits in a row and
// its "OK", the only way out of it.
QWidget* TFImot::ownersPanel(QGroupBox* box, const char* name, std::initializer_list<PanelEdit> edits,
                             const char* okName, void (TFImot::*ok)())
{
    auto* panel = new QWidget(box);
    panel->setObjectName(QLatin1String(name));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    for (const PanelEdit& e : edits) {
        QString label = QString::fromUtf8(e.label);
        QLineEdit* edit = nullptr;
        if (e.area) {
            const dataset::Domain& domain = dm::domain(QLatin1String(e.table), QLatin1String(e.column));
            // "OK" says what the field refuses, once; leaving it says nothing.
            edit = *e.area = new NumberField(domain.named(label.chopped(1)), panel);
        } else {
            edit = *e.edit = new QLineEdit(panel);
        }
        edit->setObjectName(QLatin1String(e.name));
        row->addWidget(new QLabel(label, panel));
        row->addWidget(edit);
    }
    QPushButton* button = this->button(QLatin1String(okName), QStringLiteral("OK"), panel);
    connect(button, &QPushButton::clicked, this, ok);
    row->addWidget(button);
    panel->hide();
    return panel;
}

QGroupBox* TFImot::buildCategories()
{
    auto* box = new QGroupBox(QStringLiteral("Категория"), this);
    QTableView* view = grid(QStringLiteral("jvdbgridKat"), box, 4);
    categories_ = &addList(view, TKat,
                           {{QStringLiteral("VID"), QStringLiteral("Кат.")},
                            {QStringLiteral("PLOSHT"), QStringLiteral("Площ"), {}, {}, kArea, kRight},
                            {QStringLiteral("PRPL"), QStringLiteral("Пр. площ"), {}, {}, kArea, kRight},
                            {QStringLiteral("COEFFICIENT"), QStringLiteral("Коефициент"), {}, {}, {}, kRight}});
    categories_->setStatement(
        {.base = {categoriesStatement()}, .defaultOrder = {QStringLiteral("order by kategoriq.vid")}});
    // Read inside the plot transaction, which only the plot's save may end.
    categories_->setCommitOnReread(false);
    arrangeList(box, view,
                {{"bitKatDob", "Добавяне", &TFImot::addCategory},
                 {"bitKatKor", "Корекция", &TFImot::correctCategory},
                 {"bitKatDel", "Изтриване", &TFImot::removeCategory}},
                nullptr);
    return box;
}

QGroupBox* TFImot::buildShares()
{
    auto* box = new QGroupBox(QStringLiteral("Собственици"), this);
    QTableView* view = grid(QStringLiteral("jvdbgridSobstv"), box, 5);
    shares_ = &addList(view, dm_.TSobstv,
                       {{QStringLiteral("egn"), QStringLiteral("ЕГН/ЕИН")},
                        {QStringLiteral("ime"), QStringLiteral("Име/Наименование")},
                        {QStringLiteral("CHAST"), QStringLiteral("Част")},
                        {QStringLiteral("REDPLOSHT"), QStringLiteral("Площ"), {}, {}, kArea, kRight},
                        {QStringLiteral("PRREDPL"), QStringLiteral("Пр. площ"), {}, {}, kArea, kRight}});
    panelSobstv = ownersPanel(box, "panelSobstv",
                              {{"edDka", "Дка:", nullptr, &edDka, "SOBSTV", "REDPLOSHT"},
                               {"edChast", "Част:", &edChast},
                               {"edPrDka", "Пр. дка:", nullptr, &edPrDka, "SOBSTV", "PRREDPL"}},
                              "bitSobstOK", &TFImot::closeSharePanel);
    edDka->installEventFilter(this);
    sharesOnly(edChast);
    arrangeList(box, view,
                {{"bitSobstDob", "Добавяне", &TFImot::addShare},
                 {"bitSobstKor", "Корекция", &TFImot::correctShare},
                 {"bitSobstDel", "Изтриване", &TFImot::removeShare},
                 {"bitSobstSobstv", "Собственост", &TFImot::openSharePanel}},
                panelSobstv);
    return box;
}

QGroupBox* TFImot::buildHistory()
{
    auto* box = new QGroupBox(QStringLiteral("Собственици по документ/бивши/пълномощници"), this);
    QTableView* view = grid(QStringLiteral("jvdbgridIstoriq"), box, 4);
    history_ = &addList(view, dm_.TIstoriq,
                        {{QStringLiteral("EGN"), QStringLiteral("ЕГН/ЕИН")},
                         {QStringLiteral("IME"), QStringLiteral("Име/Наименование")},
                         {QStringLiteral("VIDSOBSTV"), QStringLiteral("Вид собственик")},
                         {QStringLiteral("CHAST"), QStringLiteral("Част")},
                         {QStringLiteral("PLOSHT"), QStringLiteral("Площ"), {}, {}, kArea, kRight}});
    panelIstoriq = ownersPanel(box, "panelIstoriq",
                               {{"edIstDka", "Въведете дка:", nullptr, &edIstDka, "ISTORIQ", "PLOSHT"},
                                {"edIstChast", "Въведете част:", &edIstChast},
                                {"edVidSobstv", "Вид собственик:", &edVidSobstv}},
                               "bitIstoriqOK", &TFImot::closeHistoryPanel);
    sharesOnly(edIstChast);
    edVidSobstv->setMaxLength(30);
    acceptWindows1251Only(edVidSobstv);
    arrangeList(box, view,
                {{"bitIstoriqDob", "Добавяне", &TFImot::addPerson},
                 {"bitIstoriqKor", "Корекция", &TFImot::correctPerson},
                 {"bitIstoriqDel", "Изтриване", &TFImot::removePerson},
                 {"bitIstoriqSobstv", "Собственост", &TFImot::openHistoryPanel}},
                panelIstoriq);
    return box;
}

QWidget* TFImot::buildTotals()
{
    auto* totals = new QWidget(this);
    auto* grid = new QGridLayout(totals);
    grid->setContentsMargins(0, 0, 0, 0);
    lblPlosht = figure("lblPlosht", totals);
    lblPrPlosht = figure("lblPrPlosht", totals);
    lblRed = figure("lblRed", totals);
    lblRedDiff = figure("lblRedDiff", totals);
    lblPrRed = figure("lblPrRed", totals);
    lblPrRedDiff = figure("lblPrRedDiff", totals);
    const auto put = [&](int row, int col, const char* label, QLabel* value) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), totals), row, col);
        grid->addWidget(value, row, col + 1);
    };
    put(0, 0, "Площ:", lblPlosht);
    put(1, 0, "Приравнена площ:", lblPrPlosht);
    put(0, 2, "Редуцирана площ:", lblRed);
    put(0, 4, "Разлика:", lblRedDiff);
    put(1, 2, "Приравнена редуцирана площ:", lblPrRed);
    put(1, 4, "Разлика:", lblPrRedDiff);
    return totals;
}

// ---------------------------------------------------------------- the plot's edit

void TFImot::declareFlow()
{
    flow_ = &addFlow(dm_.TZemq, nullptr);
    flow_->setFirstField(findChild<QWidget*>(QStringLiteral("dbedImotNo2")));
    flow_->checks = saveChecks();
    flow_->beforePost = [this](EditFlow::Saving saving) { beforePost(saving); };
    flow_->connectButtons(nullptr, nullptr, nullptr, findChild<QPushButton*>(QStringLiteral("bitZapis")),
                          findChild<QPushButton*>(QStringLiteral("bitOtkaz")));
    connect(flow_, &EditFlow::saved, this, &TFImot::ended);
    connect(flow_, &EditFlow::cancelled, this, &TFImot::ended);
}

// The checks of "Запис" in their order; Yes to the close question runs the
// same ones.
std::vector<EditFlow::Check> TFImot::saveChecks()
{
    const auto value = [this](const char* field) { return dm_.TZemq.field(QLatin1String(field)).value(); };
    const auto allocation = [this, value] {
        return plot::Allocation{value("PLOSHT").toDouble(), value("PRPLOSHT").toDouble(),
                                shareSum(dm_.TSobstv, "REDPLOSHT"), shareSum(dm_.TSobstv, "PRREDPL")};
    };
    return {
        {[this] { return !ownersPanelOpen(); }, kClosePanel},
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
}

void TFImot::beforePost(EditFlow::Saving saving)
{
    dataset::Dataset& row = dm_.TZemq;
    const bool arable = row.field(QStringLiteral("OBRAB")).value().toInt() == 0;
    row.field(QStringLiteral("OBRT")).setValue(arable ? QStringLiteral("Да") : QStringLiteral("Не"));
    if (saving == EditFlow::Saving::Button) {
        const bool consolidated = consolidation_->checkedId() == 1;
        row.field(QStringLiteral("KOMASIRAN")).setValue(consolidated ? 1 : 0);
        row.field(QStringLiteral("KOMASTEKST")).setValue(consolidated ? QStringLiteral("Да") : QStringLiteral("Не"));
        if (consolidated && edKomasIP->value())
            row.field(QStringLiteral("KOMASIP")).setValue(*edKomasIP->value());
    }
    if (edPolPl->value()) {
        // Closing stores the irrigated area as typed, "Запис" rounded.
        const double typed =
            saving == EditFlow::Saving::Button ? *edPolPl->value() : typedNumber(edPolPl->text()).value_or(0.0);
        row.field(QStringLiteral("POLPL")).setValue(typed);
    }
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
    dataset::Dataset& row = dm_.TZemq;
    try {
        flow_->editSingleRow();
        // Arable shows "Не" only when it was stored so; otherwise it is "Да".
        if (row.field(QStringLiteral("OBRAB")).value().toInt() == 0 ||
            row.field(QStringLiteral("OBRT")).value().toString().isEmpty())
            row.field(QStringLiteral("OBRAB")).setValue(0);
        const bool consolidated = row.field(QStringLiteral("KOMASIRAN")).value().toInt() != 0;
        consolidation_->button(consolidated ? 1 : 0)->setChecked(true);
        const fb::Value consolidatedArea = row.field(QStringLiteral("KOMASIP")).value();
        if (!consolidatedArea.isNull())
            edKomasIP->setValue(consolidatedArea.toDouble());
        consolidationChosen();
        const fb::Value irrigated = row.field(QStringLiteral("POLPL")).value();
        if (!irrigated.isNull())
            edPolPl->setValue(irrigated.toDouble());
        recomputeAreas();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Имотът не може да бъде отворен."), e);
    }
}

void TFImot::consolidationChosen()
{
    const bool consolidated = consolidation_->checkedId() == 1;
    edKomasIN->setEnabled(consolidated);
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
    categories_->reread();
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
