#include "transfers/tfdekl69.h"

#include "dm/tdm.h"
#include "transfers/dekl69_export.h"

namespace {

std::vector<ListColumn> plotColumns()
{
    return {textColumn("IMOT_NO", "Имот №"),
            figureColumn("KAT_PL", "Площ в дка", "#0.000"),
            textColumn("VID", "Категория"),
            textColumn("NAIM_MESTN", "Местност"),
            textColumn("NAIM_NTP", "Начин на трайно ползване"),
            textColumn("NAIM_FS", "Форма на стопанисване"),
            textColumn("NAIM_VDS", "Документ за собственост"),
            textColumn("NZNOMER", "НЗ Номер"),
            textColumn("NZDATA", "НЗ Дата")};
}

kit::RegisterForm dekl69Form(TDM& dm)
{
    const QString area = QStringLiteral("IBTDekl69");
    return {
        .kind = QStringLiteral("TFDekl69"),
        .caption = QStringLiteral("Декларация по чл. 69"),
        .list = land_declaration_screen::areaList(area, transfers::land_declaration::Land::Own),
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
        .moreLists = {{.grid = QStringLiteral("jvdbgridImoti"),
                       .query = QStringLiteral("IBQImoti"),
                       .areaName = area,
                       .statement = {.base = {transfers::dekl69::plotsStatement()}, .defaultOrder = {}},
                       .columns = plotColumns(),
                       .key = {},
                       .sums = {{QStringLiteral("labSum"), QStringLiteral("Общо площ за землище:"),
                                 QStringLiteral("KAT_PL")}},
                       .masterParam = QStringLiteral("id_zeml"),
                       .masterField = QStringLiteral("ID_ZEML")}},
        .file = land_declaration_screen::fileChoice(),
        .progress = QStringLiteral("ProgressBar1"),
    };
}

}  // namespace

TFDekl69::TFDekl69(TDM& dm, Prompter& prompter, QString programFolder, QWidget* parent)
    : LandDeclarationScreen(prompter, dekl69Form(dm),
                            {transfers::dekl69::kFolder, transfers::dekl69::linesOf, transfers::dekl69::form},
                            std::move(programFolder), parent)
{
    start();
}
