#include "rent/tfrko.h"

#include "common/failure.h"
#include "common/date_field.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/text_input.h"
#include "dataset/binders.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "rent/receipt_numbers.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The payment methods by their stored value (NPLP).
const QStringList kMethods = {QStringLiteral("В брой"), QStringLiteral("По банка")};

}  // namespace

TFRKO::TFRKO(TDM& dm, Prompter& prompter, QWidget* parent)
    : ReceiptNumberDialog(dm, prompter,
                          {.name = QStringLiteral("TFRKO"),
                           .caption = QStringLiteral("Разписка"),
                           .numberName = QStringLiteral("edRKONo"),
                           .numberLabel = QStringLiteral("Номер:"),
                           .dateName = QStringLiteral("jvdeRKO"),
                           .dateLabel = QStringLiteral("Дата"),
                           .emptyMessage = QStringLiteral("Моля, въведете номер на разписката!")},
                          parent)
{
    numberEdit_->setAlignment(Qt::AlignRight);
    buildPaymentRows();
    finish();
    proposeNumber();
}

void TFRKO::buildPaymentRows()
{
    dbtRKOSuma = new QLabel(this);
    dbtRKOSuma->setObjectName(QStringLiteral("dbtRKOSuma"));
    dbtRKOSuma->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    new dataset::LabelBinder(dbtRKOSuma, dm_.TRKO, QStringLiteral("SUMA"));  // "#0.00"
    form()->addRow(QStringLiteral("Сума:"), dbtRKOSuma);

    auto* box = new QGroupBox(QStringLiteral("Начин на плащане:"), this);
    box->setObjectName(QStringLiteral("jvdbrpNPLP"));
    method_ = new QButtonGroup(box);
    auto* row = new QHBoxLayout(box);
    for (int value = 0; value < kMethods.size(); ++value) {
        auto* item = new QRadioButton(kMethods[value], box);
        method_->addButton(item, value);
        row->addWidget(item);
    }
    form()->addRow(box);

    auto* recipient = new QLineEdit(this);
    recipient->setObjectName(QStringLiteral("dbedPredstRP"));
    new dataset::LineEditBinder(recipient, dm_.TRKO, QStringLiteral("PREDSTRP"));
    acceptWindows1251Only(recipient);
    form()->addRow(QStringLiteral("Представляван/-а от:"), recipient);
}

void TFRKO::appendPayment(TDM& dm)
{
    // Each payment is committed or rolled back before its dialog closes, so
    // the transaction holds no work here; its commit only ends the snapshot.
    if (dm.IBTRazpPari.isActive())
        dm.IBTRazpPari.commit();
    dm.TRKO.open();
    dm.TRKO.append();
}

bool TFRKO::run()
{
    const fb::Value method = dm_.TRKO.field(QStringLiteral("NPLP")).value();
    method_->button(!method.isNull() && method.toInt() != 0 ? 1 : 0)->setChecked(true);
    // Rent of past years is paid on any day; a payment of the year within it.
    if (dm_.TRKO.field(QStringLiteral("PMG")).value().toInt() != 1)
        keepToFarmingYear();
    numberEdit_->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    receipts::closeNumberQueries(dm_);
    return saved;
}

void TFRKO::save()
{
    const std::optional<int> number = typedNumber();
    if (!number)
        return;
    try {
        if (receipts::numberUsed(dm_, *number)) {
            prompter_.message(receipts::kNumberUsed);
            return;  // another number can be given
        }
        storePayment(*number);
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Плащането не е записано."), e);  // the dialog keeps what was typed
        return;
    }
    saved_ = *number;
    accept();
}

void TFRKO::storePayment(int number)
{
    dataset::Dataset& trko = dm_.TRKO;
    if (!trko.isEditing())
        trko.edit();  // posted before, when the commit failed
    const int method = method_->checkedId();
    trko.field(QStringLiteral("NOMER")).setValue(number);
    trko.field(QStringLiteral("DATA")).setValue(dateField_->date());
    trko.field(QStringLiteral("NPLP")).setValue(method);
    trko.field(QStringLiteral("NPLPTEKST")).setValue(kMethods[method]);
    trko.post();  // the database gives ID_RAZPPARI
    if (alongside_)
        alongside_(dm_.IBDatabase1.connection(), dm_.IBTRazpPari.transaction(),
                   trko.field(QStringLiteral("ID_RAZPPARI")).value());
    dm_.IBTRazpPari.commit();
    trko.open();
}

void TFRKO::reject()
{
    try {
        dm_.TRKO.cancel();
        if (dm_.IBTRazpPari.isActive())
            dm_.IBTRazpPari.rollback();
        dm_.TRKO.open();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Плащането не може да бъде отказано."), e);
    }
    QDialog::reject();
}
