#include "registers/lookup_lists.h"

#include "common/register_screen.h"
#include "dm/tdm.h"

namespace {

// What tells one lookup list from another.
struct LookupDescription {
    const char* kind;         // the window class
    const char* suffix;       // of the widgets' names
    const char* caption;      // the window's and the group's
    const char* columnTitle;  // the list's one column
    const char* label;        // beside the name edit
    const char* emptyName;    // "Запис" with an empty name
    const char* inUse;        // "Изтриване" of a value still used
    dataset::Dataset TDM::*list;
    const char* key;
    const char* name;
    dataset::Dataset TDM::*users;  // a second cursor over the using table
    EditFlow::Closing closing;
};

const LookupDescription kLists[] = {
    {"TFZasqtaKultura", "Kultura", "Засята култура", "Наименование", "Наименование:", "Моля, въведете наименование!",
     "Използва се в имот!", &TDM::TKULT, "ID_KULT", "NAIM_KULT", &TDM::TImotiDog, EditFlow::Closing::AskBeforeClosing},
    {"TFVidDokSobstv", "VidDok", "Вид документ за собственост", "Документ за собственост",
     "Вид:", "Моля, въведете наименование!", "Използва се в имот!", &TDM::TVDS, "ID_VDS", "NAIM_VDS", &TDM::TImotiDog,
     EditFlow::Closing::AskWhileClosing},
    {"TFDogTip", "DogTip", "Тип договор", "Тип договор", "Наименование:", "Моля, въведете наименование!",
     "Използва се в договор!", &TDM::TDogTip, "ID_DT", "TIP", &TDM::TDogDel, EditFlow::Closing::AskBeforeClosing},
    {"TFDogVid", "DogVid", "Вид договор", "Вид договор", "Вид:", "Моля, въведете вид на договора!",
     "Използва се в договор!", &TDM::TDogVid, "ID_VIDDOG", "NAIM_VD", &TDM::TDogDel,
     EditFlow::Closing::AskBeforeClosing},
};

kit::RegisterForm lookupForm(const LookupDescription& d, TDM& dm)
{
    const auto text = [](const char* t) { return QString::fromUtf8(t); };
    const QString suffix = QLatin1String(d.suffix);
    return {
        .kind = QLatin1String(d.kind),
        .caption = text(d.caption),
        .layout = kit::RegisterForm::Layout::CommandsBeside,
        .fixedSize = true,
        .modal = true,
        .list = {.grid = QStringLiteral("jvdbgrid") + suffix,
                 .group = text(d.caption),
                 .groupName = QStringLiteral("gb") + suffix,
                 .cursor = &(dm.*d.list),
                 .columns = {{QLatin1String(d.name), text(d.columnTitle)}},
                 .key = QLatin1String(d.key),
                 .visibleRows = 10},
        .cursor = &(dm.*d.list),
        .panel = QStringLiteral("panel") + suffix,
        .fields = {{.name = QStringLiteral("dbedNaim"),
                    .label = text(d.label),
                    .column = QLatin1String(d.name),
                    .labelName = QStringLiteral("labNaim")}},
        // A name of blanks counts as entered.
        .checks = {kit::Check::filled(QStringLiteral("dbedNaim"), text(d.emptyName))},
        .guards = {kit::Guard::inCursor(dm.*d.users, QLatin1String(d.key), text(d.inUse))},
        .closing = d.closing,
    };
}

}  // namespace

RegisterScreen* makeLookupList(LookupList list, TDM& dm, Prompter& prompter, QWidget* parent)
{
    auto* screen = new RegisterScreen(prompter, lookupForm(kLists[int(list)], dm), parent);
    screen->start();
    return screen;
}

void openLookupListFrom(QWidget* dropDown, LookupList list, TDM& dm, Prompter& prompter)
{
    runModally(makeLookupList(list, dm, prompter, dropDown->window()), dropDown);
}
