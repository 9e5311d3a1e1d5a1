#include "rent/tfhorazemqrenta.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dataset/binders.h"
#include "dataset/formats.h"
#include "dataset/usage_error.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/payout_statements.h"
#include "rent/tfrko.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace {

const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const QString kOwnerParam = QStringLiteral("id_sobstv");
const QString kArea = QStringLiteral("#0.000");
const QString kMoney = QStringLiteral("#0.00");

ListColumn text(const char* field, const char* title)
{
    return {QLatin1String(field), QString::fromUtf8(title)};
}

ListColumn number(const char* field, const char* title, const QString& format)
{
    return {.field = QLatin1String(field), .title = QString::fromUtf8(title), .format = format, .alignment = kRight};
}

// A quantity in its rent type's unit: stotinki for money, whole units for goods.
ListColumn quantity(const char* field, const char* title, dataset::Dataset& rows, const char* typeField)
{
    ListColumn c = number(field, title, {});
    c.formatOf = [&rows, typeField](int row) {
        const dataset::Field* type = rows.findField(QLatin1String(typeField));
        return type && rows.value(row, type->index()).toInt() == 1 ? QStringLiteral("#0.00") : QStringLiteral("#0");
    };
    return c;
}

fb::TransactionOptions readCommitted(bool wait)
{
    return fb::TransactionOptions::readCommitted(wait);
}

}  // namespace

TFHoraZemqRenta::TFHoraZemqRenta(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, dataset::Dataset& owners,
                                 rent::SharedRest& rest, QWidget* parent)
    : ListScreen(prompter, parent),
      dm_(dm),
      owners_(&owners),
      rest_(rest),
      IBTQPI(dm.IBDatabase1, QStringLiteral("IBTQPI"), readCommitted(false)),
      IBTQPR(dm.IBDatabase1, QStringLiteral("IBTQPR"), readCommitted(true)),
      IBTQIR(dm.IBDatabase1, QStringLiteral("IBTQIR"), readCommitted(true)),
      IBTOpisRD(dm.IBDatabase1, QStringLiteral("IBTOpisRD"), readCommitted(true)),
      IBTOpisRKO(dm.IBDatabase1, QStringLiteral("IBTOpisRKO"), readCommitted(true)),
      IBTPr(dm.IBDatabase1, QStringLiteral("IBTPr"), readCommitted(true)),
      IBTPrintDS(dm.IBDatabase1, QStringLiteral("IBTPrintDS"), readCommitted(true)),
      QueryPritImoti(IBTQPI, QStringLiteral("QueryPritImoti")),
      QueryPolR(IBTQPR, QStringLiteral("QueryPolR")),
      QueryIzplatenaRenta(IBTQIR, QStringLiteral("QueryIzplatenaRenta")),
      QueryOpisRD(IBTOpisRD, QStringLiteral("QueryOpisRD")),
      QueryOpisRKO(IBTOpisRKO, QStringLiteral("QueryOpisRKO")),
      Pravila(IBTPr, QStringLiteral("Pravila")),
      QueryRPR(dm.IBTRazp, QStringLiteral("QueryRPR")),
      QueryRealR(dm.IBTRazp, QStringLiteral("QueryRealR")),
      QueryHora(IBTPrintDS, QStringLiteral("QueryHora")),
      QueryPrintRD(IBTPrintDS, QStringLiteral("QueryPrintRD")),
      QueryRR(IBTPrintDS, QStringLiteral("QueryRR")),
      QueryPrintRKO(IBTPrintDS, QStringLiteral("QueryPrintRKO")),
      Razpiska(QStringLiteral("Razpiska.rav"), prompter, this),
      RazpiskaPari(QStringLiteral("Razpiska_pari.rav"), prompter, this)
{
    setObjectName(QStringLiteral("TFHoraZemqRenta"));
    setWindowTitle(QStringLiteral("Досие на собственик"));
    Razpiska.setOutputChooser(outputs);
    RazpiskaPari.setOutputChooser(outputs);
    Pravila.sql().setLines({rent::payout::ruleCheck()});

    auto* top = new QHBoxLayout;
    top->addWidget(buildHeader());
    top->addWidget(buildGroup(
        "Полагаща рента", "dbgridPolRenta", QueryPolR,
        {text("NAIM_VR", "Наименование"), quantity("SOK", "Кол-во", QueryPolR, "ID_VR"), text("ME", "М. ед.")},
        rent::payout::dueByType(), 4));
    top->addWidget(
        buildGroup("Изплатена рента", "dbgridIzplatenaRenta", QueryIzplatenaRenta,
                   {text("RK", "Наименование"), number("SUM_OF_KOL", "Кол-во", kMoney), text("ME", "М. ед.")},
                   rent::payout::handedOut(), 4));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildGroup(
        "Притежавани имоти", "jvdbgridPritImoti", QueryPritImoti,
        {text("TIP", "Тип договор"), text("NOMER", "Договор №"), text("NAIM_NM", "Землище"),
         text("NAIM_MESTN", "Местност"), text("IMOT_NO", "Имот №"), text("IMOT_NO2", "Имот № Нов"),
         text("NAIM_NTP", "Н-н на тр. ползване"), text("NAIM_FS", "Форма на стопанисване"),
         number("REDPLOSHT", "Ред. площ", kArea), text("CHAST", "Част"), number("PRREDPL", "Пр. ред. площ", kArea)},
        rent::payout::ownedPlots(), 5));
    auto* payouts = new QHBoxLayout;
    payouts->addWidget(buildReceipts());
    payouts->addWidget(buildPayments());
    layout->addLayout(payouts);
    layout->addWidget(buildReceiptPanel());
    labOstZaPol = new QLabel(this);
    labOstZaPol->setObjectName(QStringLiteral("labOstZaPol"));
    auto* bottom = commandRow({button(QStringLiteral("butIzplNaOst"), QStringLiteral("Изплащане на остатъка"))});
    bottom->insertWidget(1, new QLabel(QStringLiteral("Остатък за получаване:"), this));
    bottom->insertWidget(2, labOstZaPol);
    bottom->addWidget(button(QStringLiteral("bitExit"), QStringLiteral("Изход")));
    layout->addLayout(bottom);

    wireCommands();
    openProjects();
    connect(&owners, &dataset::Dataset::currentChanged, this, &TFHoraZemqRenta::followOwner);
    followOwner();
    warnMissingRule();
}

