#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"

class SortSwitch;
class TDM;

// The properties summary ("Справка Имоти", modal): per cadastral area and
// locality the area of its plots and the area under contracts not
// terminated, with both sums below, read by QuerySprImoti under IBQSRI.
// "Печат" prints it by settlement (Spravkaimoti.rav), the settlements coming
// from the settlement list IBQuery1, which follows the list's order when it
// is sorted by the settlement's code or name.
class TFSprimoti : public RegisterScreen {
    Q_OBJECT
public:
    TFSprimoti(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
               QWidget* parent = nullptr);

private:
    void sorted(int column, bool ascending);
    void print();

    dataset::Dataset IBQuery1;
    reports::ReportProject Spravkaimoti;
};
