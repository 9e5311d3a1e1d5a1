#include "registers/tfkatdob.h"

#include "common/failure.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "dm/domains.h"
#include "dm/tdm.h"
#include "fb/error.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>

namespace {

const QString kVid = QStringLiteral("VID");
const QString kPlosht = QStringLiteral("PLOSHT");

}  // namespace

TFKatdob::TFKatdob(TDM& dm, Prompter& prompter, QWidget* parent) : QDialog(parent), dm_(dm), prompter_(prompter)
{
    setUpSmallDialog(this, QStringLiteral("TFKatdob"), QStringLiteral("Категория"));
    cbKat = new QComboBox(this);
    cbKat->setObjectName(QStringLiteral("cbKat"));
    // Category 1 is not offered.
    for (int vid = 2; vid <= 10; ++vid)
        cbKat->addItem(QString::number(vid), vid);
    edPlosht = new NumberField(dm::domain(QStringLiteral("KATEGORIQ"), kPlosht).named(QStringLiteral("Площ")), this);
    edPlosht->setObjectName(QStringLiteral("edPlosht"));
    edPlosht->installEventFilter(this);

    const dataset::Dataset& row = dm_.TKategoriq;
    const fb::Value vid = row.field(kVid).value();
    cbKat->setCurrentIndex(vid.isNull() ? -1 : cbKat->findData(vid.toInt()));
    const fb::Value area = row.field(kPlosht).value();
    if (!area.isNull())
        edPlosht->setValue(area.toDouble());

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Категория:"), cbKat);
    form->addRow(QStringLiteral("Площ:"), edPlosht);
    form->addRow(saveCancelRow(this, [this] { save(); }));
    form->setSizeConstraint(QLayout::SetFixedSize);
    connect(cbKat, &QComboBox::activated, this, &TFKatdob::categoryChosen);
    cbKat->setFocus();
}

// The area is typed for a chosen category only.
bool TFKatdob::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edPlosht && event->type() == QEvent::FocusIn && cbKat->currentIndex() < 0) {
        cbKat->setFocus();
        prompter_.message(QStringLiteral("Посочете категория!"));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// A category the plot has among its stored rows (the edited row included)
// ends the dialog with nothing changed.
void TFKatdob::categoryChosen(int index)
{
    const fb::Value vid(static_cast<std::int64_t>(cbKat->itemData(index).toInt()));
    dataset::Dataset& rows = dm_.TKategoriq;
    if (rows.findRow(rows.field(kVid).index(), vid) >= 0) {
        prompter_.message(QStringLiteral("Тази категория е вече добавена!"));
        reject();
        return;
    }
    rows.field(kVid).setValue(vid);
}

void TFKatdob::save()
{
    if (cbKat->currentIndex() < 0 || edPlosht->isBlank()) {
        prompter_.message(QStringLiteral("Моля, попълнете всички данни!"));
        return;
    }
    if (!typedNumber(edPlosht->text())) {
        prompter_.message(QStringLiteral("Въведете площ с число, например %1!").arg(QLocale().toString(1.5)));
        edPlosht->setFocus();
        return;
    }
    if (numberRefused(edPlosht, prompter_))
        return;
    try {
        dm_.TKategoriq.field(kPlosht).setValue(*edPlosht->value());
        dm_.TKategoriq.post();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Категорията не е записана."), e);
        return;
    }
    accept();
}

void TFKatdob::reject()
{
    dm_.TKategoriq.cancel();
    QDialog::reject();
}
