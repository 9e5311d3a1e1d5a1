#include "common/edit_flow.h"

#include "common/list_grid.h"
#include "common/failure.h"
#include "common/prompter.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"

#include <QAbstractButton>
#include <QWidget>

namespace {

// The cursor's first key field: what a row is found again by.
QString keyFieldOf(const dataset::Dataset& cursor)
{
    const std::vector<int>& keys = cursor.keyFields();
    return keys.empty() ? QString() : cursor.field(keys.front()).name();
}

}  // namespace

EditFlow::EditFlow(Prompter& prompter, dataset::Dataset& cursor, QWidget* panel, QObject* parent)
    : QObject(parent), prompter_(prompter), cursor_(&cursor), panel_(panel), cursorKey_(keyFieldOf(cursor))
{
    if (panel_)
        panel_->hide();
}

void EditFlow::setList(ListGrid& list, const QString& listKey, const QString& cursorKey)
{
    list_ = &list;
    listKey_ = listKey;
    cursorKey_ = cursorKey.isEmpty() ? listKey : cursorKey;
}

void EditFlow::setClosing(Closing closing, const QString& refusal)
{
    closing_ = closing;
    refusal_ = refusal;
}

void EditFlow::connectButtons(QAbstractButton* add, QAbstractButton* correct, QAbstractButton* remove,
                              QAbstractButton* save, QAbstractButton* cancel)
{
    const auto wire = [this](QAbstractButton* b, void (EditFlow::*step)()) {
        if (b)
            connect(b, &QAbstractButton::clicked, this, step);
    };
    wire(add, &EditFlow::add);
    wire(correct, &EditFlow::correct);
    wire(remove, &EditFlow::remove);
    if (save)
        connect(save, &QAbstractButton::clicked, this, [this] { this->save(); });
    wire(cancel, &EditFlow::cancel);
}

dataset::TransactionArea& EditFlow::area() const
{
    return cursor_->area();
}

bool EditFlow::listIsCursor() const
{
    return !list_ || &list_->rows() == cursor_.data();
}

bool EditFlow::listIsEmpty() const
{
    return listIsCursor() ? cursor_->isEmpty() : list_->isEmpty();
}

// A shared cursor with a row pending in another screen (another register
// of the same rows, a picker) is left alone: one pending row is one screen's.
bool EditFlow::heldElsewhere()
{
    if (editing_ || !cursor_->isEditing())
        return false;
    prompter_.message(kHeldElsewhere);
    return true;
}

// "Корекция" and "Изтриване" on an empty list.
bool EditFlow::saidNoData()
{
    if (!listIsEmpty())
        return false;
    prompter_.message(kNoData);
    return true;
}

fb::Value EditFlow::selectedKey() const
{
    if (listIsEmpty())
        return {};
    return listIsCursor() ? cursor_->field(cursorKey_).value() : list_->value(listKey_);
}

void EditFlow::showError(const QString& what, const std::exception& e)
{
    failure::show(prompter_, what, e);
}

// ---------------------------------------------------------------- add, correct

void EditFlow::add()
{
    if (editing_ || heldElsewhere())
        return;
    try {
        area().ensureStarted();
        cursor_->append();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не може да бъде отворен."), e);
        return;
    }
    remembered_ = fb::Value();  // "Отказ" after an add shows the first row
    enterEditing(true);
}

void EditFlow::correct()
{
    if (editing_ || heldElsewhere() || saidNoData())
        return;
    try {
        for (const Guard& g : correctGuards) {
            if (g.inUse()) {
                prompter_.message(g.message);
                return;
            }
        }
        if (!moveCursorToSelected()) {
            prompter_.message(kNoData);
            return;
        }
        area().ensureStarted();
        cursor_->edit();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не може да бъде отворен."), e);
        return;
    }
    remembered_ = selectedKey();
    enterEditing(false);
}

