#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"

class SortSwitch;
class TDM;

namespace reports {
class OutputChooser;
}

// The unpaid-rent report ("Справка нераздадена рента", modal): every owner
// who still has rent of the farming year to receive, with the rest in leva
// ("Рента в пари") and the goods still to hand out ("Зърно"), and their
// totals, read by QueryNR under IBQNR. The rest is the one the year closing
// carries over into the past years' ledger, over the kept rent due (brought
// up to date before every read). "Печат" prints it in full (Sprnr.rav),
// "Съкратен печат" in short (SprnrSP.rav); it changes nothing.
class TFSprnr : public RegisterScreen {
    Q_OBJECT
public:
    // `direction` is the report's run-long sort switch (first descending).
    TFSprnr(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
            QWidget* parent = nullptr);

    // QueryNR: the rows shown.
    dataset::Dataset& rows() const { return list()->rows(); }

protected:
    void aboutToClose() override;

private:
    reports::ReportProject SpravkaNR, SpravkaNRSP;
};
