#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"

class SortSwitch;
class TDM;

namespace reports {
class OutputChooser;
}

// The rent list ("Списък за рента"): one row per owner with contracted land
// under a rent rule in the farming year, with his contracted and equalised
// area, the rent due, what he was paid and what is left, read by
// QuerySobstv under IBTQS over the kept rent due (brought up to date before
// every read), with a name filter (containing, any case), an identifier
// search from the top, sorting by a column title and the totals of the
// rows shown.
//
// The list is read again whenever its window becomes active (as when a
// payout screen closes), back on the owner remembered by "Покажи рента".
// Every payout screen follows the list's current row. "Печат" and
// "Съкратен печат" print the rows as they stand (SpisykAll.rav,
// SpisykSP.rav).
class TFSobstvZemq : public RegisterScreen {
    Q_OBJECT
public:
    // `direction` is the list's run-long sort switch (first ascending);
    // `outputs` answers where a print goes.
    TFSobstvZemq(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                 QWidget* parent = nullptr);

    // QuerySobstv: the rows shown, whose current row the payout screens follow.
    dataset::Dataset& rows() const { return list()->rows(); }
    // The ID_SOBSTV of the row "Покажи рента" was last pressed on, as text;
    // empty until then.
    const QString& rememberedOwner() const { return remembered_; }

signals:
    // "Покажи рента" on an owner: a new payout screen is wanted, once per press.
    void payoutRequested();

protected:
    void becameActive() override;
    void aboutToClose() override;

private:
    void showRent();

    reports::ReportProject SpisykAll, SpisykSP;
    QString remembered_;
    // Set from the read as the screen is made until the event loop runs again.
    bool freshlyRead_ = true;
};
