#pragma once

#include "common/register_screen.h"

class SortSwitch;
class TDM;

namespace reports {
class OutputChooser;
}

// The properties by owner ("Имоти по собственици"): the owners above
// (IBQSobstv), the current owner's plots below (IBQImoti, a share under
// several contracts once per contract line) with the owner's sums, which
// count each plot once; both grids sort with one switch. "Печат" prints
// every owner with the owner's plots (SprImotiSobstv.rav).
class TFSprImotiSobstv : public RegisterScreen {
    Q_OBJECT
public:
    TFSprImotiSobstv(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                     QWidget* parent = nullptr);

    // The statement of every owner's plots that the print reads, in the
    // order the plots list has now.
    QStringList everyOwnersPlots() const;

private:
    void print();

    reports::OutputChooser& outputs_;
};
