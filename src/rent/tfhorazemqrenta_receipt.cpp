// The goods receipts of the payout screen: the receipt panel, where a
// receipt is built line by line against the due rows, and the commands on
// whole receipts.

#include "common/date_field.h"
#include "common/failure.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/text_input.h"
#include "dataset/binders.h"
#include "dm/domains.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/line_quantity.h"
#include "rent/payout_statements.h"
#include "rent/receipt_numbers.h"
#include "rent/tfhorazemqrenta.h"
#include "rent/tfkol.h"
#include "rent/tfrazpiska.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
const QString kOwnerParam = QStringLiteral("id_sobstv");

// The commands that act on whole receipts and payments; while a receipt is
// being built they wait, so that nothing commits it half made.
const char* const kBrowsingCommands[] = {"bitRazpiskaDob", "bitRazpiskaKor", "bitRazpiskaDel", "bitRazpiskaPrint",
                                         "bitRKODel",      "bitRKOPrint",    "butIzplNaOst"};

ListColumn dueQuantity(const char* field, const char* title, dataset::Dataset& rows)
{
    ListColumn c{.field = QLatin1String(field), .title = QString::fromUtf8(title), .alignment = kRight};
    c.formatOf = [&rows](int row) {
        const dataset::Field* type = rows.findField(QStringLiteral("ID_VRK"));
        return type && rows.value(row, type->index()).toInt() == 1 ? QStringLiteral("#0.00") : QStringLiteral("#0");
    };
    return c;
}

QString methodText(int method)
{
    return method == 1 ? QStringLiteral("По банка") : QStringLiteral("В брой");
}

}  // namespace

