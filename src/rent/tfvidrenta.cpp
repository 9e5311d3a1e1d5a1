#include "rent/tfvidrenta.h"

#include "dm/tdm.h"
#include "rent/protected_rows.h"

namespace {

const QString kFillAll = QStringLiteral("Моля, попълнете всички данни!");

kit::RegisterForm rentTypesForm(TDM& dm)
{
    const QString name = QStringLiteral("dbedVRNaim");
    const QString unit = QStringLiteral("dbedVRME");
    return {
        .kind = QStringLiteral("TFVidRenta"),
        .caption = QStringLiteral("Вид рента"),
        .list = {.grid = QStringLiteral("jvdbgridVidRenta"),
                 .group = {},
                 .cursor = &dm.TVidRenta,
                 .columns = {{QStringLiteral("NAIM_VR"), QStringLiteral("Наименование")},
                             {QStringLiteral("ME"), QStringLiteral("Мерна ед.")}},
                 .key = QStringLiteral("ID_VR"),
                 .visibleRows = 10},
        .commands = {.add = QStringLiteral("bitVRDob"),
                     .correct = QStringLiteral("bitVRKor"),
                     .remove = QStringLiteral("bitVRDel")},
        .cursor = &dm.TVidRenta,
        .panel = QStringLiteral("panelVidRenta"),
        .fields = {{.name = name, .label = QStringLiteral("Наименование:"), .column = QStringLiteral("NAIM_VR")},
                   {.name = unit,
                    .label = QStringLiteral("Мерна единица:"),
                    .column = QStringLiteral("ME"),
                    .row = 1,
                    .minimumWidth = 10}},
        // The name first, then the unit: the one message for both.
        .checks = {kit::Check::filled(name, kFillAll), kit::Check::filled(unit, kFillAll)},
        // Rule lines are read as they stand at the moment of the deletion;
        // receipts that name the type do not keep it.
        .guards = {kit::Guard::inTable(QStringLiteral("VIDRENTAKOL"), QStringLiteral("ID_VRK"),
                                       QStringLiteral("Използва се в правило!"))},
    };
}

}  // namespace

TFVidRenta::TFVidRenta(TDM& dm, Prompter& prompter, QWidget* parent)
    : RegisterScreen(prompter, rentTypesForm(dm), parent)
{
    protectDeliveredRow(*this);
    start();
}
