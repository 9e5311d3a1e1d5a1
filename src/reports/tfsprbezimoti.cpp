#include "reports/tfsprbezimoti.h"

#include "dm/tdm.h"

namespace {

// An owner whose shares were all deleted is listed as well as one who never
// had any. "Without a share" is asked of the shares' index owner by owner:
// the rows of an outer join of the shares kept where none joined, several
// times faster than that join on 250,000 shares.
kit::RegisterForm ownersWithoutPlotsForm(TDM& dm, SortSwitch& direction)
{
    return {
        .kind = QStringLiteral("TFSprbezimoti"),
        .caption = QStringLiteral("Справка на Собственик без имоти"),
        .list = {.grid = QStringLiteral("jvdbgridSprSobstvImoti"),
                 .query = QStringLiteral("Query1"),
                 .areaName = QStringLiteral("IBTQ1"),
                 .statement = {.base = {QStringLiteral("select distinct hora.egn, hora.ime from hora where not exists "
                                                       "(select 1 from sobstv where sobstv.id_hora = hora.id_hora)")},
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