QGroupBox* TFHoraZemqRenta::buildReceiptPanel()
{
    grboxRazpiska = new QGroupBox(QStringLiteral("Разписка"), this);
    grboxRazpiska->setObjectName(QStringLiteral("grboxRazpiska"));
    auto* header = new QHBoxLayout;
    auto* number = new NumberField(dm::domain(QStringLiteral("RAZP DANNI"), QStringLiteral("NOM")), grboxRazpiska);
    number->setObjectName(QStringLiteral("dbedRazpNo"));
    number->setAlignment(Qt::AlignLeft);
    setDigitsOnly(number);
    new NumberFieldBinder(number, dm_.TRD, QStringLiteral("NOM"));
    auto* date = new DateField(grboxRazpiska);
    date->setObjectName(QStringLiteral("jvdbdeRazpiska"));
    new DateFieldBinder(date, dm_.TRD, QStringLiteral("DATA"));
    header->addWidget(new QLabel(QStringLiteral("Разписка №:"), grboxRazpiska));
    header->addWidget(number);
    header->addWidget(new QLabel(QStringLiteral("от дата:"), grboxRazpiska));
    header->addWidget(date);
    header->addStretch();

    QTableView* due = grid(QStringLiteral("jvdbgridRazpPR"), grboxRazpiska, 5);
    ListGrid& dueList = addList(due, QueryRPR,
                                {{QStringLiteral("TIP"), QStringLiteral("Тип договор")},
                                 {QStringLiteral("NAIM_NM"), QStringLiteral("Землище")},
                                 {QStringLiteral("NAIM_VR"), QStringLiteral("Наименование")},
                                 dueQuantity("OK", "Кол-во", QueryRPR),
                                 dueQuantity("RAZL", "Остатък", QueryRPR),
                                 {QStringLiteral("ME"), QStringLiteral("МЕ")}});
    dueList.setStatement({.base = {rent::payout::dueRows()}, .defaultOrder = {}});
    dueList.setCommitOnReread(false);  // read in the receipts' transaction, which holds the receipt
    lists_.emplace_back(&QueryRPR, &dueList);

    QTableView* lines = grid(QStringLiteral("dbgridRazpRR"), grboxRazpiska, 5);
    ListGrid& lineList = addList(lines, QueryRealR,
                                 {{QStringLiteral("RED"), QStringLiteral("№")},
                                  {QStringLiteral("TD"), QStringLiteral("Тип договор")},
                                  {QStringLiteral("RK"), QStringLiteral("Наименование")},
                                  {.field = QStringLiteral("KOL"),
                                   .title = QStringLiteral("Кол-во"),
                                   .format = QStringLiteral("#0.00"),
                                   .alignment = kRight},
                                  {QStringLiteral("ME"), QStringLiteral("МЕ")}});
    lineList.setStatement({.base = {rent::payout::receiptLines()}, .defaultOrder = {}});
    lineList.setCommitOnReread(false);
    lists_.emplace_back(&QueryRealR, &lineList);

    auto* linesColumn = new QVBoxLayout;
    linesColumn->addWidget(lines);
    linesColumn->addLayout(
        commandRow({button(QStringLiteral("bitRazpRRKor"), QStringLiteral("Корекция"), grboxRazpiska),
                    button(QStringLiteral("bitRazpRRDel"), QStringLiteral("Изтриване"), grboxRazpiska)}));
    auto* work = new QHBoxLayout;
    work->addWidget(due, 3);
    work->addWidget(button(QStringLiteral("butKol"), QStringLiteral(">>>"), grboxRazpiska));
    work->addLayout(linesColumn, 2);

    auto* method = new QGroupBox(QStringLiteral("Начин на плащане:"), grboxRazpiska);
    method->setObjectName(QStringLiteral("jvdbrpNPLBox"));
    jvdbrpNPL = new QButtonGroup(method);
    jvdbrpNPL->setObjectName(QStringLiteral("jvdbrpNPL"));
    auto* methodRow = new QHBoxLayout(method);
    for (int id : {0, 1}) {
        auto* r = new QRadioButton(methodText(id), method);
        jvdbrpNPL->addButton(r, id);
        methodRow->addWidget(r);
    }
    new dataset::RadioGroupBinder(jvdbrpNPL, dm_.TRD, QStringLiteral("NPL"), {fb::Value(0), fb::Value(1)});
    auto* predst = new QLineEdit(grboxRazpiska);
    predst->setObjectName(QStringLiteral("dbedPredstRS"));
    new dataset::LineEditBinder(predst, dm_.TRD, QStringLiteral("PREDSTRS"));
    acceptWindows1251Only(predst);
    auto* footer = new QHBoxLayout;
    footer->addWidget(method);
    footer->addWidget(new QLabel(QStringLiteral("Представляван/-а от:"), grboxRazpiska));
    footer->addWidget(predst, 1);
    footer->addWidget(button(QStringLiteral("bitRazpRDZapis"), QStringLiteral("Запис"), grboxRazpiska));
    footer->addWidget(button(QStringLiteral("bitRazpRDOtkaz"), QStringLiteral("Отказ"), grboxRazpiska));

    auto* layout = new QVBoxLayout(grboxRazpiska);
    layout->addLayout(header);
    layout->addLayout(work);
    layout->addLayout(footer);
    grboxRazpiska->hide();
    return grboxRazpiska;
}

bool TFHoraZemqRenta::panelShown() const
{
    return grboxRazpiska && !grboxRazpiska->isHidden();
}

void TFHoraZemqRenta::showPanel(bool shown)
{
    if (!shown) {
        receipt_ = receiptOwner_ = fb::Value();
        grboxRazpiska->setTitle(QStringLiteral("Разписка"));
    }
    grboxRazpiska->setVisible(shown);
    for (const char* name : kBrowsingCommands)
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(!shown);
}

// The data module's current receipt becomes the one the panel holds; its
// owner is the one the header shows, and the panel's caption names him.
void TFHoraZemqRenta::holdReceipt()
{
    receipt_ = dm_.TRD.field(QStringLiteral("ID_RD")).value();
    receiptOwner_ = dm_.TRD.field(QStringLiteral("ID_HORA")).value();
    grboxRazpiska->setTitle(QStringLiteral("Разписка на %1 (%2)")
                                .arg(findChild<QLabel*>(QStringLiteral("dbtIme"))->text(),
                                     findChild<QLabel*>(QStringLiteral("dbtEGN"))->text()));
}

