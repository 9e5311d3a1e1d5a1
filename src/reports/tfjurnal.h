#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"

class SortSwitch;
class TDM;

// "Журнал на промените": the trail of changes newest first, read as the grid
// scrolls (a year of changes is never read whole to show its first page),
// filtered by the kind of row, its owner, the user and a range of days.
// "Печат" prints the list as it stands (JurnalProm.rav).
class TFJurnal : public RegisterScreen {
    Q_OBJECT
public:
    TFJurnal(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, QWidget* parent = nullptr);

private:
    reports::ReportProject JurnalProm;
};
