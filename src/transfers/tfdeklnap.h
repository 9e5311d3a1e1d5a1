#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"
#include "transfers/income_declaration_export.h"

#include <QCoreApplication>

class QLabel;
class TDM;

// "Справка - декларация към НАП": the rent paid to each owner in the first
// calendar year of the farming year, listed with its total and written into
// an empty copy of the revenue agency's form the user chooses. Owners whose
// identifier is neither an EGN nor an LNCh are listed, counted in the total
// and left out of the form; "Невалидни данни за трансфера" prints them
// (TransferNevalidni.rav). The blank form delivered with the program is
// never filled: the screen offers to copy it and fills the copy.
class TFDeklNAP : public RegisterScreen {
    Q_OBJECT
public:
    TFDeklNAP(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs,
              QString programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void aboutToClose() override;

private:
    void readPayments();
    void transfer();
    void finishTransfer(const std::vector<bool>& written);
    // Back to the screen as before any transfer: no marks, no transferred total.
    void clearTransfer();
    void printInvalid();
    void showTransferredColumn(bool prehv);

    dataset::Dataset QueryFirma;
    reports::ReportProject TransferNevalidni;
    std::vector<transfers::income_declaration::Payment> payments_;
    std::vector<bool> written_;
    reports::Table invalid_;
    QLabel* labSumTransf_;
    QLabel* labSumTransfCaption_;
    QString remembered_;
    QString programFolder_;
    bool shown_ = false;
};
