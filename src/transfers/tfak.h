#pragma once

#include "transfers/survey_card_screen.h"

// "Анкетна карта" into the workbook form: the firm's header and, for every
// cadastral area with plots the firm works in the farming year, its plots
// in hectares, typed into an empty copy of the form the user chooses and
// stored through the form's own macros.
class TFAK : public SurveyCardScreen {
    Q_OBJECT
public:
    TFAK(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs,
         QString programFolder = QCoreApplication::applicationDirPath(), QWidget* parent = nullptr);

protected:
    void transferTo(const QString& path) override;
    const QString& noFileMessage() const override;
};
