#include "transfers/survey_card_screen.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "transfers/delivered_forms.h"
#include "transfers/land_declaration.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace sc = transfers::survey_card;

namespace {

const QString kArea = QStringLiteral("IBTAK");

std::vector<ListColumn> plotColumns()
{
    return {textColumn("NAIM_MESTN", "Местност"),
            textColumn("IMOT_NO", "Имот №"),
            textColumn("NAIM_NTP", "Начин на трайно ползване"),
            textColumn("NAIM_FS", "Форма на стопанисване"),
            figureColumn("PL", "Площ в ха", "#0.0000"),
            figureColumn("POLPL", "Поливна площ в ха", "#0.0000")};
}

kit::SumSpec hectareSum(const char* name, const char* label, const char* field)
{
    return {.name = QLatin1String(name),
            .label = QString::fromUtf8(label),
            .field = QLatin1String(field),
            .suffix = sc::kHectares,
            .decimals = 4};
}

}  // namespace

namespace survey_card_screen {

kit::RegisterForm form(TDM& dm, const QString& kind, const QString& filter, std::vector<kit::SumSpec> extraSums)
{
    std::vector<kit::SumSpec> sums = {hectareSum("labSum", "Общо площ за землище:", "PL"),
                                      hectareSum("labSumPolPl", "Общо поливна площ за землище:", "POLPL")};
    for (kit::SumSpec& s : extraSums)
        sums.push_back(std::move(s));
    return {
        .kind = kind,
        .caption = QStringLiteral("Анкетна карта"),
        .list = {.grid = QStringLiteral("jvdbgridZeml"),
                 .query = QStringLiteral("IBQZeml"),
                 .areaName = kArea,
                 .statement = {.base = {sc::areasStatement()}, .defaultOrder = {}},
                 .columns = {textColumn("EKATTE", "ЕКАТТЕ"), textColumn("NAIM_OBL", "Област"),
                             textColumn("NAIM_OBSHT", "Община"), textColumn("NAIM_NM", "Землище")},
                 .key = QStringLiteral("ID_ZEML"),
                 .buttons = {{QStringLiteral("btnTransfer"), QStringLiteral("Прехвърляне на данните")},
                             {QStringLiteral("bitPrintTransferNevalidni"),
                              QStringLiteral("Невалидни данни за трансфера")}},
                 .visibleRows = 8},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
        .moreLists = {{.grid = QStringLiteral("jvdbgridImoti"),
                       .query = QStringLiteral("IBQImoti"),
                       .areaName = kArea,
                       .statement = {.base = QStringList{sc::plotsStatement()} + sc::areaPlotLines(),
                                     .defaultOrder = {}},
                       .columns = plotColumns(),
                       .key = {},
                       .sums = std::move(sums),
                       .masterParam = QStringLiteral("id_zeml"),
                       .masterField = QStringLiteral("ID_ZEML")}},
        .file = {.prompt = QStringLiteral("Моля, изберете празен файл на анкетен формуляр:"), .filter = filter},
        .progress = QStringLiteral("ProgressBar1"),
    };
}

}  // namespace survey_card_screen

SurveyCardScreen::SurveyCardScreen(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, kit::RegisterForm form,
                                   QString programFolder, QWidget* parent)
    : RegisterScreen(prompter, std::move(form), parent),
      IBTAKRead(dm.IBDatabase1, QStringLiteral("IBTAKRead")),
      IBQFirma(IBTAKRead, QStringLiteral("IBQFirma")),
      IBQueryZemq(IBTAKRead, QStringLiteral("IBQueryZemq")),
      IBQAll(IBTAKRead, QStringLiteral("IBQAll")),
      rvAK(QStringLiteral("TransferNevalidniAK.rav"), prompter, this),
      remembered_(QDir::currentPath()),
      programFolder_(std::move(programFolder))
{
    IBQFirma.sql().setLines({transfers::land_declaration::firmStatement()});
    IBQueryZemq.sql().setLines({sc::validPlotsStatement()});
    IBQAll.sql().setLines(QStringList{sc::plotsStatement()} + sc::allPlotLines());
    rvAK.setOutputChooser(outputs);
    rvAK.setDatabase(dm.IBDatabase1);
    connect(control<QPushButton>(QStringLiteral("btnTransfer")), &QPushButton::clicked, this,
            &SurveyCardScreen::transfer);
    connect(control<QPushButton>(QStringLiteral("bitPrintTransferNevalidni")), &QPushButton::clicked, this,
            &SurveyCardScreen::printInvalid);
}

