#include "reports/tfsprbezimoti.h"

#include "dm/tdm.h"

namespace {

// An owner whose shares were all deleted is listed as well as one who never had any.
kit::RegisterForm ownersWithoutPlotsForm(TDM& dm, SortSwitch& direction)
{
    return {
        .kind = QStringLiteral("TFSprbezimoti"),
        .caption = QStringLiteral("Справка на Собственик без имоти"),
        .list = {.grid = QStringLiteral("jvdbgridSprSobstvImoti"),
                 .query = QStringLiteral("Query1"),
                 .areaName = QStringLiteral("IBTQ1"),
                 .statement = {.base = {QStringLiteral(
                                   "select distinct hora.egn, hora.ime from sobstv "
                                   "right join hora on hora.id_hora = sobstv.id_hora where sobstv.id_hora is null")},
                               .defaultOrder = {QStringLiteral(" order by "), QStringLiteral("hora.egn, hora.ime")}},
                 .columns = {{QStringLiteral("EGN"), QStringLiteral("ЕГН/ЕИН")},
                             {QStringLiteral("IME"), QStringLiteral("Име/Наименование")}},
                 .key = {},
                 .sort = SortForm::rebuiltFromBase(),
                 .direction = &direction},
        .commands = {.add = {}, .correct = {}, .remove = {}},
        .database = &dm.IBDatabase1,
    };
}

}  // namespace

TFSprbezimoti::TFSprbezimoti(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent)
    : RegisterScreen(prompter, ownersWithoutPlotsForm(dm, direction), parent)
{
    start();
}
