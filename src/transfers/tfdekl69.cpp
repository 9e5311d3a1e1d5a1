#include "transfers/tfdekl69.h"

#include "dm/tdm.h"
#include "transfers/dekl69_export.h"

namespace {

std::vector<ListColumn> plotColumns()
{
    const auto text = [](const char* field, const char* title) {
        return ListColumn{QLatin1String(field), QString::fromUtf8(title)};
    };
    return {text("IMOT_NO", "Имот №"),
            {.field = QStringLiteral("KAT_PL"),
             .title = QStringLiteral("Площ в дка"),
             .format = QStringLiteral("#0.000"),
             .alignment = Qt::AlignRight | Qt::AlignVCenter},
            text("VID", "Категория"),
            text("NAIM_MESTN", "Местност"),
            text("NAIM_NTP", "Начин на трайно ползване"),
            text("NAIM_FS", "Форма на стопанисване"),
            text("NAIM_VDS", "Документ за собственост"),
            text("NZNOMER", "НЗ Номер"),
            text("NZDATA", "НЗ Дата")};
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
