#include "rent/tfrentakult.h"

#include "dm/tdm.h"
#include "rent/protected_rows.h"

namespace {

kit::RegisterForm rentGoodsForm(TDM& dm)
{
    return {
        .kind = QStringLiteral("TFRentaKult"),
        .caption = QStringLiteral("Раздадена култура"),
        .modal = true,
        .list = {.grid = QStringLiteral("jvdbgridRK"),
                 .group = {},
                 .cursor = &dm.TRentaKult,
                 .columns = {{QStringLiteral("RK"), QStringLiteral("Наименование")}},
                 .key = QStringLiteral("ID_RK"),
                 .visibleRows = 10},
        .commands = {.add = QStringLiteral("bitRKDob"),
                     .correct = QStringLiteral("bitRKKor"),
                     .remove = QStringLiteral("bitRKDel")},
        .cursor = &dm.TRentaKult,
        .panel = QStringLiteral("panelRK"),
        .fields = {{.name = QStringLiteral("dbedRK"),
                    .label = QStringLiteral("Наименование:"),
                    .column = QStringLiteral("RK")}},
        .checks = {kit::Check::filled(QStringLiteral("dbedRK"), QStringLiteral("Моля, въведете наименование!"))},
        // Receipt lines are read as they stand at the moment of the deletion,
        // a receipt saved since the program started included.
        .guards = {kit::Guard::inTable(QStringLiteral("RAZP RENTA"), QStringLiteral("ID_RK"),
                                       QStringLiteral("Използва се в разписка!"))},
    };
}

}  // namespace

TFRentaKult::TFRentaKult(TDM& dm, Prompter& prompter, QWidget* parent)
    : RegisterScreen(prompter, rentGoodsForm(dm), parent)
{
    protectDeliveredRow(*this);
    start();
}
