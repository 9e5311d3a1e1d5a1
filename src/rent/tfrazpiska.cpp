#include "rent/tfrazpiska.h"

#include "common/failure.h"
#include "common/date_field.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/receipt_numbers.h"

#include <QLineEdit>

namespace {

constexpr int kNo = 2;  // the dialog's result beside Accepted and Rejected

}  // namespace

TFRazpiska::TFRazpiska(TDM& dm, Prompter& prompter, QWidget* parent)
    : ReceiptNumberDialog(dm, prompter,
                          {.name = QStringLiteral("TFRazpiska"),
                           .caption = QStringLiteral("Въведете номер и дата на разписката"),
                           .numberName = QStringLiteral("edRazpNo"),
                           .numberLabel = QStringLiteral("Разписка №:"),
                           .dateName = QStringLiteral("jvdeRazpiska"),
                           .dateLabel = QStringLiteral("от дата"),
                           .emptyMessage = QStringLiteral("Въведете номер на раписката!")},
                          parent)
{
    finish();
}

TFRazpiska::Result TFRazpiska::run(int ownerId, const QString& representative)
{
    ownerId_ = ownerId;
    representative_ = representative;
    appended_ = false;
    proposeNumber();
    keepToFarmingYear();
    numberEdit_->setFocus();
    const int result = exec();
    numberEdit_->clear();
    receipts::closeNumberQueries(dm_);
    if (result == QDialog::Accepted)
        return Result::Ok;
    return result == kNo ? Result::No : Result::Cancel;
}

void TFRazpiska::save()
{
    const std::optional<int> number = typedNumber();
    if (!number)
        return;
    try {
        if (receipts::numberUsed(dm_, *number)) {
            prompter_.message(receipts::kNumberUsed);
            done(kNo);
            return;
        }
        postHeader(*number);
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Разписката не е записана."), e);
        return;
    }
    accept();
}

// The header is posted, not committed: the payout screen's "Запис" commits
// it with its lines, its "Отказ" rolls it back.
void TFRazpiska::postHeader(int number)
{
    dataset::Dataset& trd = dm_.TRD;
    dm_.IBTRazp.ensureStarted();
    trd.open();
    if (appended_ && trd.state() == dataset::State::Insert)
        trd.cancel();  // the header of a post that failed; it is made again
    else
        trd.post();  // a header another payout screen edits stays pending, as it is
    trd.append();
    appended_ = true;
    trd.field(QStringLiteral("ID_HORA")).setValue(ownerId_);
    trd.field(QStringLiteral("NOM")).setValue(number);
    trd.field(QStringLiteral("PREDSTRS")).setValue(representative_);
    trd.field(QStringLiteral("DATA")).setValue(dateField_->date());
    trd.post();  // the database gives ID_RD; the cursor stays on the new header
    trd.edit();
}

// Nothing of this dialog is written before "Запис" succeeds, so there is
// nothing of its own to roll back; a receipt another payout screen builds in
// the shared transaction is left to that screen.
void TFRazpiska::reject()
{
    try {
        if (appended_ && dm_.TRD.state() == dataset::State::Insert)
            dm_.TRD.cancel();
        if (!receipts::receiptWorkPending(dm_) && dm_.IBTRazp.isActive())
            dm_.IBTRazp.rollback();
        dm_.TRD.open();
        dm_.TRR.open();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Разписката не може да бъде отказана."), e);
    }
    QDialog::reject();
}
