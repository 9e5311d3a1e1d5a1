#include "transfers/tfak.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "transfers/survey_card_export.h"
#include "workbook/workbook_error.h"

namespace sc = transfers::survey_card;

TFAK::TFAK(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, QString programFolder, QWidget* parent)
    : SurveyCardScreen(dm, prompter, outputs,
                       survey_card_screen::form(dm, QStringLiteral("TFAK"), QStringLiteral("Excel Files (*.xlsx)")),
                       std::move(programFolder), parent)
{
    start();
}

const QString& TFAK::noFileMessage() const
{
    return sc::kNoFile;
}

void TFAK::transferTo(const QString& path)
{
    const auto card = readCard();
    if (!card)
        return;
    try {
        const QString refusal = sc::transfer(path, card->first, card->second, [this](int p) { setProgress(p); });
        prompter().message(refusal.isEmpty() ? sc::kDone : refusal);
    } catch (const transfers::WorkbookError& e) {
        failure::show(prompter(), sc::kFailed, e);
    }
}
