#include "rent/tfrentazeml.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "common/register_panel.h"
#include "dm/tables.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "rent/rent_goods_report.h"
#include "rent/rent_notices.h"
#include "rent/rent_rules.h"
#include "schema/rent_due_cache.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using kit::FieldSpec;

const QString kFillAll = QStringLiteral("Моля въведете всички данни!");
const QString kRuleExists = QStringLiteral("Землището е добавено в условията за рента с този тип!");
const QString kRuleHasLines = QStringLiteral("Има въведени видове рента за това землище!");
const QString kReceiptIssued = QStringLiteral("Има издадена разписка!");

// A panel's place is kept while it is hidden, so the window keeps its size.
void keepPlaceWhenHidden(QWidget* panel)
{
    QSizePolicy keep = panel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(keep);
}

}  // namespace

TFRentaZeml::TFRentaZeml(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs,
                         std::function<void(Screen&)> rentTypes, QWidget* parent)
    : ListScreen(prompter, parent),
      dm_(dm),
      rentTypes_(std::move(rentTypes)),
      IBTQueryRZ(dm.IBDatabase1, QStringLiteral("IBTQueryRZ")),
      IBTRZ(dm.IBDatabase1, QStringLiteral("IBTRZ"), fb::TransactionOptions::readCommitted(false)),
      IBTIZDRR(dm.IBDatabase1, QStringLiteral("IBTIZDRR"), fb::TransactionOptions::readCommitted(true)),
      IBTransaction1(dm.IBDatabase1, QStringLiteral("IBTransaction1")),
      QueryRZ(IBTQueryRZ, QStringLiteral("QueryRZ")),
      QDT(IBTRZ, QStringLiteral("QDT")),
      QZEML(IBTRZ, QStringLiteral("QZEML")),
      TVidRentaKol(dm.IBTVRK, QStringLiteral("TVidRentaKol")),
      IBQuery1(IBTransaction1, QStringLiteral("IBQuery1")),
      IBQuery3(IBTransaction1, QStringLiteral("IBQuery3")),
      IBQuery4(IBTransaction1, QStringLiteral("IBQuery4")),
      SprZR(QStringLiteral("SprZR.rav"), prompter, this)
{
    setObjectName(QStringLiteral("TFRentaZeml"));
    setWindowTitle(QStringLiteral("Рента по Землища"));
    QDT.sql().setLines({rent::contractTypesOffered()});
    QZEML.sql().setLines({rent::areasOffered()});
    dm::useTable(TVidRentaKol, QStringLiteral("VIDRENTAKOL"));
    TVidRentaKol.setMaster(QueryRZ, QStringLiteral("ID_RZ"), QStringLiteral("ID_RZ"));
    TVidRentaKol.field(QStringLiteral("KOL")).setDisplayFormat(QStringLiteral("#0.00"));
    TVidRentaKol.field(QStringLiteral("EC")).setDisplayFormat(QStringLiteral("#0.00000"));
    TVidRentaKol.addLookupField(QStringLiteral("NR"), 30, QStringLiteral("ID_VRK"), dm.TVidRenta,
                                QStringLiteral("ID_VR"), QStringLiteral("NAIM_VR"));
    const auto queries = rent::rentGoodsQueries(schema::rent::keptContractLines());
    IBQuery1.sql().setLines({queries.body});
    IBQuery3.sql().setLines({queries.typesPerContractType});
    IBQuery4.sql().setLines({queries.typesInUse});
    SprZR.setOutputChooser(outputs);
    SprZR.bindConnection(QStringLiteral("rvdsQ1"), IBQuery1);
    SprZR.bindConnection(QStringLiteral("rvdsQ3"), IBQuery3);
    SprZR.bindConnection(QStringLiteral("rvdsQ4"), IBQuery4);

    grboxZemlishta = buildRules();
    grboxVidRenta = buildLines();
    QPushButton* report =
        button(QStringLiteral("bitSprStokiZeml"), QStringLiteral("Справка стоки за рента по землища"));
    connect(report, &QPushButton::clicked, this, &TFRentaZeml::printRentGoods);
    QPushButton* exit = button(QStringLiteral("bitExit"), QStringLiteral("Изход"));
    connect(exit, &QPushButton::clicked, this, &TFRentaZeml::closeWindow);
    auto* halves = new QHBoxLayout;
    halves->addWidget(grboxZemlishta, 1);
    halves->addWidget(grboxVidRenta, 1);
    QHBoxLayout* commands = commandRow({report});
    commands->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(halves, 1);
    layout->addLayout(commands);

    declareRules();
    declareLines();
    connect(&QueryRZ, &dataset::Dataset::currentChanged, this, &TFRentaZeml::ruleSelected);
    rules_->reread();
    try {
        TVidRentaKol.open();
    } catch (const fb::Error& e) {
        failure::show(this->prompter(), QStringLiteral("Правилата за рента не могат да бъдат прочетени."), e);
    }
}

