#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"

class SortSwitch;
class TDM;

// The category equalisation ("Приравняване на категории"): the land
// categories' coefficients, corrected one at a time in the panel through the
// shared cursor TKatKoef under IBTKatKoef, and the plots whose stored
// equalised area (ZEMQ.PRPLOSHT) differs from the sum of their categories'
// equalised areas under the current coefficients, read by IBQKatKoef under
// IBTQKatKoef. The plots are corrected in the plot editor, which stores the
// equalised area again; this screen stores no plot values.
//
// What the description cannot say lives here: "Преизчисляване", which reads
// the plots again in the default order, "Печат" of the plots as the list
// holds them (SpisykKatKoef.rav), and the end of the coefficients'
// transaction on closing, so that the plot editor reads what was stored.
class TFKatKoef : public RegisterScreen {
    Q_OBJECT
public:
    // `outputs` answers where the printed list goes; `direction` is the
    // run-long sort switch of the plots list.
    TFKatKoef(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
              QWidget* parent = nullptr);

protected:
    void aboutToClose() override;

private:
    void print();

    TDM& dm_;
    reports::ReportProject SpisykKatKoef;
};
