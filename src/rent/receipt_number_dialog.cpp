#include "rent/receipt_number_dialog.h"

#include "common/date_field.h"
#include "common/failure.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "dm/domains.h"
#include "fb/error.h"
#include "rent/receipt_numbers.h"

#include <QDate>
#include <QFormLayout>
#include <QLineEdit>

ReceiptNumberDialog::ReceiptNumberDialog(TDM& dm, Prompter& prompter, const Texts& texts, QWidget* parent)
    : QDialog(parent), dm_(dm), prompter_(prompter), emptyMessage_(texts.emptyMessage)
{
    setUpSmallDialog(this, texts.name, texts.caption);
    QString name = texts.numberLabel;
    name.remove(QLatin1Char(':'));
    numberEdit_ = new NumberField(dm::domain(QStringLiteral("RAZP DANNI"), QStringLiteral("NOM")).named(name), this);
    numberEdit_->setObjectName(texts.numberName);
    numberEdit_->setAlignment(Qt::AlignLeft);
    // Receipt numbers take digits only: no point to be refused later.
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
        failure::show(prompter_, QStringLiteral("Не може да бъде предложен номер на разписката."), e);
    }
}

void ReceiptNumberDialog::keepToFarmingYear()
{
    try {
        year_ = rent::farmingYear(dm_);
    } catch (const fb::Error& e) {
        year_.reset();
        failure::show(prompter_, QStringLiteral("Стопанската година не може да бъде прочетена."), e);
    }
    if (year_)
        dateField_->setDate(year_->proposedDate(QDate::currentDate()));
}

bool ReceiptNumberDialog::dateKept()
{
    const QDate date = dateField_->date();
    if (!year_ || !date.isValid() || year_->contains(date) ||
        prompter_.confirm(year_->outsideQuestion(date), Prompter::Default::No))
        return true;
    dateField_->setFocus();
    return false;
}

std::optional<int> ReceiptNumberDialog::typedNumber()
{
    if (numberEdit_->text().isEmpty()) {
        prompter_.message(emptyMessage_);
        return std::nullopt;
    }
    // 0 and a number past what the columns hold are refused alike.
    if (numberRefused(numberEdit_, prompter_))
        return std::nullopt;
    const std::optional<int> number = receipts::storedNumber(numberEdit_->text());
    if (!number)
        return std::nullopt;
    // The date is checked here only: leaving the field for "Запис" would
    // otherwise say it twice.
    if (dateField_->holdsImpossibleDate()) {
        prompter_.message(DateField::impossibleDateMessage());
        dateField_->setFocus();
        return std::nullopt;
    }
    if (!dateKept())
        return std::nullopt;
    return number;
}