// The lines' cursor goes before the data module's area it reads through.
TFRentaZeml::~TFRentaZeml() = default;

QGroupBox* TFRentaZeml::buildRules()
{
    auto* box = new QGroupBox(QStringLiteral("Землища"), this);
    box->setObjectName(QStringLiteral("grboxZemlishta"));
    QTableView* view = grid(QStringLiteral("jvdbgridZemlishta"), box, 14);
    rules_ = &addList(view, QueryRZ,
                      {{QStringLiteral("TIP"), QStringLiteral("Тип договор")},
                       {QStringLiteral("EKATTE"), QStringLiteral("ЕКАТТЕ")},
                       {QStringLiteral("NAIM_NM"), QStringLiteral("Наименование")}});
    rules_->setStatement(rent::rulesList());
    const std::vector<FieldSpec> fields = {
        {.name = QStringLiteral("jvdblcbDogTip"),
         .label = QStringLiteral("Тип договор:"),
         .column = QStringLiteral("ID_DT"),
         .kind = FieldSpec::Kind::Lookup,
         .list = &QDT,
         .listKey = QStringLiteral("ID_DT"),
         .listShows = QStringLiteral("TIP")},
        {.name = QStringLiteral("jvdblcbZemlishta"),
         .label = QStringLiteral("Наименование:"),
         .column = QStringLiteral("ID_ZEML"),
         .kind = FieldSpec::Kind::Lookup,
         .row = 1,
         .list = &QZEML,
         .listKey = QStringLiteral("ID_ZEML"),
         .listShows = QStringLiteral("NAIM_NM")},
    };
    panelZemlishta = new RegisterPanel(QStringLiteral("panelZemlishta"), dm_.TRZeml, fields, QStringLiteral("bitZapis"),
                                       QStringLiteral("bitOtkaz"), box);
    keepPlaceWhenHidden(panelZemlishta);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(view, 1);
    layout->addLayout(commandRow({button(QStringLiteral("bitZemlDob"), QStringLiteral("Добавяне"), box),
                                  button(QStringLiteral("bitZemlDel"), QStringLiteral("Изтриване"), box)}));
    layout->addWidget(panelZemlishta);
    return box;
}

QGroupBox* TFRentaZeml::buildLines()
{
    auto* box = new QGroupBox(QStringLiteral("Видове рента"), this);
    box->setObjectName(QStringLiteral("grboxVidRenta"));
    QTableView* view = grid(QStringLiteral("jvdbgridVidrenta"), box, 14);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    lines_ = &addList(view, TVidRentaKol,
                      {{QStringLiteral("NR"), QStringLiteral("Наименование")},
                       {.field = QStringLiteral("KOL"), .title = QStringLiteral("Кол-во на дка"), .alignment = right},
                       {.field = QStringLiteral("EC"), .title = QStringLiteral("Коефициент"), .alignment = right}});
    const std::vector<FieldSpec> fields = {
        {.name = QStringLiteral("jvdblcbVRNaim"),
         .label = QStringLiteral("Наименование:"),
         .column = QStringLiteral("ID_VRK"),
         .kind = FieldSpec::Kind::Lookup,
         .list = &dm_.TVidRenta,
         .listKey = QStringLiteral("ID_VR"),
         .listShows = QStringLiteral("NAIM_VR"),
         .button = QStringLiteral("bitVRDobNew")},
        {.name = QStringLiteral("dbedVRRazmer"),
         .label = QStringLiteral("Размер:"),
         .column = QStringLiteral("KOL"),
         .kind = FieldSpec::Kind::Number,
         .row = 1,
         .minimumWidth = 12},
        {.name = QStringLiteral("dbedVREC"),
         .label = QStringLiteral("Коефициент:"),
         .column = QStringLiteral("EC"),
         .kind = FieldSpec::Kind::Number,
         .row = 2,
         .minimumWidth = 12},
    };
    panelVidrenta = new RegisterPanel(QStringLiteral("panelVidrenta"), TVidRentaKol, fields,
                                      QStringLiteral("bitVRZapisDob"), QStringLiteral("bitVROtkaz"), box);
    keepPlaceWhenHidden(panelVidrenta);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(view, 1);
    layout->addLayout(commandRow({button(QStringLiteral("bitVRDob"), QStringLiteral("Добавяне"), box),
                                  button(QStringLiteral("bitVRKor"), QStringLiteral("Корекция"), box),
                                  button(QStringLiteral("bitVRDel"), QStringLiteral("Изтриване"), box)}));
    layout->addWidget(panelVidrenta);
    return box;
}