void EditFlow::editSingleRow()
{
    if (editing_)
        return;
    try {
        cursor_->open();
        area().ensureStarted();
        cursor_->edit();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не може да бъде отворен."), e);
        return;
    }
    remembered_ = fb::Value();
    enterEditing(false);
}

// A list of the screen's own shows rows the cursor may not hold yet (the
// cursor is read again only after its own commits): look once more after a
// fresh read.
bool EditFlow::moveCursorToSelected()
{
    if (listIsCursor())
        return !cursor_->isEmpty();
    const fb::Value key = selectedKey();
    if (key.isNull())
        return false;
    return cursor_->locateFresh(cursorKey_, key);
}

bool EditFlow::switchTo(const fb::Value& key)
{
    if (!editing_ || key.isNull())
        return false;
    try {
        cursor_->cancel();  // a move while editing would post the pending row
        if (!cursor_->locateFresh(cursorKey_, key))
            throw fb::Error(QStringLiteral("%1: the row is gone").arg(cursor_->name()));
        cursor_->edit();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не може да бъде отворен."), e);
        discard(true);
        return false;
    }
    remembered_ = key;
    if (!listIsCursor())
        list_->rows().locate(listKey_, key);
    emit panelOpened(false);
    return true;
}

// ---------------------------------------------------------------- save, cancel

bool EditFlow::save()
{
    return editing_ && store(Saving::Button) == Outcome::Saved;
}

EditFlow::Outcome EditFlow::store(Saving saving)
{
    const std::vector<Check>& run = saving == Saving::Closing && !closingChecks.empty() ? closingChecks : checks;
    for (const Check& c : run) {
        if (!c.passes()) {
            if (!c.message.isEmpty())  // a check without a message said its own already
                prompter_.message(c.message);
            if (!c.discards)
                return Outcome::CheckFailed;
            discard(saving == Saving::Button);
            emit discardedByCheck();
            return Outcome::Discarded;
        }
    }
    if (parked_ && !putBack())
        return Outcome::DatabaseError;
    const bool inserting = cursor_->state() == dataset::State::Insert;
    try {
        if (beforePost)
            beforePost(saving);
        cursor_->post();  // a failure leaves the row in insert or edit state
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не е направен."), e);
        return Outcome::DatabaseError;
    }
    const fb::Value key = cursor_->field(cursorKey_).value();
    try {
        area().commit();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не е направен."), e);
        if (e.connectionLost())
            parkAfterLostConnection({inserting, key});
        else
            recoverAfterFailedCommit(key);
        return Outcome::DatabaseError;
    }
    leaveEditing();
    reopenCursor(key);
    if (saving == Saving::Button)
        rereadList(key);
    emit saved(key);
    return Outcome::Saved;
}

// The commit failed and the transaction still runs with the posted row in
// it: put that row back into edit state in the panel, so that the user can
// save once more or cancel.
void EditFlow::recoverAfterFailedCommit(const fb::Value& key)
{
    try {
        cursor_->open();
        cursor_->locate(cursorKey_, key);
        cursor_->edit();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не може да бъде прочетен отново."), e);
    }
}

// The commit went down with the connection, and the posted row with it; the
// cursor still holds the row as posted. It goes back into edit there, so that
// the panel keeps showing the user's values, and is parked: the next "Запис"
// puts it back into the database as it was meant (an insert stays an insert).
void EditFlow::parkAfterLostConnection(const Parked& parked)
{
    parked_ = parked;
    try {
        cursor_->locate(cursorKey_, parked.key);
        cursor_->edit();
    } catch (const fb::Error&) {
        // The row stays as posted in the cursor; "Запис" puts it back all the same.
    }
}

