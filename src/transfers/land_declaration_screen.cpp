#include "transfers/land_declaration_screen.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "service/archive_files.h"
#include "workbook/workbook_error.h"
#include "workbook/writable.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace ld = transfers::land_declaration;

LandDeclarationScreen::LandDeclarationScreen(Prompter& prompter, kit::RegisterForm form, Kind kind,
                                             QString programFolder, QWidget* parent)
    : RegisterScreen(prompter, std::move(form), parent),
      kind_(std::move(kind)),
      folder_(ld::outputFolder(programFolder, kind_.folder)),
      remembered_(QDir::currentPath()),
      IBQFirma(list()->rows().area(), QStringLiteral("IBQFirma"))
{
    IBQFirma.sql().setLines({ld::firmStatement()});
    connect(&list()->rows(), &dataset::Dataset::currentChanged, this, &LandDeclarationScreen::areaMoved);
    connect(control<QPushButton>(QStringLiteral("btnTransfer")), &QPushButton::clicked, this,
            &LandDeclarationScreen::transfer);
}

// The farming year is said once the window is up.
void LandDeclarationScreen::showEvent(QShowEvent* event)
{
    RegisterScreen::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    service::makeFolder(folder_);
    try {
        IBQFirma.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), ld::kFirmNotRead, e);
        return;
    }
    prompter().message(ld::periodMessage(IBQFirma));
    areaMoved();
}

void LandDeclarationScreen::areaMoved()
{
    const QString ekatte = list()->value(QStringLiteral("EKATTE")).toString();
    control<QLineEdit>(form().file.edit)->setText(ekatte.isEmpty() ? QString() : ld::outputFile(folder_, ekatte));
}

void LandDeclarationScreen::showSums(bool shown)
{
    for (const kit::SumSpec& sum : form().moreLists.front().sums)
        control<QLabel>(sum.name)->parentWidget()->setVisible(shown);
}

void LandDeclarationScreen::transfer()
{
    const QString path = control<QLineEdit>(form().file.edit)->text();
    if (path.isEmpty() || QFileInfo(path).fileName().isEmpty()) {
        prompter().message(ld::kNoFile);
        return;
    }
    // Said before the question whether to write over a file that cannot be written anyway.
    if (const auto refusal = transfers::writeRefusal(path)) {
        failure::show(prompter(), transfers::whatFailed(ld::kFailed, *refusal), refusal->detail);
        return;
    }
    // Written over, the files of an earlier run are gone: Enter alone must not do it.
    if (QFileInfo::exists(path) && !prompter().confirm(ld::kOverwrite, Prompter::Default::No))
        return;
    auto* bar = control<QProgressBar>(form().progress);
    bar->setValue(0);
    showSums(false);
    bar->show();
    const bool done = write(path);
    bar->hide();
    showSums(true);
    if (done)
        prompter().message(ld::kDone);
}

// The declaration of the current area; a failure is said under what was not done.
bool LandDeclarationScreen::write(const QString& path)
{
    auto* bar = control<QProgressBar>(form().progress);
    try {
        const auto lines = kind_.lines(moreList(0)->rows());
        const QString place = IBQFirma.isOpen() ? IBQFirma.field(QStringLiteral("GR_S")).asString() : QString();
        ld::write(path, kind_.form(place, QDate::currentDate()), lines, [bar](int p) { bar->setValue(p); });
        return true;
    } catch (const transfers::WorkbookError& e) {
        failure::show(prompter(), ld::kFailed, e);
    } catch (const fb::Error& e) {
        failure::show(prompter(), ld::kFailed, e);
    }
    return false;
}

void LandDeclarationScreen::aboutToClose()
{
    IBQFirma.close();
    control<QLineEdit>(form().file.edit)->clear();
    QDir::setCurrent(remembered_);
    RegisterScreen::aboutToClose();
}

namespace land_declaration_screen {

kit::ListSpec areaList(const QString& areaName, ld::Land land)
{
    return {.grid = QStringLiteral("jvdbgridZeml"),
            .query = QStringLiteral("IBQZeml"),
            .areaName = areaName,
            .statement = {.base = {ld::areasStatement(land)}, .defaultOrder = {}},
            .columns = {{QStringLiteral("EKATTE"), QStringLiteral("ЕКАТТЕ")},
                        {QStringLiteral("NAIM_OBL"), QStringLiteral("Област")},
                        {QStringLiteral("NAIM_OBSHT"), QStringLiteral("Община")},
                        {QStringLiteral("NAIM_NM"), QStringLiteral("Землище")}},
            .key = QStringLiteral("ID_ZEML"),
            .buttons = {{QStringLiteral("btnTransfer"), QStringLiteral("Прехвърляне на данните")}},
            .visibleRows = 8};
}

kit::FileChoice fileChoice()
{
    return {.prompt = QStringLiteral("Име на файл:"), .filter = QStringLiteral("Excel Files (*.xlsx)")};
}

}  // namespace land_declaration_screen
