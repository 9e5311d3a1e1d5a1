#include "registers/tfzasqtakultura.h"

#include "dm/tdm.h"

TFZasqtaKultura::TFZasqtaKultura(TDM& dm, Prompter& prompter, QWidget* parent)
    : LookupList(prompter,
                 {.name = QStringLiteral("Kultura"),
                  .caption = QStringLiteral("Засята култура"),
                  .columnTitle = QStringLiteral("Наименование"),
                  .label = QStringLiteral("Наименование:"),
                  .emptyName = QStringLiteral("Моля, въведете наименование!"),
                  .inUse = QStringLiteral("Използва се в имот!"),
                  .list = dm.TKULT,
                  .keyField = QStringLiteral("ID_KULT"),
                  .nameField = QStringLiteral("NAIM_KULT"),
                  .users = dm.TImotiDog,
                  .usersField = QStringLiteral("ID_KULT"),
                  .closing = EditFlow::Closing::AskBeforeClosing},
                 parent)
{
    setObjectName(QStringLiteral("TFZasqtaKultura"));
}
