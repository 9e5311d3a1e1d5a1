#include "registers/tfdogvid.h"

#include "dm/tdm.h"

TFDogVid::TFDogVid(TDM& dm, Prompter& prompter, QWidget* parent)
    : LookupList(prompter,
                 {.name = QStringLiteral("DogVid"),
                  .caption = QStringLiteral("Вид договор"),
                  .columnTitle = QStringLiteral("Вид договор"),
                  .label = QStringLiteral("Вид:"),
                  .emptyName = QStringLiteral("Моля, въведете вид на договора!"),
                  .inUse = QStringLiteral("Използва се в договор!"),
                  .list = dm.TDogVid,
                  .keyField = QStringLiteral("ID_VIDDOG"),
                  .nameField = QStringLiteral("NAIM_VD"),
                  .users = dm.TDogDel,
                  .usersField = QStringLiteral("ID_VIDDOG"),
                  .closing = EditFlow::Closing::AskBeforeClosing},
                 parent)
{
    setObjectName(QStringLiteral("TFDogVid"));
}