// The screen's queries go before their transactions; what is still open is committed.
TFHoraZemqRenta::~TFHoraZemqRenta()
{
    for (dataset::TransactionArea* area : {&IBTQPI, &IBTQPR, &IBTQIR, &IBTOpisRD, &IBTOpisRKO, &IBTPr, &IBTPrintDS}) {
        try {
            if (area->isActive())
                area->commit();
        } catch (const fb::Error&) {
            // A read transaction has nothing to lose; the engine ends it with the attachment.
        }
    }
}

// ---------------------------------------------------------------- building

QWidget* TFHoraZemqRenta::buildHeader()
{
    auto* header = new QWidget(this);
    auto* grid = new QGridLayout(header);
    const char* const shown[][3] = {{"dbtEGN", "ЕГН/ЕИН:", "EGN"},
                                    {"dbtIme", "Име/Наименование:", "IME"},
                                    {"dbtDogPlosht", "Площ:", "ZDPL"},
                                    {"dbtPlosht", "Приравнена площ:", "ZPL"}};
    int row = 0;
    for (const auto& s : shown) {
        auto* value = new QLabel(header);
        value->setObjectName(QLatin1String(s[0]));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(new QLabel(QString::fromUtf8(s[1]), header), row, 0);
        grid->addWidget(value, row++, 1);
    }
    grid->setRowStretch(row, 1);
    return header;
}