// While a panel is open, both lists and their commands wait for it.
void TFRentaZeml::lockWhileEditing(EditFlow& flow)
{
    const QWidget* panel = &flow == ruleFlow_ ? static_cast<QWidget*>(panelZemlishta) : panelVidrenta;
    for (QGroupBox* box : {grboxZemlishta, grboxVidRenta})
        for (QWidget* w : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != panel && (qobject_cast<QTableView*>(w) || qobject_cast<QPushButton*>(w)))
                flow.lockWhileEditing(w);
}

// ---------------------------------------------------------------- rules

void TFRentaZeml::declareRules()
{
    ruleFlow_ = &addFlow(dm_.TRZeml, panelZemlishta);
    EditFlow& flow = *ruleFlow_;
    flow.setList(*rules_, QStringLiteral("ID_RZ"));
    flow.setFirstField(panelZemlishta->controls().value(QStringLiteral("jvdblcbDogTip")));
    lockWhileEditing(flow);
    flow.checks = {
        {[this] {
             const kit::PanelValues v = panelZemlishta->values();
             return v.chosen(QStringLiteral("jvdblcbDogTip")) && v.chosen(QStringLiteral("jvdblcbZemlishta"));
         },
         kFillAll},
        // A second rule of the area and type is thrown away, and the list
        // shows the newest rule.
        {[this] { return !ruleExists(); }, kRuleExists, true},
    };
    // Both read the tables as they stand: a line stored from another rules
    // screen keeps the rule too.
    flow.guards = {
        {[this] { return receiptIssued(); }, kReceiptIssued},
        {[this] { return rowFound(rent::lineOfRule(), {rules_->value(QStringLiteral("ID_RZ"))}); }, kRuleHasLines}};
    flow.connectButtons(findChild<QPushButton*>(QStringLiteral("bitZemlDob")), nullptr,
                        findChild<QPushButton*>(QStringLiteral("bitZemlDel")), panelZemlishta->saveButton(),
                        panelZemlishta->cancelButton());
    connect(&flow, &EditFlow::panelOpened, this, &TFRentaZeml::readContractTypes);
    connect(&flow, &EditFlow::discardedByCheck, this, &TFRentaZeml::showNewestRule);
    // A commit or rollback of the rules' area closed its other cursors.
    connect(&flow, &EditFlow::saved, this, &TFRentaZeml::reopenRuleCursors);
    connect(&flow, &EditFlow::cancelled, this, &TFRentaZeml::reopenRuleCursors);
    connect(&flow, &EditFlow::removed, this, &TFRentaZeml::reopenRuleCursors);
    connect(qobject_cast<QComboBox*>(panelZemlishta->controls().value(QStringLiteral("jvdblcbDogTip"))),
            &QComboBox::activated, this, &TFRentaZeml::contractTypeChosen);
}

// The data module's rule cursor follows the selected rule.
void TFRentaZeml::ruleSelected()
{
    if (dm_.TRZeml.isEditing() || rules_->isEmpty())
        return;
    try {
        dm_.TRZeml.locateFresh(QStringLiteral("ID_RZ"), rules_->value(QStringLiteral("ID_RZ")));
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Правилото не може да бъде показано."), e);
    }
}

void TFRentaZeml::reopenRuleCursors()
{
    try {
        dm_.reopenRuleCursors();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Правилата за рента не могат да бъдат прочетени отново."), e);
    }
}

