#include "transfers/tfak_access.h"

#include "common/failure.h"
#include "common/prompter.h"

#include <QLineEdit>

namespace sc = transfers::survey_card;
namespace sd = transfers::survey_database;

namespace {

// The database chosen last is offered again for the rest of the run.
QString& chosenDatabase()
{
    static QString path;
    return path;
}

}  // namespace

TFAK_access::TFAK_access(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, QString programFolder,
                         QWidget* parent)
    : SurveyCardScreen(dm, prompter, outputs,
                       survey_card_screen::form(dm, QStringLiteral("TFAK_access"), sd::kFilter,
                                                {{.name = QStringLiteral("labBrImoti"),
                                                  .label = QStringLiteral("Брой имоти за землище:"),
                                                  .field = {},
                                                  .onceFor = QStringLiteral("ID_ZEMQ"),
                                                  .count = true}}),
                       std::move(programFolder), parent)
{
    control<QLineEdit>(form().file.edit)->setText(chosenDatabase());
    start();
}

const QString& TFAK_access::noFileMessage() const
{
    return sd::kNoFile;
}

void TFAK_access::transferTo(const QString& path)
{
    const auto card = readCard();
    if (!card)
        return;
    try {
        const QString refusal = sd::write(path.trimmed(), card->first.record, sc::databaseAreas(card->second),
                                          sc::databasePlots(card->second), [this](int p) { setProgress(p); });
        prompter().message(refusal.isEmpty() ? sd::kDone : refusal);
    } catch (const sd::SurveyDatabaseError& e) {
        failure::show(prompter(), sd::whatFailed(e), e.message());
    }
}

void TFAK_access::aboutToClose()
{
    chosenDatabase() = control<QLineEdit>(form().file.edit)->text();
    SurveyCardScreen::aboutToClose();
}
