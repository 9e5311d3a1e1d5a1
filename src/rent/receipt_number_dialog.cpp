#include "rent/receipt_number_dialog.h"

#include "common/date_field.h"
#include "common/input_helpers.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "fb/error.h"
#include "rent/receipt_numbers.h"

#include <QDate>
#include <QFormLayout>
#include <QLineEdit>

ReceiptNumberDialog::ReceiptNumberDialog(TDM& dm, Prompter& prompter, const Texts& texts, QWidget* parent)
    : QDialog(parent), dm_(dm), prompter_(prompter), emptyMessage_(texts.emptyMessage)
{
    setUpSmallDialog(this, texts.name, texts.caption);
    numberEdit_ = new QLineEdit(this);
    numberEdit_->setObjectName(texts.numberName);
    setDigitsOnly(numberEdit_);
    dateField_ = new DateField(this);
    dateField_->setObjectName(texts.dateName);
    dateField_->setDate(QDate::currentDate());
    form_ = new QFormLayout(this);
    form_->addRow(texts.numberLabel, numberEdit_);
    form_->addRow(texts.dateLabel, dateField_);
    form_->setSizeConstraint(QLayout::SetFixedSize);
}

void ReceiptNumberDialog::finish()
{
    form_->addRow(saveCancelRow(this, [this] { save(); }));
}

void ReceiptNumberDialog::proposeNumber()
{
    try {
        numberEdit_->setText(receipts::proposeNumber(dm_, numberEdit_->text()));
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
    }
}

std::optional<int> ReceiptNumberDialog::typedNumber()
{
    if (numberEdit_->text().isEmpty()) {
        prompter_.message(emptyMessage_);
        return std::nullopt;
    }
    const std::optional<int> number = receipts::storedNumber(numberEdit_->text());
    if (!number) {
        prompter_.message(receipts::kNumberTooLarge);
        numberEdit_->setFocus();
        return std::nullopt;
    }
    // The date is checked here only: leaving the field for "Запис" would
    // otherwise say it twice.
    if (dateField_->holdsImpossibleDate()) {
        prompter_.message(DateField::impossibleDateMessage());
        dateField_->setFocus();
        return std::nullopt;
    }
    return number;
}