QGroupBox* TFHoraZemqRenta::buildGroup(const char* caption, const char* gridName, dataset::Dataset& rows,
                                       std::vector<ListColumn> columns, const QString& statement, int visibleRows)
{
    auto* box = new QGroupBox(QString::fromUtf8(caption), this);
    QTableView* view = grid(QLatin1String(gridName), box, visibleRows);
    ListGrid& list = addList(view, rows, std::move(columns));
    list.setStatement({.base = {statement}, .defaultOrder = {}});
    lists_.emplace_back(&rows, &list);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(view);
    return box;
}

ListGrid& TFHoraZemqRenta::listOf(dataset::Dataset& rows) const
{
    for (const auto& [d, list] : lists_)
        if (d == &rows)
            return *list;
    throw dataset::UsageError(QStringLiteral("no list over ") + rows.name());
}

QWidget* TFHoraZemqRenta::buildReceipts()
{
    QGroupBox* box = buildGroup("Разписка за рента", "jvdbgridRazpiski", QueryOpisRD,
                                {text("NOM", "№"), text("DATA", "Дата"), text("NPLTEKST", "Начин на плащане")},
                                rent::payout::goodsReceipts(), 4);
    static_cast<QVBoxLayout*>(box->layout())
        ->addLayout(commandRow({button(QStringLiteral("bitRazpiskaDob"), QStringLiteral("Добавяне"), box),
                                button(QStringLiteral("bitRazpiskaKor"), QStringLiteral("Корекция"), box),
                                button(QStringLiteral("bitRazpiskaDel"), QStringLiteral("Изтриване"), box),
                                button(QStringLiteral("bitRazpiskaPrint"), QStringLiteral("Печат"), box)}));
    return box;
}

QWidget* TFHoraZemqRenta::buildPayments()
{
    QGroupBox* box = buildGroup("Разписка за изплащане на остатък", "dbgridRKO", QueryOpisRKO,
                                {text("NOMER", "№"), text("DATA", "Дата"), text("NPLPTEKST", "Начин на плащане"),
                                 number("SUMA", "Сума", QStringLiteral("#0.00 \"лв\""))},
                                rent::payout::cashPayments(), 4);
    static_cast<QVBoxLayout*>(box->layout())
        ->addLayout(commandRow({button(QStringLiteral("bitRKODel"), QStringLiteral("Изтриване"), box),
                                button(QStringLiteral("bitRKOPrint"), QStringLiteral("Печат"), box)}));
    return box;
}

void TFHoraZemqRenta::wireCommands()
{
    const auto on = [this](const char* name, void (TFHoraZemqRenta::*slot)()) {
        connect(findChild<QPushButton*>(QLatin1String(name)), &QPushButton::clicked, this, slot);
    };
    on("bitRazpiskaDob", &TFHoraZemqRenta::addReceipt);
    on("bitRazpiskaKor", &TFHoraZemqRenta::correctReceipt);
    on("bitRazpiskaDel", &TFHoraZemqRenta::deleteReceipt);
    on("bitRazpiskaPrint", &TFHoraZemqRenta::printReceipt);
    on("butKol", &TFHoraZemqRenta::addLine);
    on("bitRazpRRKor", &TFHoraZemqRenta::correctLine);
    on("bitRazpRRDel", &TFHoraZemqRenta::deleteLine);
    on("bitRazpRDOtkaz", &TFHoraZemqRenta::cancelReceipt);
    on("bitRKODel", &TFHoraZemqRenta::deletePayment);
    on("bitRKOPrint", &TFHoraZemqRenta::printPayment);
    on("butIzplNaOst", &TFHoraZemqRenta::payRest);
    on("bitExit", &TFHoraZemqRenta::closeWindow);
    connect(findChild<QPushButton*>(QStringLiteral("bitRazpRDZapis")), &QPushButton::clicked, this,
            [this] { saveReceipt(); });
}

