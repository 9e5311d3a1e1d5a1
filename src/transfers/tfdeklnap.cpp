#include "transfers/tfdeklnap.h"

#include "common/failure.h"
#include "common/list_sums.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "transfers/delivered_forms.h"
#include "workbook/workbook_error.h"
#include "workbook/writable.h"

#include <QBoxLayout>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

namespace nap = transfers::income_declaration;

namespace {

const QString kYes = QStringLiteral("да");
const QString kNo = QStringLiteral("не");
constexpr int kPrehvColumn = 6;
constexpr int kInTransfColumn = 7;

kit::RegisterForm deklNapForm(TDM& dm, const std::vector<nap::Payment>& payments, const std::vector<bool>& written)
{
    // Whether each owner can go into the form, and whether the last transfer wrote him.
    const auto prehv = [&payments](int row) {
        return size_t(row) < payments.size() ? (nap::transferable(payments[size_t(row)].egn) ? kYes : kNo) : QString();
    };
    const auto inTransf = [&written](int row) {
        return size_t(row) < written.size() ? (written[size_t(row)] ? kYes : kNo) : QString();
    };
    return {
        .kind = QStringLiteral("TFDeklNAP"),
        .caption = QStringLiteral("Справка - декларация към НАП"),
        .list = {.grid = QStringLiteral("jvdbgridDeklNAP"),
                 .query = QStringLiteral("QueryDeklNAP"),
                 .areaName = QStringLiteral("IBTDeklNAP"),
                 .statement = {.base = {nap::paymentsStatement()}, .defaultOrder = {}},
                 .columns = {textColumn("CHFL", "ЧФЛ"),
                             textColumn("EGN", "ЕГН/ЛНЧ"),
                             textColumn("IME", "Име"),
                             textColumn("COUNTRY_NAME", "Държава"),
                             textColumn("ADRES", "Адрес"),
                             {.field = QStringLiteral("IZPL"),
                              .title = QStringLiteral("Изплатена сума"),
                              .format = QStringLiteral("#0.00"),
                              .alignment = Qt::AlignRight | Qt::AlignVCenter},
                             {.field = QStringLiteral("PREHV"), .title = QStringLiteral("Прехвърлен"), .textOf = prehv},
                             {.field = QStringLiteral("INTRANSF"),
                              .title = QStringLiteral("Прехвърлен"),
                              .textOf = inTransf}},
                 .key = QStringLiteral("ID_HORA"),
                 .buttons = {{QStringLiteral("btnTransfer"), QStringLiteral("Прехвърляне на данните")},
                             {QStringLiteral("bitPrintTransferNevalidni"),
                              QStringLiteral("Невалидни данни за трансфера")}},
                 .sums = {{.name = QStringLiteral("labSum"),
                           .label = QStringLiteral("Общо изплатена сума:"),
                           .field = QStringLiteral("IZPL"),
                           .suffix = QStringLiteral(" лв"),
                           .decimals = 2}}},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
        .file = {.prompt = QStringLiteral("Моля, изберете празен файл на справка - декларация към НАП:"),
                 .filter = QStringLiteral("Excel Files (*.xlsx)")},
        .progress = QStringLiteral("ProgressBar1"),
    };
}

}  // namespace

TFDeklNAP::TFDeklNAP(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, QString programFolder,
                     QWidget* parent)
    : RegisterScreen(prompter, deklNapForm(dm, payments_, written_), parent),
      QueryFirma(list()->rows().area(), QStringLiteral("QueryFirma")),
      TransferNevalidni(QStringLiteral("TransferNevalidni.rav"), prompter, this),
      labSumTransf_(new QLabel(this)),
      labSumTransfCaption_(new QLabel(QStringLiteral("Общо прехвърлена сума:"), this)),
      remembered_(QDir::currentPath()),
      programFolder_(std::move(programFolder))
{
    QueryFirma.sql().setLines({QStringLiteral("select * from FIRMA")});
    TransferNevalidni.setOutputChooser(outputs);
    // The invalid list is rows of the screen's own: the pages name the firm of this database.
    TransferNevalidni.setDatabase(dm.IBDatabase1);
    labSumTransf_->setObjectName(QStringLiteral("labSumTransf"));
    commandRow()->addWidget(labSumTransfCaption_);
    commandRow()->addWidget(labSumTransf_);
    labSumTransf_->hide();
    labSumTransfCaption_->hide();
    invalid_.fields = QStringList{QStringLiteral("EGN"), QStringLiteral("IME")};
    connect(control<QPushButton>(QStringLiteral("btnTransfer")), &QPushButton::clicked, this, &TFDeklNAP::transfer);
    connect(control<QPushButton>(QStringLiteral("bitPrintTransferNevalidni")), &QPushButton::clicked, this,
            &TFDeklNAP::printInvalid);
    start();
    readPayments();
    showTransferredColumn(false);
}