// Another payout screen may have moved the shared receipt cursor to the
// receipt it builds: come back to ours (theirs stays posted, uncommitted)
// before a line is added to it or it is saved.
void TFHoraZemqRenta::standOnReceipt()
{
    if (dm_.TRD.field(QStringLiteral("ID_RD")).value().toInt() != receipt_.toInt()) {
        if (dm_.TRD.isEditing())
            dm_.TRD.post();
        dm_.TRD.locate(QStringLiteral("ID_RD"), receipt_);
    }
    if (!dm_.TRD.isEditing())
        dm_.TRD.edit();
}

// "По банка" when the receipt says so, "В брой" otherwise.
void TFHoraZemqRenta::showPaymentMethod()
{
    const bool bank =
        dm_.TRD.isOpen() && !dm_.TRD.isEmpty() && dm_.TRD.field(QStringLiteral("NPL")).value().toInt() == 1;
    jvdbrpNPL->button(bank ? 1 : 0)->setChecked(true);
    if (dm_.TRD.isEditing())
        dm_.TRD.field(QStringLiteral("NPL")).setValue(fb::Value(bank ? 1 : 0));
}

// The due rows of the receipt's owner while the panel holds a receipt,
// else of the list's owner.
void TFHoraZemqRenta::reopenDueRows()
{
    QueryRPR.setParam(kOwnerParam, panelShown() ? receiptOwner_ : owner());
    reread(QueryRPR);
}

void TFHoraZemqRenta::reopenReceiptLines()
{
    QueryRealR.setParam(QStringLiteral("ID"), receipt_);
    reread(QueryRealR);
}

bool TFHoraZemqRenta::receiptHasLines()
{
    return QueryRealR.isOpen() && !QueryRealR.isEmpty();
}

// The lists a receipt change shows in, read again.
void TFHoraZemqRenta::afterReceiptChange()
{
    reopenReceiptLines();
    reopenDueRows();
    reread(QueryIzplatenaRenta);
    reread(QueryOpisRD);
}

// ---------------------------------------------------------------- whole receipts

void TFHoraZemqRenta::addReceipt()
{
    if (rest_.value <= 0) {
        prompter().message(QStringLiteral("Няма какво да се изплаща!"));
        return;
    }
    TFRazpiska dialog(dm_, prompter(), this);
    if (dialog.run(owner().toInt(), representative()) == TFRazpiska::Result::Ok) {
        holdReceipt();
        showPanel(true);
        showPaymentMethod();
    }
    afterReceiptChange();
}

// The receipt selected among the owner's, as the data module's current one.
static bool locateReceipt(TDM& dm, const fb::Value& id)
{
    if (!dm.TRD.isOpen())
        dm.TRD.open();
    return dm.TRD.locate(QStringLiteral("ID_RD"), id);
}

void TFHoraZemqRenta::correctReceipt()
{
    if (QueryOpisRD.isEmpty()) {
        prompter().message(QStringLiteral("Няма данни!"));
        return;
    }
    try {
        dm_.IBTRazp.ensureStarted();
        if (!locateReceipt(dm_, listOf(QueryOpisRD).value(QStringLiteral("ID_RD"))))
            return;
        dm_.TRD.edit();
        holdReceipt();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписката не може да бъде отворена."), e);
        return;
    }
    showPanel(true);
    showPaymentMethod();
    afterReceiptChange();
}

