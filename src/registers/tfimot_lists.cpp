// The plot editor's three lists: the categories of the plot, the owners'
// shares, the persons of its history, and the owners register opened as a
// picker for the last two.
#include "registers/tfimot.h"

#include "common/failure.h"
#include "common/input_helpers.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "registers/plot_rules.h"
#include "registers/tfhora.h"
#include "registers/tfkatdob.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

const QString kNoOwner = QStringLiteral("Моля, въведете собственик!");
const QString kInContract = QStringLiteral("Има сключен договор!");

}  // namespace

// ---------------------------------------------------------------- categories

void TFImot::addCategory()
{
    editCategory(true);
}

void TFImot::correctCategory()
{
    if (TKat.isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    editCategory(false);
}

// The dialog edits the row pending in TKategoriq; whatever it did, the
// plot's areas and the owners' sums are worked out again.
void TFImot::editCategory(bool adding)
{
    dataset::Dataset& rows = dm_.TKategoriq;
    try {
        rows.open();
        if (adding) {
            rows.append();
        } else {
            rows.locate(QStringLiteral("VID"), categories_->value(QStringLiteral("VID")));
            rows.edit();
        }
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Категорията не може да бъде отворена."), e);
        return;
    }
    TFKatdob dialog(dm_, prompter(), this);
    dialog.exec();
    recomputeAreas();
}

void TFImot::removeCategory()
{
    if (TKat.isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    if (dm_.TKategoriq.locate(QStringLiteral("VID"), categories_->value(QStringLiteral("VID"))))
        removeRow(dm_.TKategoriq);
    recomputeAreas();
}

// The confirmation, then the row deleted inside the plot transaction.
bool TFImot::removeRow(dataset::Dataset& rows)
{
    if (!prompter().confirm(kConfirmDelete, Prompter::Default::No))
        return false;
    try {
        rows.remove();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Редът не е изтрит."), e);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- owners' shares

// Any contract counts, a terminated one too: its lines stay.
bool TFImot::shareInContract()
{
    if (dm_.TSobstv.isEmpty())
        return false;
    return dm_.TDelImotiDHZ.locate(
        QStringList{QStringLiteral("ID_ZEMQ"), QStringLiteral("ID_SOBSTV")},
        {dm_.TZemq.field(QStringLiteral("ID_ZEMQ")).value(), dm_.TSobstv.field(QStringLiteral("ID_HORA")).value()});
}

void TFImot::addShare()
{
    openPicker(OwnerPick::AddShare, {});
}

void TFImot::correctShare()
{
    if (shareInContract()) {
        prompter().message(kInContract);
    } else if (dm_.TSobstv.isEmpty()) {
        prompter().message(kNoData);
    } else {
        openPicker(OwnerPick::ChangeShareOwner, dm_.TSobstv.field(QStringLiteral("ID_HORA")).value());
    }
}

void TFImot::removeShare()
{
    if (shareInContract()) {
        prompter().message(kInContract);
        return;
    }
    if (dm_.TSobstv.isEmpty()) {
        prompter().message(kNoData);
        return;
    }
    removeRow(dm_.TSobstv);
    recomputeShareSums();
}

void TFImot::openSharePanel()
{
    dataset::Dataset& share = dm_.TSobstv;
    if (share.isEmpty()) {
        prompter().message(kNoOwner);
        return;
    }
    std::vector<double> coefficients;
    const int coefficient = TKat.field(QStringLiteral("COEFFICIENT")).index();
    for (int r = 0; r < TKat.rowCount(); ++r)
        coefficients.push_back(TKat.value(r, coefficient).toDouble());
    edPrDka->setEnabled(plot::equalisedSharesTyped(coefficients));
    try {
        share.edit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Собствеността не може да бъде отворена."), e);
        return;
    }
    const auto value = [&share](const char* field) {
        const fb::Value v = share.field(QLatin1String(field)).value();
        return v.isNull() ? std::nullopt : std::optional<double>(v.toDouble());
    };
    edDka->setValue(value("REDPLOSHT"));
    edChast->setText(share.field(QStringLiteral("CHAST")).value().toString());
    const std::optional<double> equalised = value("PRREDPL");
    edPrDka->setValue(!equalised || *equalised == 0 ? value("REDPLOSHT") : equalised);
    showOwnersPanel(panelSobstv, true);
    shares_->view()->setEnabled(false);
    const bool bound = shareInContract();
    edDka->setEnabled(!bound);
    edChast->setEnabled(!bound);
    if (bound)
        prompter().message(kInContract);
    // Bound by a contract, only the equalised area may change, where it is typed at all.
    QWidget* first = !bound                 ? edDka
                     : edPrDka->isEnabled() ? static_cast<QWidget*>(edPrDka)
                                            : findChild<QWidget*>(QStringLiteral("bitSobstOK"));
    first->setFocus();
}

// Leaving "Дка:" gives an equalised area not yet typed the same figure.
bool TFImot::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edDka && event->type() == QEvent::FocusOut)
        shareAreaLeft();
    return ListScreen::eventFilter(watched, event);
}

void TFImot::shareAreaLeft()
{
    if (plot::typedOrZero(edPrDka->text()) == 0)
        edPrDka->setText(edDka->text());
}

void TFImot::closeSharePanel()
{
    if (plot::typedOrZero(edDka->text()) == 0) {
        prompter().message(QStringLiteral("Въведете дка!"));
        edDka->setFocus();
        return;
    }
    if (plot::typedOrZero(edPrDka->text()) == 0) {
        prompter().message(QStringLiteral("Не са въведени приравнени декари!"));
        edPrDka->setFocus();
        return;
    }
    if (numberRefused(edDka, prompter()) || numberRefused(edPrDka, prompter()))
        return;
    dataset::Dataset& share = dm_.TSobstv;
    try {
        share.field(QStringLiteral("REDPLOSHT")).setValue(*edDka->value());
        share.field(QStringLiteral("PRREDPL")).setValue(*edPrDka->value());
        share.field(QStringLiteral("CHAST")).setValue(edChast->text());
        share.post();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Собствеността не е записана."), e);
        return;
    }
    showOwnersPanel(panelSobstv, false);
    shares_->view()->setEnabled(true);
    findChild<QPushButton*>(QStringLiteral("bitSobstDob"))->setFocus();
    recomputeShareSums();
}

// While an owners' panel is open, its row is in edit: no command may start
// another row of either list until "OK" ends it.
void TFImot::showOwnersPanel(QWidget* panel, bool shown)
{
    panel->setVisible(shown);
    for (const char* name : {"bitSobstDob", "bitSobstKor", "bitSobstDel", "bitSobstSobstv", "bitIstoriqDob",
                             "bitIstoriqKor", "bitIstoriqDel", "bitIstoriqSobstv"})
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(!shown);
}

bool TFImot::ownersPanelOpen() const
{
    return !panelSobstv->isHidden() || !panelIstoriq->isHidden();
}

// ---------------------------------------------------------------- history persons

void TFImot::addPerson()
{
    openPicker(OwnerPick::AddHistory, {});
}

void TFImot::correctPerson()
{
    if (dm_.TIstoriq.isEmpty())
        prompter().message(kNoData);
    else
        openPicker(OwnerPick::ChangePerson, dm_.TIstoriq.field(QStringLiteral("ID_HORA")).value());
}

void TFImot::removePerson()
{
    if (dm_.TIstoriq.isEmpty())
        prompter().message(kNoData);
    else
        removeRow(dm_.TIstoriq);
}

void TFImot::openHistoryPanel()
{
    dataset::Dataset& person = dm_.TIstoriq;
    if (person.isEmpty()) {
        prompter().message(kNoOwner);
        return;
    }
    try {
        person.edit();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Собствеността не може да бъде отворена."), e);
        return;
    }
    const fb::Value area = person.field(QStringLiteral("PLOSHT")).value();
    QLocale plain;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    edIstDka->setText(area.isNull() ? QString() : plain.toString(area.toDouble(), 'g', 15));
    edIstChast->setText(person.field(QStringLiteral("CHAST")).value().toString());
    edVidSobstv->setText(person.field(QStringLiteral("VIDSOBSTV")).value().toString());
    showOwnersPanel(panelIstoriq, true);
    history_->view()->setEnabled(false);
    edIstDka->setFocus();
}

// The person's area is stored as typed.
void TFImot::closeHistoryPanel()
{
    const std::optional<double> area = typedNumber(edIstDka->text());
    if (!area) {
        prompter().message(QStringLiteral("Въведете дка!"));
        edIstDka->setFocus();
        return;
    }
    if (numberRefused(edIstDka, prompter()))
        return;
    if (edVidSobstv->text().trimmed().isEmpty()) {
        prompter().message(QStringLiteral("Въведете вид собственик!"));
        edVidSobstv->setFocus();
        return;
    }
    dataset::Dataset& person = dm_.TIstoriq;
    try {
        person.field(QStringLiteral("PLOSHT")).setValue(*area);
        person.field(QStringLiteral("CHAST")).setValue(edIstChast->text());
        person.field(QStringLiteral("VIDSOBSTV")).setValue(edVidSobstv->text());
        person.post();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Собствеността не е записана."), e);
        return;
    }
    showOwnersPanel(panelIstoriq, false);
    history_->view()->setEnabled(true);
    findChild<QPushButton*>(QStringLiteral("bitIstoriqDob"))->setFocus();
}

// ---------------------------------------------------------------- the owner picker

// A picker edits owners through the shared cursor THora too: while an owners
// register has a row open there, it would share that pending row, so none
// opens (and a register's flow refuses to start a row while a picker has one).
void TFImot::openPicker(OwnerPick pick, const fb::Value& owner)
{
    if (dm_.THora.isEditing()) {
        prompter().message(kHeldElsewhere);
        return;
    }
    auto* picker = new TFHora(dm_, prompter(), ownersDirection_);
    picker->pickFor(*this, pick, owner);
    openBeside(picker);
}

void TFImot::ownerPicked(OwnerPick pick, int idHora)
{
    const bool share = pick == OwnerPick::AddShare || pick == OwnerPick::ChangeShareOwner;
    dataset::Dataset& rows = share ? dm_.TSobstv : dm_.TIstoriq;
    const fb::Value owner(idHora);
    if (rows.findRow(rows.field(QStringLiteral("ID_HORA")).index(), owner) >= 0) {
        prompter().message(share ? QStringLiteral("Този собственик е добавен вече!")
                                 : QStringLiteral("Този човек вече е добавен!"));
        return;
    }
    // A picker opened before a panel was: its row waits until the panel is closed.
    if (ownersPanelOpen()) {
        prompter().message(kClosePanel);
        return;
    }
    storeShareOwner(pick, idHora);
}

// The picked owner goes into a new row (whose panel opens) or replaces the
// selected row's owner.
void TFImot::storeShareOwner(OwnerPick pick, int idHora)
{
    const bool share = pick == OwnerPick::AddShare || pick == OwnerPick::ChangeShareOwner;
    const bool adding = pick == OwnerPick::AddShare || pick == OwnerPick::AddHistory;
    dataset::Dataset& rows = share ? dm_.TSobstv : dm_.TIstoriq;
    try {
        rows.open();
        adding ? rows.append() : rows.edit();
        rows.field(QStringLiteral("ID_HORA")).setValue(idHora);
        rows.post();
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Собственикът не е добавен."), e);
        rows.cancel();
        return;
    }
    findChild<QWidget*>(share ? QStringLiteral("bitSobstSobstv") : QStringLiteral("bitIstoriqSobstv"))->show();
    if (adding)
        share ? openSharePanel() : openHistoryPanel();
    recomputeShareSums();
}

void TFImot::pendingRowCancelled(OwnerPick)
{
    // The editor keeps no row pending while a picker is open.
}

void TFImot::showShareOwnership(bool shown)
{
    findChild<QWidget*>(QStringLiteral("bitSobstSobstv"))->setVisible(shown);
    findChild<QWidget*>(QStringLiteral("bitIstoriqSobstv"))->setVisible(shown);
}