void TFHoraZemqRenta::openProjects()
{
    Razpiska.bindConnection(QStringLiteral("rvdsRD"), QueryPrintRD);
    Razpiska.bindConnection(QStringLiteral("rvdsRR"), QueryRR);
    Razpiska.bindConnection(QStringLiteral("rvdsHora"), QueryHora);
    Razpiska.bindConnection(QStringLiteral("rvdsFirma"), dm_.TFirma);
    RazpiskaPari.bindConnection(QStringLiteral("rvdsRKO"), QueryPrintRKO);
    RazpiskaPari.bindConnection(QStringLiteral("rvdsHora"), QueryHora);
    RazpiskaPari.bindConnection(QStringLiteral("rvdsFirma"), dm_.TFirma);
    QueryPrintRD.sql().setLines({QStringLiteral("select * from \"RAZP DANNI\" where id_rd = :ID_RD")});
    QueryRR.sql().setLines({rent::payout::printedGoods()});
    QueryHora.sql().setLines({rent::payout::ownerRow()});
    QueryPrintRKO.sql().setLines({QStringLiteral("select * from razp_pari where id_razppari = :ID_RAZPPARI")});
    Razpiska.open();
    RazpiskaPari.open();
}

reports::ExecuteOptions TFHoraZemqRenta::withHtml()
{
    reports::ExecuteOptions options;
    options.allowHtml = true;
    return options;
}

// ---------------------------------------------------------------- the owner and the rest

fb::Value TFHoraZemqRenta::owner() const
{
    if (!owners_ || !owners_->isOpen() || owners_->isEmpty())
        return {};
    return owners_->field(QStringLiteral("ID_SOBSTV")).value();
}

QString TFHoraZemqRenta::representative() const
{
    if (!owners_ || !owners_->isOpen() || owners_->isEmpty())
        return {};
    return owners_->field(QStringLiteral("PREDST")).value().toString();
}

// Every list shows the list's current owner, read afresh. While a receipt
// is being built the whole screen stays with the receipt's owner (the
// header, plots, due rent, receipts and payments beside the panel are his)
// and catches up with the list once the receipt is saved or cancelled.
void TFHoraZemqRenta::followOwner()
{
    if (panelShown())
        return;
    const fb::Value id = owner();
    const auto show = [&](const char* name, const char* field, const QString& format) {
        QString shown;
        if (!id.isNull()) {
            const fb::Value v = owners_->field(QLatin1String(field)).value();
            shown = format.isEmpty() ? v.toString()
                                     : (v.isNull() ? QString() : dataset::formats::number(v.toDouble(), format));
        }
        findChild<QLabel*>(QLatin1String(name))->setText(shown);
    };
    show("dbtEGN", "EGN", {});
    show("dbtIme", "IME", {});
    show("dbtDogPlosht", "ZDPL", QStringLiteral("#0.000 \"дка\""));
    show("dbtPlosht", "ZPL", QStringLiteral("#0.000 \"дка\""));
    for (dataset::Dataset* d : {&QueryPritImoti, &QueryPolR, &QueryIzplatenaRenta, &QueryOpisRD, &QueryOpisRKO})
        d->setParam(kOwnerParam, id);
    for (dataset::Dataset* d : {&QueryPritImoti, &QueryPolR, &QueryIzplatenaRenta, &QueryOpisRD, &QueryOpisRKO})
        reread(*d);
    reopenDueRows();
    recomputeRest();
}

// Land of the owner in an area and contract type without a rule with lines earns nothing; say so once.
void TFHoraZemqRenta::warnMissingRule()
{
    try {
        Pravila.setParam(kOwnerParam, owner());
        Pravila.open();
        const int dt = Pravila.field(QStringLiteral("DT")).index();
        const int zeml = Pravila.field(QStringLiteral("ZEML")).index();
        bool missing = false;
        for (int r = 0, n = Pravila.rowCount(); r < n && !missing; ++r)
            missing = Pravila.value(r, dt).toInt() == 0 && Pravila.value(r, zeml).toInt() == 0;
        if (IBTPr.isActive())
            IBTPr.commit();
        if (missing)
            prompter().message(QStringLiteral("Липсва правило за рента!"));
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Правилата за рента не могат да бъдат проверени."), e);
    }
}

