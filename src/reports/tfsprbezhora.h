#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"
#include "reports/tfimotspr.h"

#include <QPointer>

class SortSwitch;
class TDM;

// The properties by cadastral area ("Справка на имотите по землища"): every
// plot with its names, areas, consolidation and whether a share of it is
// under a contract, read by IBQuery1 under IBTQ1, with six prefix filters
// joined by AND and the sums of the plots listed. "Печат" prints the list
// as it stands (SprImotiZemlishta.rav); "Покажи собственици" opens the
// read-only property view, which follows the list's current row and closes
// with this screen.
class TFSprbezhora : public RegisterScreen {
    Q_OBJECT
public:
    TFSprbezhora(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                 QWidget* parent = nullptr);

    // The property view while it is open.
    TFImotSpr* propertyView() const { return view_; }

protected:
    void aboutToClose() override;

private:
    void showOwners();

    TDM& dm_;
    reports::ReportProject SprImotiZemlishta;
    QPointer<TFImotSpr> view_;
};
