#include "registers/tfdognomer.h"

#include "common/input_helpers.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/contract_rules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TFDogNomer::TFDogNomer(TDM& dm, Prompter& prompter, const QString& proposal, QWidget* parent)
    : QDialog(parent), dm_(dm), prompter_(prompter)
{
    setUpSmallDialog(this, QStringLiteral("TFDogNomer"), QStringLiteral("Въведете номер на договор"));
    edNomer = new QLineEdit(this);
    edNomer->setObjectName(QStringLiteral("edNomer"));
    setDigitsOnly(edNomer);
    edNomer->setMaxLength(contract::kNumberLength);
    edNomer->setText(proposal);
    auto* label = new QLabel(QStringLiteral("Договор №:"), this);
    label->setBuddy(edNomer);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edNomer);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(saveCancelRow(this, [this] { save(); }));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edNomer->setFocus();
}

void TFDogNomer::save()
{
    const QString number = edNomer->text();
    if (number.isEmpty()) {
        prompter_.message(QStringLiteral("Въведете номер на договор"));
        return;
    }
    dataset::Dataset& contracts = dm_.TDogovor;
    try {
        dm_.IBTDog.ensureStarted();
        if (contracts.locateFresh(QStringLiteral("NOMER"), number)) {
            prompter_.message(QStringLiteral("Договор с такъв номер съществува!"));
        } else {
            const fb::Value firm = dm_.TFirma.isOpen() && !dm_.TFirma.isEmpty()
                                       ? dm_.TFirma.field(QStringLiteral("ID_FIRMA")).value()
                                       : fb::Value();
            contracts.append();
            contracts.field(QStringLiteral("NOMER")).setValue(number);
            contracts.field(QStringLiteral("ID_FIRMA")).setValue(firm);
            contracts.post();  // uncommitted: the editor's "Отказ" takes it back; the insert gives its id
        }
        contracts.edit();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
        return;
    }
    accept();
}

void TFDogNomer::reject()
{
    try {
        dm_.TDogovor.cancel();
        dm_.IBTDog.rollback();
        dm_.reopenContractCursors();
    } catch (const fb::Error& e) {
        prompter_.message(e.message());
    }
    QDialog::reject();
}