// The farming year is said once the window is up.
void SurveyCardScreen::showEvent(QShowEvent* event)
{
    RegisterScreen::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    try {
        IBQFirma.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), transfers::land_declaration::kFirmNotRead, e);
        return;
    }
    prompter().message(transfers::land_declaration::periodMessage(IBQFirma));
    endReading();
}

void SurveyCardScreen::endReading()
{
    IBQFirma.close();
    IBQueryZemq.close();
    IBQAll.close();
    if (IBTAKRead.isActive())
        IBTAKRead.commit();
}

void SurveyCardScreen::showSums(bool shown)
{
    for (const kit::SumSpec& sum : form().moreLists.front().sums)
        control<QLabel>(sum.name)->parentWidget()->setVisible(shown);
}

void SurveyCardScreen::setProgress(int percent)
{
    control<QProgressBar>(form().progress)->setValue(percent);
    // The bar is painted as the transfer goes on; a click meanwhile (such as
    // "Изход" under a transfer half done) waits until it ends.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SurveyCardScreen::transfer()
{
    QString path = control<QLineEdit>(form().file.edit)->text();
    if (path.trimmed().isEmpty()) {
        prompter().message(noFileMessage());
        return;
    }
    path = transfers::delivered_forms::fileToFill(prompter(), path.trimmed(),
                                                  transfers::delivered_forms::folders(programFolder_));
    if (path.isEmpty())
        return;
    control<QLineEdit>(form().file.edit)->setText(path);
    auto* bar = control<QProgressBar>(form().progress);
    bar->setValue(0);
    showSums(false);
    bar->show();
    transferTo(path);
    bar->hide();
    showSums(true);
}

std::optional<std::pair<sc::Firm, std::vector<sc::Area>>> SurveyCardScreen::readCard()
{
    std::optional<std::pair<sc::Firm, std::vector<sc::Area>>> result;
    try {
        IBQFirma.open();
        // The areas as the grid lists them, without moving its current row.
        dataset::Dataset areas(IBTAKRead, QStringLiteral("IBQZemlCard"));
        areas.sql().setLines({sc::areasStatement()});
        result = std::make_pair(sc::firmOf(IBQFirma), sc::areasOf(areas, IBQueryZemq));
    } catch (const fb::Error& e) {
        failure::show(prompter(), transfers::land_declaration::kFailed, e);
    }
    endReading();
    return result;
}

void SurveyCardScreen::printInvalid()
{
    prompter().message(sc::kFetching);
    reports::Table invalid;
    try {
        invalid = sc::invalidTable(IBQAll);
    } catch (const fb::Error& e) {
        endReading();
        failure::show(prompter(), sc::kInvalidNotRead, e);
        return;
    }
    endReading();
    if (invalid.rows.empty()) {
        prompter().message(sc::kNoInvalidData);
        return;
    }
    rvAK.bindRows(QStringLiteral("rvdsAK"), std::move(invalid));
    if (rvAK.open()) {
        rvAK.execute();
        rvAK.close();
    }
}

void SurveyCardScreen::aboutToClose()
{
    endReading();
    rvAK.bindRows(QStringLiteral("rvdsAK"), {});
    control<QLineEdit>(form().file.edit)->clear();
    QDir::setCurrent(remembered_);
    RegisterScreen::aboutToClose();
}
