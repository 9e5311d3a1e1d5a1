#include "registers/tfdogtip.h"

#include "dm/tdm.h"

TFDogTip::TFDogTip(TDM& dm, Prompter& prompter, QWidget* parent)
    : LookupList(prompter,
                 {.name = QStringLiteral("DogTip"),
                  .caption = QStringLiteral("Тип договор"),
                  .columnTitle = QStringLiteral("Тип договор"),
                  .label = QStringLiteral("Наименование:"),
                  .emptyName = QStringLiteral("Моля, въведете наименование!"),
                  .inUse = QStringLiteral("Използва се в договор!"),
                  .list = dm.TDogTip,
                  .keyField = QStringLiteral("ID_DT"),
                  .nameField = QStringLiteral("TIP"),
                  .users = dm.TDogDel,
                  .usersField = QStringLiteral("ID_DT"),
                  .closing = EditFlow::Closing::AskBeforeClosing},
                 parent)
{
    setObjectName(QStringLiteral("TFDogTip"));
}
