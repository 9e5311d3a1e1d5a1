// The register screen's checks of the control the focus leaves, and of the
// panel's dates and numbers before a save.
#include "common/date_field.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/register_panel.h"
#include "common/register_screen.h"

#include <QApplication>

namespace {

bool within(const QWidget* widget, const QWidget* w)
{
    return w && (w == widget || widget->isAncestorOf(w));
}

}  // namespace

// ---------------------------------------------------------------- leaving controls

bool RegisterScreen::leaveCheckPasses(const kit::LeaveCheck& c, bool onSave)
{
    // A date that does not exist has said so itself; a check of it would
    // only say something beside the point.
    if (auto* date = qobject_cast<DateField*>(controls_.value(c.control)); date && date->holdsImpossibleDate())
        return true;
    const kit::PanelValues v = values();
    // On a save an empty control is the save checks' business.
    if (onSave && (!c.refuses || !v.filled(c.control)))
        return true;
    if (c.check.passes(v))
        return true;
    checking_ = true;
    if (c.refuses)
        controls_.value(c.control)->setFocus(Qt::OtherFocusReason);  // first the focus, then the message
    prompter().message(c.check.message);
    checking_ = false;
    return !c.refuses;
}

// The described checks of the control being left; with `onSave`, every
// refusing one, and then the screen's own step for the control that has
// the focus.
bool RegisterScreen::leaveChecksPass(QWidget* old, bool onSave)
{
    if (DateField* date = onSave ? panel_->impossibleDate() : nullptr) {
        checking_ = true;
        date->setFocus(Qt::OtherFocusReason);
        prompter().message(DateField::impossibleDateMessage());
        checking_ = false;
        return false;
    }
    for (const kit::LeaveCheck& c : form_.leaveChecks) {
        QWidget* w = controls_.value(c.control);
        if ((onSave || within(w, old)) && !leaveCheckPasses(c, onSave))
            return false;
    }
    if (onSave && old && within(controls_.value(form_.panel), old)) {
        checking_ = true;
        controlLeft(old);
        checking_ = false;
    }
    return flow_->isEditing();
}

bool RegisterScreen::numbersPass()
{
    NumberField* refused = panel_->refusedNumber();
    if (!refused)
        return true;
    checking_ = true;
    refused->setFocus(Qt::OtherFocusReason);
    prompter().message(refused->refusal());
    checking_ = false;
    return false;
}

// Leave and enter steps run when the focus moves from one control of the
// screen to another. A message box taking the focus, or the window losing
// it, is no move within the screen, so a check never runs again because of
// its own message.
void RegisterScreen::focusMoved(QWidget* old, QWidget* now)
{
    if (checking_ || !flow_ || !flow_->isEditing() || !within(this, old) || !within(this, now))
        return;
    for (const kit::LeaveCheck& c : form_.leaveChecks) {
        QWidget* w = controls_.value(c.control);
        if (within(w, old) && !within(w, now) && !leaveCheckPasses(c, false))
            return;
    }
    checking_ = true;
    controlLeft(old);
    checking_ = false;
    if (flow_->isEditing())
        controlEntered(now);
}
