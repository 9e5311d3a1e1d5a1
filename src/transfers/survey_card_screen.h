#pragma once

#include "common/register_screen.h"
#include "report_engine/report_project.h"
#include "transfers/survey_card.h"

#include <QCoreApplication>

class TDM;

// What the two survey card screens (into the workbook form and into the
// survey database) do alike: every cadastral area above, the current
// area's plots with a valid basis below with their hectares summed, the
// file chosen above, "Невалидни данни за трансфера" printing the plots left
// out (TransferNevalidniAK.rav), and the firm and areas a transfer writes.
// A screen says its file, its extra labels and its transfer. A blank form
// delivered with the program is never filled: the screen offers to copy it
// and fills the copy.
class SurveyCardScreen : public RegisterScreen {
    Q_OBJECT
public:
    SurveyCardScreen(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, kit::RegisterForm form,
                     QString programFolder, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void aboutToClose() override;

    // The screen's transfer into the chosen file, after its own refusal of an
    // empty field; the progress bar stands in the sums' place meanwhile.
    virtual void transferTo(const QString& path) = 0;
    virtual const QString& noFileMessage() const = 0;

    // The firm and every area with its valid plots, read now; a database
    // error is shown and gives nothing.
    std::optional<std::pair<transfers::survey_card::Firm, std::vector<transfers::survey_card::Area>>> readCard();
    void setProgress(int percent);

private:
    void transfer();
    void printInvalid();
    void showSums(bool shown);
    void endReading();

    // The transfers and the invalid list read in a transaction of their own,
    // committed after each, so that each sees the data as it is then.
    dataset::TransactionArea IBTAKRead;
    dataset::Dataset IBQFirma;
    dataset::Dataset IBQueryZemq;
    dataset::Dataset IBQAll;
    reports::ReportProject rvAK;
    QString remembered_;
    QString programFolder_;
    bool shown_ = false;
};

// The description of a survey card screen: its kind, the file dialog's
// filter and the sums under the plots (the hectares, and more).
namespace survey_card_screen {

kit::RegisterForm form(TDM& dm, const QString& kind, const QString& filter, std::vector<kit::SumSpec> extraSums = {});

}  // namespace survey_card_screen