// The owners as listed, the invalid list and the transferable total.
void TFDeklNAP::readPayments()
{
    try {
        payments_ = nap::paymentsOf(list()->rows());
        QueryFirma.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), nap::kPaymentsNotRead, e);
    }
    fb::Decimal transferable{0, 2};
    invalid_.rows.clear();
    for (const nap::Payment& p : payments_) {
        if (nap::transferable(p.egn))
            transferable = fb::Decimal{transferable.units + p.izpl.rescaled(2).units, 2};
        else
            invalid_.rows.push_back({fb::Value(p.egn), fb::Value(p.ime)});
    }
    labSumTransf_->setText(sumText(transferable, QStringLiteral(" лв")));
    TransferNevalidni.bindRows(QStringLiteral("tr"), invalid_);
}

void TFDeklNAP::showEvent(QShowEvent* event)
{
    RegisterScreen::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    TransferNevalidni.open();
    const QDate from = QueryFirma.isOpen() ? QueryFirma.field(QStringLiteral("FROMYEAR")).asDate() : QDate();
    prompter().message(QStringLiteral("Данните ще се формират за счетоводния период, обхващащ ") +
                       (from.isValid() ? QString::number(from.year()) : QString()) + QStringLiteral(" г."));
}

// Before a transfer the column shows whether each owner can go into the
// form; during and after it, whether the transfer wrote him.
void TFDeklNAP::showTransferredColumn(bool prehv)
{
    list()->view()->setColumnHidden(kPrehvColumn, !prehv);
    list()->view()->setColumnHidden(kInTransfColumn, prehv);
}

void TFDeklNAP::transfer()
{
    QString path = control<QLineEdit>(form().file.edit)->text();
    if (path.isEmpty()) {
        prompter().message(nap::kNoFile);
        return;
    }
    // A new run: the marks and total of the last one say nothing of this one.
    clearTransfer();
    path =
        transfers::delivered_forms::fileToFill(prompter(), path, transfers::delivered_forms::folders(programFolder_));
    if (path.isEmpty())
        return;
    control<QLineEdit>(form().file.edit)->setText(path);
    // The form is filled in place: saved through a file beside it, then put in its stead.
    if (const auto refusal = transfers::writeRefusal(path)) {
        failure::show(prompter(), transfers::whatFailed(nap::kFailed, *refusal), refusal->detail);
        return;
    }
    auto* bar = control<QProgressBar>(form().progress);
    bar->setValue(0);
    bar->show();
    std::optional<nap::Result> result;
    try {
        const nap::Payer payer = QueryFirma.isEmpty() ? nap::Payer{} : nap::payerOf(QueryFirma);
        result = nap::transfer(path, payer, payments_, [bar](int p) { bar->setValue(p); });
    } catch (const transfers::WorkbookError& e) {
        bar->hide();
        failure::show(prompter(), nap::kFailed, e);
        return;
    }
    bar->hide();
    if (!result->refusal.isEmpty()) {
        prompter().message(result->refusal);
        return;
    }
    finishTransfer(result->written);
}

void TFDeklNAP::clearTransfer()
{
    written_.clear();
    showTransferredColumn(false);
    list()->view()->viewport()->update();
    labSumTransfCaption_->hide();
    labSumTransf_->hide();
}

void TFDeklNAP::finishTransfer(const std::vector<bool>& written)
{
    written_ = written;
    showTransferredColumn(true);
    list()->view()->viewport()->update();
    labSumTransfCaption_->show();
    labSumTransf_->show();
    prompter().message(nap::kDone);
}

void TFDeklNAP::printInvalid()
{
    if (invalid_.rows.empty()) {
        prompter().message(QStringLiteral("Няма невалидни данни!"));
        return;
    }
    TransferNevalidni.execute();
}

void TFDeklNAP::aboutToClose()
{
    QueryFirma.close();
    TransferNevalidni.close();
    invalid_.rows.clear();
    control<QLineEdit>(form().file.edit)->clear();
    QDir::setCurrent(remembered_);
    RegisterScreen::aboutToClose();
}
