#pragma once

#include "common/list_screen.h"

class QLineEdit;

// The small window every simple lookup list is shown in: a one-column list
// of the names in a group, "Добавяне", "Корекция", "Изтриване", "Изход",
// and an edit panel for the name with "Запис" and "Отказ". It works on the
// data module's shared cursor of the list, so the editors' drop-downs over
// that cursor offer a saved name at once, and it refuses to delete a value
// that a row of the using table still holds.
//
// Widgets: the grid `jvdbgrid<name>` in the group `gb<name>`, the buttons
// `bitDob`, `bitKor`, `bitDel`, `bitExit`, the panel `panel<name>` with the
// label `labNaim`, the edit `dbedNaim` and the buttons `bitZapis`, `bitOtkaz`.
class LookupList : public ListScreen {
    Q_OBJECT
public:
    struct Spec {
        QString name;         // the widgets' suffix: "Kultura"
        QString caption;      // the window's and the group's
        QString columnTitle;  // the list's one column
        QString label;        // beside the name edit
        QString emptyName;    // "Запис" with an empty name
        QString inUse;        // "Изтриване" of a value still used
        dataset::Dataset& list;
        QString keyField;
        QString nameField;
        dataset::Dataset& users;  // a second cursor over the using table
        QString usersField;       // the column there that holds the key
        EditFlow::Closing closing;
    };

    LookupList(Prompter& prompter, const Spec& spec, QWidget* parent = nullptr);

    EditFlow& flow() const { return *flow_; }

private:
    QWidget* makePanel(const Spec& spec);

    EditFlow* flow_ = nullptr;
    QLineEdit* name_ = nullptr;
};
