#pragma once

#include "report_engine/report_project.h"
#include "transfers/land_declaration_screen.h"

// "Декларация по чл. 70": the declaration of the land the firm leases under
// contracts in force, one workbook per cadastral area in the folder Dekl70
// beside the program; "Невалидни данни за трансфера" prints the plots that
// have no contract in force (TransferNevalidniDekl70.rav).
class TFDekl70 : public LandDeclarationScreen {
    Q_OBJECT
public:
    TFDekl70(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs,
             QString programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr);

protected:
    void aboutToClose() override;

private:
    void printInvalidData();

    dataset::TransactionArea IBTInvalidDataDekl70;
    dataset::Dataset IBQInvalidDataDekl70;
    reports::ReportProject rvDekl70;
};
