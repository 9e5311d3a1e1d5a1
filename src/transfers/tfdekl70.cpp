#include "transfers/tfdekl70.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "transfers/dekl70_export.h"

#include <QPushButton>

namespace {

std::vector<ListColumn> plotColumns()
{
    return {textColumn("IMOT_NO", "Имот №"),       figureColumn("KAT_PLOSHT", "Площ в дка", "#0.000"),
            textColumn("VID", "Категория"),        textColumn("NAIM_NTP", "Начин на трайно ползване"),
            textColumn("NAIM_MESTN", "Местност"),  textColumn("IME", "Име/Наименование"),
            textColumn("EGN", "ЕГН/ЛНЧ/ЕИН"),      textColumn("NAIM_VDS", "Документ за собственост"),
            textColumn("NZNOMER", "НЗ Номер"),     textColumn("NZDATA", "НЗ Дата"),
            textColumn("NOMER", "Договор: Номер"), textColumn("OSZREGNO", "Договор: ОСЗГ Рег. №/Дата"),
            textColumn("SROK", "Договор: Срок")};
}

kit::RegisterForm dekl70Form(TDM& dm)
{
    const QString area = QStringLiteral("IBTDekl70");
    kit::ListSpec areas = land_declaration_screen::areaList(area, transfers::land_declaration::Land::Leased);
    areas.buttons.push_back(
        {QStringLiteral("bitPrintTransferNevalidni"), QStringLiteral("Невалидни данни за трансфера")});
    return {
        .kind = QStringLiteral("TFDekl70"),
        .caption = QStringLiteral("Декларация по чл. 70"),
        .list = areas,
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
        // A plot leased from several owners is listed once per owner: its
        // area counts once.
        .moreLists = {{.grid = QStringLiteral("jvdbgridImoti"),
                       .query = QStringLiteral("IBQImoti"),
                       .areaName = area,
                       .statement = {.base = {transfers::dekl70::plotsStatement()}, .defaultOrder = {}},
                       .columns = plotColumns(),
                       .key = {},
                       .sums = {{QStringLiteral("labSum"), QStringLiteral("Общо площ за землище:"),
                                 QStringLiteral("IMOT_PLOSHT"), QStringLiteral("ID_ZEMQ")}},
                       .masterParam = QStringLiteral("id_zeml"),
                       .masterField = QStringLiteral("ID_ZEML")}},
        .file = land_declaration_screen::fileChoice(),
        .progress = QStringLiteral("ProgressBar1"),
    };
}

}  // namespace

TFDekl70::TFDekl70(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, QString programFolder, QWidget* parent)
    : LandDeclarationScreen(prompter, dekl70Form(dm),
                            {transfers::dekl70::kFolder, transfers::dekl70::linesOf, transfers::dekl70::form},
                            std::move(programFolder), parent),
      IBTInvalidDataDekl70(dm.IBDatabase1, QStringLiteral("IBTInvalidDataDekl70")),
      IBQInvalidDataDekl70(IBTInvalidDataDekl70, QStringLiteral("IBQInvalidDataDekl70")),
      rvDekl70(QStringLiteral("TransferNevalidniDekl70.rav"), prompter, this)
{
    IBQInvalidDataDekl70.sql().setLines({transfers::dekl70::invalidDataStatement()});
    rvDekl70.setOutputChooser(outputs);
    rvDekl70.bindConnection(QStringLiteral("rvdsDekl70"), IBQInvalidDataDekl70);
    connect(control<QPushButton>(QStringLiteral("bitPrintTransferNevalidni")), &QPushButton::clicked, this,
            &TFDekl70::printInvalidData);
    start();
}

void TFDekl70::printInvalidData()
{
    prompter().message(transfers::dekl70::kFetching);
    try {
        IBQInvalidDataDekl70.close();
        IBQInvalidDataDekl70.open();
    } catch (const fb::Error& e) {
        failure::show(prompter(), transfers::dekl70::kInvalidNotRead, e);
        return;
    }
    if (IBQInvalidDataDekl70.isEmpty()) {
        prompter().message(transfers::dekl70::kNoInvalidData);
    } else if (rvDekl70.open()) {
        rvDekl70.execute();
        rvDekl70.close();
    }
    IBQInvalidDataDekl70.close();
    if (IBTInvalidDataDekl70.isActive())
        IBTInvalidDataDekl70.commit();
}

void TFDekl70::aboutToClose()
{
    IBQInvalidDataDekl70.close();
    if (IBTInvalidDataDekl70.isActive())
        IBTInvalidDataDekl70.commit();
    LandDeclarationScreen::aboutToClose();
}