// Re-read in its own transaction, committed first so that the list shows
// what was committed since; the receipts' lists are read in theirs.
void TFHoraZemqRenta::reread(dataset::Dataset& rows)
{
    listOf(rows).reread();
}

void TFHoraZemqRenta::recomputeRest()
{
    reread(QueryIzplatenaRenta);
    rent::RestFigures figures;
    figures.handedOut = rent::columnValues(QueryIzplatenaRenta, "SUM_OF_KOL");
    figures.dueValues = rent::columnValues(QueryPolR, "SOP");
    figures.dueQuantities = rent::columnValues(QueryPolR, "SOK");
    figures.cashPaid = rent::columnValues(QueryOpisRKO, "SUMA");
    figures.receiptValues = rent::columnValues(QueryOpisRD, "SUMA");
    rest_.value = rent::restToReceive(figures);
    labOstZaPol->setText(QLocale().toString(rest_.value, 'f', 2));
}

void TFHoraZemqRenta::becameActive()
{
    recomputeRest();
}

// ---------------------------------------------------------------- cash payments

// The whole rest as shown, paid in cash through the cash receipt dialog,
// which commits the payment or leaves nothing.
void TFHoraZemqRenta::payRest()
{
    if (rest_.value <= 0 || owner().isNull())
        return;
    bool ok = false;
    double amount = QLocale().toDouble(labOstZaPol->text(), &ok);
    if (!ok)
        amount = 0;
    try {
        TFRKO::appendPayment(dm_);
        dm_.TRKO.field(QStringLiteral("ID_HORA")).setValue(owner());
        dm_.TRKO.field(QStringLiteral("SUMA")).setValue(fb::Value(amount));
        dm_.TRKO.field(QStringLiteral("PREDSTRP")).setValue(fb::Value(representative()));
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Остатъкът не е изплатен."), e);
        return;
    }
    TFRKO dialog(dm_, prompter(), this);
    dialog.run();
    reread(QueryOpisRKO);
    recomputeRest();
}

void TFHoraZemqRenta::deletePayment()
{
    if (QueryOpisRKO.isEmpty()) {
        prompter().message(QStringLiteral("Няма данни!"));
        return;
    }
    const fb::Value id = listOf(QueryOpisRKO).value(QStringLiteral("ID_RAZPPARI"));
    if (!prompter().confirm(QStringLiteral("Моля, потвърдете изтриването!"), Prompter::Default::No))
        return;
    try {
        if (!dm_.TRKO.isOpen())
            dm_.TRKO.open();
        if (dm_.TRKO.locate(QStringLiteral("ID_RAZPPARI"), id)) {
            dm_.TRKO.remove();
            dm_.IBTRazpPari.commit();
        }
    } catch (const fb::Error& e) {
        if (dm_.IBTRazpPari.isActive())
            dm_.IBTRazpPari.rollback();
        failure::show(prompter(), QStringLiteral("Плащането не е изтрито."), e);
    }
    reread(QueryOpisRKO);
    recomputeRest();
}

void TFHoraZemqRenta::printPayment()
{
    if (QueryOpisRKO.isEmpty()) {
        prompter().message(QStringLiteral("Няма данни!"));
        return;
    }
    QueryHora.setParam(kOwnerParam, owner());
    QueryPrintRKO.setParam(QStringLiteral("ID_RAZPPARI"), listOf(QueryOpisRKO).value(QStringLiteral("ID_RAZPPARI")));
    RazpiskaPari.execute(withHtml());
    try {
        if (IBTPrintDS.isActive())
            IBTPrintDS.commit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписката не може да бъде отпечатана."), e);
    }
}
