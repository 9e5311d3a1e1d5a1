#include "registers/tfviddoksobstv.h"

#include "dm/tdm.h"

TFVidDokSobstv::TFVidDokSobstv(TDM& dm, Prompter& prompter, QWidget* parent)
    : LookupList(prompter,
                 {.name = QStringLiteral("VidDok"),
                  .caption = QStringLiteral("Вид документ за собственост"),
                  .columnTitle = QStringLiteral("Документ за собственост"),
                  .label = QStringLiteral("Вид:"),
                  .emptyName = QStringLiteral("Моля, въведете наименование!"),
                  .inUse = QStringLiteral("Използва се в имот!"),
                  .list = dm.TVDS,
                  .keyField = QStringLiteral("ID_VDS"),
                  .nameField = QStringLiteral("NAIM_VDS"),
                  .users = dm.TImotiDog,
                  .usersField = QStringLiteral("ID_VDS"),
                  .closing = EditFlow::Closing::AskWhileClosing},
                 parent)
{
    setObjectName(QStringLiteral("TFVidDokSobstv"));
}
