#include "common/number_dialog.h"

#include "common/failure.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "dataset/dataset.h"
#include "fb/error.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

NumberDialog::NumberDialog(Prompter& prompter, dataset::Dataset& cursor, const Texts& texts, QWidget* parent)
    : QDialog(parent), prompter_(prompter), cursor_(cursor), texts_(texts)
{
    setUpSmallDialog(this, texts.name, texts.caption);
    edNomer = new QLineEdit(this);
    edNomer->setObjectName(QStringLiteral("edNomer"));
    setDigitsOnly(edNomer);
    edNomer->setMaxLength(texts.length);
    auto* label = new QLabel(texts.label, this);
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

void NumberDialog::save()
{
    const QString number = edNomer->text();
    if (number.isEmpty()) {
        prompter_.message(texts_.emptyMessage);
        return;
    }
    if (texts_.domain) {
        if (const QString refusal = numberRefusal(*texts_.domain, number); !refusal.isEmpty()) {
            prompter_.message(refusal);
            return;
        }
    }
    try {
        if (findRow(number))
            prompter_.message(texts_.existsMessage);
        else
            makeRow(number);  // uncommitted: the editor's "Отказ" takes it back
        cursor_.edit();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Номерът не е записан."), e);
        return;
    }
    accept();
}

void NumberDialog::reject()
{
    try {
        cursor_.cancel();
        undo();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Номерът не може да бъде отказан."), e);
    }
    QDialog::reject();
}
