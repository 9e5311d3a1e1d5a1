// The contract editor's lists: the plots with their filters, the shares of
// the selected plot, the contract's lines, and moving shares into and out
// of the contract.
#include "registers/tfdognew.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "common/text_input.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "registers/contract_rules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kInContract = QStringLiteral("Има договор!!");
const QString kArea = QStringLiteral("#0.000");
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

ListColumn text(const char* field, const char* title)
{
    return {QLatin1String(field), QString::fromUtf8(title)};
}

ListColumn area(const char* field, const char* title, const QString& format = kArea)
{
    return {.field = QLatin1String(field), .title = QString::fromUtf8(title), .format = format, .alignment = kRight};
}

}  // namespace

QGroupBox* TFDogNew::buildOwnersAndPlots()
{
    gbSobstvImoti = new QGroupBox(QStringLiteral("Собственици - Имоти"), this);
    gbSobstvImoti->setObjectName(QStringLiteral("gbSobstvImoti"));
    auto* upper = new QHBoxLayout;
    upper->addWidget(buildPlotList(gbSobstvImoti), 3);
    upper->addWidget(buildShares(gbSobstvImoti), 2);
    auto* layout = new QVBoxLayout(gbSobstvImoti);
    layout->addLayout(upper, 1);
    layout->addWidget(buildLines(gbSobstvImoti), 1);
    return gbSobstvImoti;
}

QWidget* TFDogNew::buildPlotList(QWidget* parent)
{
    auto* part = new QWidget(parent);
    auto* filter = new QHBoxLayout;
    QLineEdit* boxes[3] = {};
    const char* names[] = {"edZemlishte", "edMestnost", "edImot"};
    const char* labels[] = {"Землище:", "Местност:", "Имот №:"};
    for (int i = 0; i < 3; ++i) {
        boxes[i] = new QLineEdit(part);
        boxes[i]->setObjectName(QLatin1String(names[i]));
        acceptWindows1251Only(boxes[i]);
        auto* l = new QLabel(QString::fromUtf8(labels[i]), part);
        l->setBuddy(boxes[i]);
        filter->addWidget(l);
        filter->addWidget(boxes[i], 1);
    }
    QPushButton* show = button(QStringLiteral("bitFilter"), QStringLiteral("Филтрирай"), part);
    QPushButton* clear = button(QStringLiteral("bitClear"), QStringLiteral("Изчисти"), part);
    filter->addWidget(show);
    filter->addWidget(clear);

    QTableView* view = grid(QStringLiteral("jvdbgridImoti"), part, 8);
    plots_ = &addList(
        view, QueryImotiDog,
        {text("NAIM_NM", "Землище"), text("NAIM_MESTN", "Местност"), text("IMOT_NO", "Имот №"), text("NAIM_NTP", "НТП"),
         text("NAIM_FS", "ФС"), text("IMOT_NO2", "Имот № 2"), area("PLOSHT", "Площ"), area("PRPLOSHT", "Пр. площ"),
         text("NAIM_KULT", "Засята клтура"), text("OBRABOTVAEMA", "Обработваема")});
    plots_->setStatement(contract::plotListStatement());
    // Read inside the contract transaction, which only the contract's save may end.
    plots_->setCommitOnReread(false);
    plots_->addFilterBox(boxes[0], contract::kAreaStarts);
    plots_->addFilterBox(boxes[1], contract::kLocalityStarts);
    plots_->addFilterBox(boxes[2], contract::kPlotNumberStarts);
    plots_->connectFilter(show, clear);
    connect(&QueryImotiDog, &dataset::Dataset::currentChanged, this, &TFDogNew::plotSelected);

    auto* layout = new QVBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filter);
    layout->addWidget(view, 1);
    return part;
}

QWidget* TFDogNew::buildShares(QWidget* parent)
{
    QTableView* view = grid(QStringLiteral("jvdbgridSobstv"), parent, 8);
    // The identifier's title begins with a Latin E, as this grid always had it.
    shares_ = &addList(
        view, QuerySobstv,
        {text("EGN", "EГН/ЕИН"), text("IME", "Име/Наименование"), area("REDPLOSHT", "Площ"), text("CHAST", "Част"),
         area("PRREDPL", "Пр. площ"), text("NOMER", "Дог. №"), text("PREDST", "Представлян/-а от")});
    shares_->setStatement({.base = {contract::sharesStatement()}, .defaultOrder = {}});
    shares_->setCommitOnReread(false);
    return view;
}