// Reads the cursor again from the connection made since, and gives the
// parked row its values back: a new row again for an insert, the stored
// row in edit for a correction. False, with everything left as it was,
// while there is still no connection.
bool EditFlow::putBack()
{
    std::vector<fb::Value> values;
    for (int i = 0; i < cursor_->fieldCount(); ++i)
        values.push_back(cursor_->field(i).value());
    try {
        area().database().ensureConnected();
        cursor_->cancel();
        cursor_->close();
        cursor_->open();
        if (parked_->inserting)
            cursor_->append();
        else if (cursor_->locate(cursorKey_, parked_->key))
            cursor_->edit();
        else
            throw fb::Error(QStringLiteral("%1: the row is gone").arg(cursor_->name()));
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не е направен."), e);
        return false;
    }
    parked_.reset();
    for (int i = 0; i < cursor_->fieldCount(); ++i) {
        dataset::Field& f = cursor_->field(i);
        if (!f.isLookup() && !f.isGenerated())
            f.setValue(values[size_t(i)]);
    }
    return true;
}

void EditFlow::cancel()
{
    if (editing_)
        discard(true);
}

void EditFlow::discard(bool rereadAfter)
{
    parked_.reset();
    try {
        cursor_->cancel();
        area().rollback();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Промените не могат да бъдат отказани."), e);
    }
    leaveEditing();
    reopenCursor(remembered_);
    if (rereadAfter)
        rereadList(remembered_);
    emit cancelled();
}

void EditFlow::reopenCursor(const fb::Value& key)
{
    try {
        cursor_->open();
        if (!key.isNull())
            cursor_->locate(cursorKey_, key);
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Данните не могат да бъдат прочетени отново."), e);
    }
}

void EditFlow::rereadList(const fb::Value& key)
{
    if (!listIsCursor())
        list_->reread(listKey_, key);
}

// ---------------------------------------------------------------- delete

void EditFlow::remove()
{
    if (editing_ || heldElsewhere() || saidNoData())
        return;
    try {
        for (const Guard& g : guards) {
            if (g.inUse()) {
                prompter_.message(g.message);
                return;
            }
        }
        area().ensureStarted();
    } catch (const fb::Error& e) {
        showError(QStringLiteral("Записът не може да бъде изтрит."), e);
        return;
    }
    // A delete is undone by nothing: Enter alone must not do it.
    if (!prompter_.confirm(kConfirmDelete, Prompter::Default::No))
        return;  // the transaction stays as it is
    try {
        if (!moveCursorToSelected())
            throw fb::Error(QStringLiteral("%1: the row is gone").arg(cursor_->name()));
        cursor_->remove();
        area().commit();
    } catch (const fb::Error&) {
        // A failed delete is undone without a message of its own; the row stays listed.
        try {
            area().rollback();
        } catch (const fb::Error&) {
        }
    }
    reopenCursor({});
    rereadList({});
    emit removed();
}

// ---------------------------------------------------------------- closing

bool EditFlow::closeCheck()
{
    if (!editing_)
        return true;
    if (closing_ == Closing::Refuse) {
        prompter_.message(refusal_);
        return false;
    }
    switch (prompter_.askToSave(kAskSave)) {
        case Prompter::Answer::Cancel:
            return false;  // back to the work, nothing stored or given up
        case Prompter::Answer::No:
            discard(false);
            return true;
        case Prompter::Answer::Yes:
            break;
    }
    switch (store(Saving::Closing)) {
        case Outcome::Saved:
        case Outcome::Discarded:  // nothing is pending any more
            return true;
        case Outcome::DatabaseError:
            return false;  // nothing typed is lost: the panel stays with its transaction
        case Outcome::CheckFailed:
            break;
    }
    if (closing_ == Closing::AskWhileClosing) {
        discard(false);  // closes all the same; the pending row must not outlive the window
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- panel

void EditFlow::enterEditing(bool adding)
{
    editing_ = true;
    for (const auto& w : locked_)
        if (w)
            w->setEnabled(false);
    if (panel_)
        panel_->show();
    emit panelOpened(adding);
    if (firstField_)
        firstField_->setFocus();
}

void EditFlow::leaveEditing()
{
    editing_ = false;
    if (panel_)
        panel_->hide();
    for (const auto& w : locked_)
        if (w)
            w->setEnabled(true);
}
