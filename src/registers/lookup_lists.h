#pragma once

class Prompter;
class QWidget;
class RegisterScreen;
class TDM;

// The simple lookup lists: a one-column list of names over the data
// module's shared cursor (so the editors' drop-downs over that cursor offer
// a saved name at once), "Добавяне", "Корекция", "Изтриване", "Изход", an
// edit panel for the name, and a guard that refuses to delete a value a
// row of the using table still holds. Each opens modally from the button
// beside its editor's drop-down.
//
// Widgets: the grid `jvdbgrid<suffix>` in the group `gb<suffix>`, the
// buttons `bitDob`, `bitKor`, `bitDel`, `bitExit`, the panel
// `panel<suffix>` with the label `labNaim`, the edit `dbedNaim` and the
// buttons `bitZapis`, `bitOtkaz`.
enum class LookupList {
    SownCrops,      // TFZasqtaKultura, KULTURA
    DocumentKinds,  // TFVidDokSobstv, VIDDOKSOBSTV
    ContractTypes,  // TFDogTip, DOGTIP
    ContractKinds,  // TFDogVid, VID_DOG
};

RegisterScreen* makeLookupList(LookupList list, TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

// Opens the list modally from the button beside an editor's drop-down and
// waits until it closes; then the editor's window is active again and the
// drop-down has the focus, offering what was added.
void openLookupListFrom(QWidget* dropDown, LookupList list, TDM& dm, Prompter& prompter);