QWidget* TFDogNew::buildLines(QWidget* parent)
{
    auto* part = new QWidget(parent);
    QTableView* view = grid(QStringLiteral("jvdbgridDHZ"), part, 8);
    lines_ = &addList(view, QueryDHZ,
                      {text("NAIM_NM", "Землище"), text("NAIM_MESTN", "Местност"), text("IMOT_NO", "Имот №"),
                       text("NAIM_NTP", "НТП"), text("NAIM_FS", "ФС"), text("IMOT_NO2", "Имот № 2"),
                       area("PLOSHT", "Обща площ"), text("EGN", "ЕГН/ЕИН"), text("IME", "Име/Наименование"),
                       text("CHAST", "Част"), area("REDPLOSHT", "Ред. площ"), text("PREDST", "Представляван/-а от")});
    lines_->setStatement({.base = {contract::linesStatement()}, .defaultOrder = {}});
    lines_->setCommitOnReread(false);
    connect(&QueryDHZ, &dataset::Dataset::currentChanged, this, &TFDogNew::lineSelected);

    QPushButton* add = button(QStringLiteral("bitDob"), QStringLiteral("Добавяне"), part);
    QPushButton* back = button(QStringLiteral("bitVryshtane"), QStringLiteral("Връщане"), part);
    connect(add, &QPushButton::clicked, this, &TFDogNew::addLine);
    connect(back, &QPushButton::clicked, this, &TFDogNew::returnLine);
    lblObshto = new QLabel(part);
    lblObshto->setObjectName(QStringLiteral("lblObshto"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(back);
    buttons->addStretch();
    auto* total = new QHBoxLayout;
    total->addStretch();
    total->addWidget(new QLabel(QStringLiteral("Общо редуцирана площ:"), part));
    total->addWidget(lblObshto);
    auto* layout = new QGridLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addLayout(total, 1, 0);
    return part;
}

// ---------------------------------------------------------------- following the selection

// The owners of the contract's lines who were given a goods receipt: the
// type stays as it is, and their lines stay in the contract.
void TFDogNew::readOwnersWithReceipts()
{
    ownersWithReceipts_.clear();
    const fb::Value contractId = dm_.TDogovor.field(QStringLiteral("ID_DOG")).value();
    IBQuery1.sql().setLines({contract::ownersWithReceiptsStatement()});
    IBQuery1.setParam(QStringLiteral("id_dog"), contractId);
    IBQuery1.open();
    const int owner = IBQuery1.field(QStringLiteral("ID_SOBSTV")).index();
    for (int r = 0; r < IBQuery1.rowCount(); ++r)
        ownersWithReceipts_.insert(IBQuery1.value(r, owner).toInt());
    IBQuery1.close();
    const bool typeMayChange = ownersWithReceipts_.isEmpty() && !readOnly_;
    jvdblcDogTip->setEnabled(typeMayChange);
    bitDogTip->setEnabled(typeMayChange);

    QueryDHZ.setParam(QStringLiteral("id_dog"), contractId);
    lines_->reread();
}

void TFDogNew::plotSelected()
{
    if (!QueryImotiDog.isOpen())
        return;  // a re-read closes the list before it reads it again
    QuerySobstv.setParam(QStringLiteral("id_zemq"), plots_->value(QStringLiteral("ID_ZEMQ")));
    shares_->reread();
}

// "Връщане" stays with the owners who have no receipt.
void TFDogNew::lineSelected()
{
    if (!QueryDHZ.isOpen())
        return;
    const fb::Value owner = lines_->value(QStringLiteral("ID_HORA"));
    auto* back = findChild<QPushButton*>(QStringLiteral("bitVryshtane"));
    back->setEnabled(!readOnly_ && (owner.isNull() || !ownersWithReceipts_.contains(owner.toInt())));
}

void TFDogNew::showTotal()
{
    double total = 0;
    dataset::Dataset& lines = dm_.TDHZ;
    const int area = lines.field(QStringLiteral("REDPLOSHT")).index();
    for (int r = 0; r < lines.rowCount(); ++r)
        total += lines.value(r, area).toDouble();
    lblObshto->setText(contract::areaTotalText(total));
}

// ---------------------------------------------------------------- lines

// Runs the steps as one: a database error takes back what they wrote (the
// transaction keeps the rest of the edit) and is shown.
bool TFDogNew::inOneStep(const std::function<void()>& steps)
{
    fb::Connection& connection = dm_.IBDatabase1.connection();
    fb::Transaction& tr = dm_.IBTDog.transaction();
    try {
        fb::execute(connection, tr, QStringLiteral("savepoint contract_step"));
        steps();
        fb::execute(connection, tr, QStringLiteral("release savepoint contract_step only"));
        return true;
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Промяната в договора не е направена."), e);
        try {
            dm_.TDHZ.cancel();
            TSobstvenici.cancel();
            fb::execute(connection, tr, QStringLiteral("rollback to savepoint contract_step"));
            dm_.TDHZ.refresh();
        } catch (const fb::Error& again) {
            prompter().message(again.message());
        }
        return false;
    }
}

// The selected owner's share of the selected plot becomes a line of the
// contract with the share's part and area; the share is linked to it.
void TFDogNew::addLine()
{
    shares_->view()->setFocus();
    if (shares_->isEmpty())
        return;  // a plot without owners has nothing to add
    const fb::Value linked = shares_->value(QStringLiteral("ID_DHZ"));
    if (!linked.isNull() && linked.toInt() != 0) {
        prompter().message(kInContract);
        return;
    }
    const fb::Value plot = shares_->value(QStringLiteral("ID_ZEMQ"));
    const fb::Value owner = shares_->value(QStringLiteral("ID_HORA"));
    inOneStep([&] {
        dataset::Dataset& lines = dm_.TDHZ;
        lines.append();
        lines.field(QStringLiteral("ID_DOG")).setValue(dm_.TDogovor.field(QStringLiteral("ID_DOG")).value());
        lines.field(QStringLiteral("ID_ZEMQ")).setValue(plot);
        lines.field(QStringLiteral("ID_SOBSTV")).setValue(owner);
        lines.field(QStringLiteral("CHAST")).setValue(shares_->value(QStringLiteral("CHAST")));
        lines.field(QStringLiteral("REDPLOSHT")).setValue(shares_->value(QStringLiteral("REDPLOSHT")));
        lines.post();  // the insert gives the new line's id
        if (!TSobstvenici.locate({QStringLiteral("ID_ZEMQ"), QStringLiteral("ID_HORA")}, {plot, owner}))
            throw fb::Error(QStringLiteral("SOBSTV: the share is gone"));
        TSobstvenici.edit();
        TSobstvenici.field(QStringLiteral("ID_DOG")).setValue(lines.field(QStringLiteral("ID_DOG")).value());
        TSobstvenici.field(QStringLiteral("ID_DHZ")).setValue(lines.field(QStringLiteral("ID_DHZ")).value());
        TSobstvenici.post();
    });
    rereadAfterLineChange();
}

// The selected line leaves the contract and its share is freed (0s).
void TFDogNew::returnLine()
{
    if (lines_->isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    gbSobstvImoti->setEnabled(false);
    const fb::Value line = lines_->value(QStringLiteral("ID_DHZ"));
    inOneStep([&] {
        if (TSobstvenici.locate(QStringLiteral("ID_DHZ"), line)) {
            TSobstvenici.edit();
            TSobstvenici.field(QStringLiteral("ID_DHZ")).setValue(0);
            TSobstvenici.field(QStringLiteral("ID_DOG")).setValue(0);
            TSobstvenici.post();
        }
        if (dm_.TDHZ.locate(QStringLiteral("ID_DHZ"), line))
            dm_.TDHZ.remove();
    });
    gbSobstvImoti->setEnabled(true);
    rereadAfterLineChange();
}

void TFDogNew::rereadAfterLineChange()
{
    lines_->reread();
    shares_->reread();
    lineSelected();
    showTotal();
}
