#pragma once

#include "transfers/survey_card_screen.h"

// "Анкетна карта" into the authorities' survey database: the same card as
// TFAK, written as the list of areas, a line per valid plot and the firm's
// record into an empty survey database the user chooses; under the plots
// also their number ("Брой имоти за землище:").
class TFAK_access : public SurveyCardScreen {
    Q_OBJECT
public:
    TFAK_access(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs,
                QString programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr);

protected:
    void transferTo(const QString& path) override;
    const QString& noFileMessage() const override;
    void aboutToClose() override;
};