void TFHoraZemqRenta::deleteReceipt()
{
    if (QueryOpisRD.isEmpty()) {
        prompter().message(QStringLiteral("Няма данни!"));
        return;
    }
    const fb::Value id = listOf(QueryOpisRD).value(QStringLiteral("ID_RD"));
    if (prompter().confirm(QStringLiteral("Моля, потвърдете изтриването!"), Prompter::Default::No)) {
        try {
            if (locateReceipt(dm_, id)) {
                dm_.TRD.remove();  // its lines go first, in the same transaction
                dm_.IBTRazp.commit();
            }
        } catch (const fb::Error& e) {
            if (dm_.IBTRazp.isActive())
                dm_.IBTRazp.rollback();
            failure::show(prompter(), QStringLiteral("Разписката не е изтрита."), e);
        }
        dm_.TRD.open();
        dm_.TRR.open();
    }
    afterReceiptChange();
    recomputeRest();
}

void TFHoraZemqRenta::printReceipt()
{
    if (QueryOpisRD.isEmpty()) {
        prompter().message(QStringLiteral("Няма данни!"));
        return;
    }
    const fb::Value id = listOf(QueryOpisRD).value(QStringLiteral("ID_RD"));
    QueryHora.setParam(kOwnerParam, owner());
    QueryPrintRD.setParam(QStringLiteral("ID_RD"), id);
    QueryRR.setParam(QStringLiteral("ID_RD"), id);
    Razpiska.execute(withHtml());
    try {
        if (IBTPrintDS.isActive())
            IBTPrintDS.commit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписката не може да бъде отпечатана."), e);
    }
}

// ---------------------------------------------------------------- the receipt's lines

// The quantity dialog over the due row's price, rest and rent type; the
// lines and the due rows show what it did.
void TFHoraZemqRenta::runQuantityDialog(dataset::Dataset& dueRow)
{
    TFKol dialog(dm_, prompter(), this);
    dialog.run(dueRow.field(QStringLiteral("EC")).value().toDouble(),
               dueRow.field(QStringLiteral("RAZL")).value().toDouble(),
               dueRow.field(QStringLiteral("ID_VRK")).value().toInt(),
               dueRow.field(QStringLiteral("NAIM_VR")).value().toString());
    reopenReceiptLines();
    reopenDueRows();
}

void TFHoraZemqRenta::addLine()
{
    if (QueryRPR.isEmpty())
        return;
    if (rent::roundHalfEven(QueryRPR.field(QStringLiteral("RAZL")).value().toDouble()) <= 0) {
        prompter().message(QStringLiteral("Стоката от този тип договор за това землище е изчерпана!"));
        return;
    }
    try {
        dm_.IBTRazp.ensureStarted();
        standOnReceipt();
        if (!dm_.TRR.isOpen())
            dm_.TRR.open();
        dm_.TRR.append();
        dm_.TRR.field(QStringLiteral("ID_VR")).setValue(QueryRPR.field(QStringLiteral("ID_VRK")).value());
        dm_.TRR.field(QStringLiteral("ID_DT")).setValue(QueryRPR.field(QStringLiteral("ID_DT")).value());
        dm_.TRR.field(QStringLiteral("ID_ZEML")).setValue(QueryRPR.field(QStringLiteral("ID_ZEML")).value());
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Редът не може да бъде добавен."), e);
        return;
    }
    runQuantityDialog(QueryRPR);
}

// The line's due row is the one of its rule line; the dialog corrects the
// line itself (the data module's TRR) against that row's rest.
void TFHoraZemqRenta::correctLine()
{
    if (!receiptHasLines()) {
        prompter().message(QStringLiteral("Няма данни!"));
        return;
    }
    const ListGrid& lines = listOf(QueryRealR);
    const dataset::Row rule{lines.value(QStringLiteral("ID_VR")), lines.value(QStringLiteral("ID_DT")),
                            lines.value(QStringLiteral("ID_ZEML"))};
    try {
        standOnReceipt();
        if (!QueryRPR.locate({QStringLiteral("ID_VRK"), QStringLiteral("ID_DT"), QStringLiteral("ID_ZEML")}, rule) ||
            !dm_.TRR.locate(QStringLiteral("ID_RR"), lines.value(QStringLiteral("ID_RR"))))
            return;
        dm_.IBTRazp.ensureStarted();
        dm_.TRR.edit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Редът не може да бъде отворен."), e);
        return;
    }
    runQuantityDialog(QueryRPR);
}

