#pragma once

#include "common/register_screen.h"
#include "registers/tfdognew.h"

#include <QPointer>

class SortSwitch;
class TDM;

// The contracts register ("Договор"): every lease contract with its dates,
// kind, type, state and certification data, read by QueryDogovor under a
// read transaction of its own; the door to the contract editor.
//
// "Добавяне" asks for the new contract's number in the number dialog (the
// number after the last made contract's proposed) and opens the editor on
// the contract it made or found; "Корекция" opens the editor on the
// selected contract; "Изтриване" deletes through the kit's flow over the
// shared cursor TDogovor, whose lines go with it. One contract is edited at
// a time.
//
// The register remembers the number of the contract last made or opened
// from it, and selects it again whenever its window becomes active (as when
// the editor closes), after reading the list again.
class TFDogovor : public RegisterScreen {
    Q_OBJECT
public:
    // `direction` is the register's run-long sort switch (first descending).
    TFDogovor(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent = nullptr);

    // The number the register selects when it becomes active; empty for none.
    const QString& rememberedNumber() const { return remembered_; }
    // The open contract editor, when there is one.
    TFDogNew* editor() const { return editor_; }

protected:
    void becameActive() override;

private:
    void addContract();
    void correctContract();
    bool editorOpen();
    void openEditor(bool correcting);
    QString proposedNumber();

    TDM& dm_;
    QString remembered_;
    QPointer<TFDogNew> editor_;
};