// The contract types offered are read afresh for each new rule; no area is
// offered before a type is chosen.
void TFRentaZeml::readContractTypes()
{
    try {
        QDT.close();
        QDT.open();
        QZEML.setParam(QStringLiteral("ID_DT"), fb::Value());
        QZEML.close();
        QZEML.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Типовете договори не могат да бъдат прочетени."), e);
    }
}

// Another contract type offers its own areas, and the area chosen goes.
void TFRentaZeml::contractTypeChosen()
{
    try {
        dm_.TRZeml.field(QStringLiteral("ID_ZEML")).clear();
        QZEML.setParam(QStringLiteral("ID_DT"), dm_.TRZeml.field(QStringLiteral("ID_DT")).value());
        QZEML.close();
        QZEML.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Правилото не може да бъде показано."), e);
    }
}

bool TFRentaZeml::ruleExists()
{
    return dm_.rzeml2.locate(
        {QStringLiteral("ID_ZEML"), QStringLiteral("ID_DT")},
        {dm_.TRZeml.field(QStringLiteral("ID_ZEML")).value(), dm_.TRZeml.field(QStringLiteral("ID_DT")).value()});
}

void TFRentaZeml::showNewestRule()
{
    try {
        IBTQueryRZ.ensureStarted();
        const fb::Value newest =
            fb::fetchScalar(dm_.IBDatabase1.connection(), IBTQueryRZ.transaction(), rent::newestRule());
        rules_->reread(QStringLiteral("ID_RZ"), newest);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Правилото не може да бъде показано."), e);
    }
}

// Whether a row answers `sql`, read as the tables stand now.
bool TFRentaZeml::rowFound(const QString& sql, const std::vector<fb::Value>& params)
{
    IBTIZDRR.ensureStarted();
    const fb::Value found = fb::fetchScalar(dm_.IBDatabase1.connection(), IBTIZDRR.transaction(), sql, params);
    IBTIZDRR.commit();
    return !found.isNull();
}

// Whether a receipt line pays rent under the selected rule (its area and
// contract type).
bool TFRentaZeml::receiptIssued()
{
    if (rules_->isEmpty())
        return false;
    return rowFound(rent::receiptLineOfRule(),
                    {rules_->value(QStringLiteral("ID_ZEML")), rules_->value(QStringLiteral("ID_DT"))});
}

// The receipt-issued check of a change of the selected rule's lines.
bool TFRentaZeml::refusedForReceipt()
{
    try {
        if (!receiptIssued())
            return false;
        prompter().message(kReceiptIssued);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписките не могат да бъдат проверени."), e);
    }
    return true;
}

// ---------------------------------------------------------------- the report

void TFRentaZeml::printRentGoods()
{
    try {
        // The report reads the kept contract lines: first what changed since.
        schema::rent::bringUpToDate(dm_.IBDatabase1.connection());
        rent::sayUncomputable(dm_.IBDatabase1, prompter());
        if (IBTransaction1.isActive())
            IBTransaction1.commit();
        if (SprZR.open()) {
            for (dataset::Dataset* q : {&IBQuery4, &IBQuery3, &IBQuery1})
                q->open();
            SprZR.execute({.previewTitle = QStringLiteral("Предпринт"),
                           .previewMaximised = true,
                           .outputDialogTitle = QStringLiteral("Изходни опции")});
        }
        if (IBTransaction1.isActive())
            IBTransaction1.commit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Справката не може да бъде отпечатана."), e);
    }
    SprZR.close();
}

// ---------------------------------------------------------------- keys, activation

void TFRentaZeml::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        for (EditFlow* flow : {ruleFlow_, lineFlow_}) {
            if (flow->isEditing()) {
                flow->cancel();  // "Отказ"
                return;
            }
        }
    }
    ListScreen::keyPressEvent(event);
}

// Back in the window, the rules and lines are read again: another rules
// screen or the rent types screen may have changed them.
void TFRentaZeml::becameActive()
{
    if (ruleFlow_->isEditing() || lineFlow_->isEditing())
        return;
    const fb::Value rule = rules_->value(QStringLiteral("ID_RZ"));
    const fb::Value line = lines_->value(QStringLiteral("ID_VRK"));
    rules_->reread(QStringLiteral("ID_RZ"), rule);
    try {
        TVidRentaKol.open();
        if (!line.isNull())
            TVidRentaKol.locate(QStringLiteral("ID_VRK"), line);
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Правилата за рента не могат да бъдат прочетени отново."), e);
    }
}