void TFHoraZemqRenta::deleteLine()
{
    if (!receiptHasLines()) {
        prompter().message(QStringLiteral("Няма данни!"));
    } else if (prompter().confirm(QStringLiteral("Моля, потвърдете изтриването!"), Prompter::Default::No)) {
        try {
            standOnReceipt();
            if (dm_.TRR.locate(QStringLiteral("ID_RR"), listOf(QueryRealR).value(QStringLiteral("ID_RR"))))
                dm_.TRR.remove();
        } catch (const fb::Error& e) {
            failure::show(prompter(), QStringLiteral("Редът не е изтрит."), e);
        }
    }
    reopenReceiptLines();
    reopenDueRows();
}

// ---------------------------------------------------------------- saving and cancelling

// The header takes the value of its lines and the payment method when it
// pays money; header and lines are committed together.
bool TFHoraZemqRenta::saveReceipt()
{
    if (!receiptHasLines()) {
        prompter().message(QStringLiteral("Моля, въведете стоки за рента!"));
        return false;
    }
    double value = 0;
    bool money = false;
    for (int r = 0, n = QueryRealR.rowCount(); r < n; ++r) {
        value += QueryRealR.value(r, QueryRealR.field(QStringLiteral("STOINOST")).index()).toDouble();
        money = money || QueryRealR.value(r, QueryRealR.field(QStringLiteral("ID_VR")).index()).toInt() == 1;
    }
    if (numberRefused(findChild<NumberField*>(QStringLiteral("dbedRazpNo")), prompter()))
        return false;
    try {
        standOnReceipt();
        dm_.TRD.field(QStringLiteral("SUMA")).setValue(fb::Value(value));
        const int method = jvdbrpNPL->checkedId() == 1 ? 1 : 0;
        dm_.TRD.field(QStringLiteral("NPL")).setValue(fb::Value(money ? method : 2));
        dm_.TRD.field(QStringLiteral("NPLTEKST")).setValue(money ? fb::Value(methodText(method)) : fb::Value());
        dm_.TRD.post();
        dm_.IBTRazp.commit();
    } catch (const fb::Error& e) {
        // The receipt stays open with everything typed. A number changed to
        // one of the series' used ones is refused by the series' own table.
        if (e.has(fb::kUniqueKeyViolation))
            prompter().message(receipts::kNumberUsed);
        else
            failure::show(prompter(), QStringLiteral("Разписката не е записана."), e);
        return false;
    }
    dm_.TRD.open();
    dm_.TRR.open();
    showPanel(false);
    reopenReceiptLines();
    followOwner();
    return true;
}

// The header posted by the number dialog and every line added since go.
void TFHoraZemqRenta::cancelReceipt()
{
    try {
        if (dm_.TRR.isEditing())
            dm_.TRR.cancel();
        if (dm_.TRD.isEditing())
            dm_.TRD.cancel();
        if (dm_.IBTRazp.isActive())
            dm_.IBTRazp.rollback();
        dm_.TRD.open();
        dm_.TRR.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Разписката не може да бъде отказана."), e);
    }
    showPanel(false);
    reopenReceiptLines();
    followOwner();
}

bool TFHoraZemqRenta::closeCheck()
{
    if (!panelShown())
        return true;
    switch (prompter().askToSave(QStringLiteral("Желаете ли да запишете!"))) {
        case Prompter::Answer::Cancel:
            return false;  // back to the receipt, nothing stored or given up
        case Prompter::Answer::No:
            cancelReceipt();
            return true;
        case Prompter::Answer::Yes:
            break;
    }
    if (!receiptHasLines()) {
        prompter().message(QStringLiteral("Моля, въведете стоки за рента!"));
        return false;
    }
    return saveReceipt();
}

void TFHoraZemqRenta::aboutToClose()
{
    Razpiska.close();
    RazpiskaPari.close();
    ListScreen::aboutToClose();
}
