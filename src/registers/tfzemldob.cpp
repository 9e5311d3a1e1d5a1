#include "registers/tfzemldob.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "common/small_dialog.h"
#include "dm/tdm.h"
#include "fb/error.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace {

const QString kNoSettlement = QStringLiteral("Няма дани!");
const QString kAreaExists = QStringLiteral("Има такова землище!");

// A picker over a geography cursor: one item a row, showing `shows`, with
// the row `current` chosen (none for -1).
void fill(QComboBox* picker, const dataset::Dataset& list, const char* shows, int current)
{
    picker->clear();
    const int field = list.field(QLatin1String(shows)).index();
    for (int r = 0; r < list.rowCount(); ++r)
        picker->addItem(list.value(r, field).toString());
    picker->setCurrentIndex(current);
}

QComboBox* picker(const char* name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setMinimumContentsLength(30);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

}  // namespace

TFZemldob::TFZemldob(TDM& dm, Prompter& prompter, Mode mode, QWidget* parent)
    : QDialog(parent), dm_(dm), prompter_(prompter)
{
    setUpSmallDialog(this, QStringLiteral("TFZemldob"), QStringLiteral("Области, Общини, Населени места"));

    jvdblcOblast = picker("jvdblcOblast", this);
    jvdblcObshtina = picker("jvdblcObshtina", this);
    jvdblcGrad = picker("jvdblcGrad", this);
    auto* grid = new QGridLayout(this);
    int row = 0;
    for (auto [label, combo] :
         {std::pair{"Област:", jvdblcOblast}, std::pair{"Община:", jvdblcObshtina}, std::pair{"Гр./с.:", jvdblcGrad}}) {
        auto* l = new QLabel(QString::fromUtf8(label), this);
        l->setBuddy(combo);
        grid->addWidget(l, row, 0);
        grid->addWidget(combo, row++, 1);
    }
    grid->addLayout(saveCancelRow(this, [this] { save(); }), row, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(jvdblcOblast, &QComboBox::activated, this, &TFZemldob::provinceChosen);
    connect(jvdblcObshtina, &QComboBox::activated, this, &TFZemldob::municipalityChosen);
    connect(jvdblcGrad, &QComboBox::activated, this, &TFZemldob::settlementChosen);

    if (mode == Mode::Edit) {
        showRow();
    } else {
        fill(jvdblcOblast, dm_.TOblast, "NAIM_OBL", -1);
    }
    jvdblcOblast->setFocus();
}

// An edited area shows its province, municipality and settlement, each list
// narrowed to the children of the one above.
void TFZemldob::showRow()
{
    const dataset::Dataset& row = dm_.TZemlishte;
    const auto found = [](dataset::Dataset& list, const char* key, const fb::Value& value) {
        list.open();
        return list.locate(QLatin1String(key), value) ? list.currentRow() : -1;
    };
    try {
        const int province = found(dm_.TOblast, "ID_OBL", row.field(QStringLiteral("ID_OBL")).value());
        const int municipality =
            province < 0 ? -1 : found(dm_.TObshtina, "ID_OBSHT", row.field(QStringLiteral("ID_OBSHT")).value());
        const int settlement =
            municipality < 0 ? -1 : found(dm_.TNasmqsto, "EKATTE", row.field(QStringLiteral("EKATTE")).value());
        fill(jvdblcOblast, dm_.TOblast, "NAIM_OBL", province);
        if (province >= 0)
            fill(jvdblcObshtina, dm_.TObshtina, "NAIM_OBSHT", municipality);
        if (municipality >= 0)
            fill(jvdblcGrad, dm_.TNasmqsto, "NAIM_NM", settlement);
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Землището не може да бъде показано."), e);
    }
}

// Choosing a province empties the pickers below it; so does a municipality
// for the settlements.
void TFZemldob::provinceChosen(int index)
{
    try {
        dm_.TOblast.moveTo(index);
        fill(jvdblcObshtina, dm_.TObshtina, "NAIM_OBSHT", -1);
        jvdblcGrad->clear();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Общините не могат да бъдат прочетени."), e);
    }
}

void TFZemldob::municipalityChosen(int index)
{
    try {
        dm_.TObshtina.moveTo(index);
        fill(jvdblcGrad, dm_.TNasmqsto, "NAIM_NM", -1);
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Населените места не могат да бъдат прочетени."), e);
    }
}

void TFZemldob::settlementChosen(int index)
{
    dm_.TNasmqsto.moveTo(index);
}

void TFZemldob::save()
{
    if (jvdblcGrad->currentIndex() < 0 || dm_.TNasmqsto.currentRow() != jvdblcGrad->currentIndex()) {
        prompter_.message(kNoSettlement);
        return;
    }
    dataset::Dataset& row = dm_.TZemlishte;
    try {
        // A row posted before a commit that failed waits only for the commit.
        if (row.isEditing()) {
            const fb::Value ekatte = dm_.TNasmqsto.field(QStringLiteral("EKATTE")).value();
            // The row being edited is among those searched: keeping its
            // settlement is refused like taking another area's.
            if (dm_.tNewZemli6ta.locate(QStringLiteral("EKATTE"), ekatte)) {
                prompter_.message(kAreaExists);
                return;
            }
            row.field(QStringLiteral("EKATTE")).setValue(ekatte);
            row.field(QStringLiteral("ID_OBSHT")).setValue(dm_.TObshtina.field(QStringLiteral("ID_OBSHT")).value());
            row.field(QStringLiteral("ID_OBL")).setValue(dm_.TOblast.field(QStringLiteral("ID_OBL")).value());
            row.post();
            // The id the insert returned, not the newest row found afterwards.
            result_ = row.field(QStringLiteral("ID_ZEML")).value();
        }
        dm_.IBTZeml.commit();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Землището не е записано."), e);
        return;
    }
    accept();
}

void TFZemldob::reject()
{
    dataset::Dataset& row = dm_.TZemlishte;
    if (row.isOpen() && row.state() != dataset::State::Insert)
        result_ = row.field(QStringLiteral("ID_ZEML")).value();
    try {
        row.cancel();
        dm_.IBTZeml.rollback();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Промените не могат да бъдат отказани."), e);
    }
    QDialog::reject();
}
