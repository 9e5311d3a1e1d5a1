#pragma once

#include "common/register_screen.h"
#include "registers/owner_picker.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class SortSwitch;
class TDM;

// The owners register ("Собственици"): the persons and companies who own
// land. The list QueryHora reads its first rows in a read transaction of
// its own and the rest as the grid scrolls; the edit panel works on the shared cursor THora with the province,
// municipality and settlement drop-downs over the shared geography cursors
// (choosing a province narrows the municipalities, a municipality the
// settlements) and a country drop-down over TCountry.
//
// What the description cannot say lives here: the geography cascade, the
// identifier's warning and the switch to the owner who already has it, the
// foreign-person flag and country, and the picker mode.
//
// Opened from the menu it is the registered owners register; the plot
// editor makes further instances of it as owner pickers (pickFor).
class TFHora : public RegisterScreen {
    Q_OBJECT
public:
    // `direction` is the run-long sort switch of the owners register.
    TFHora(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent = nullptr);

    // The owners list QueryHora: the owners with their place and country.
    static const ListStatement& queryHora();

    // Makes this instance an owner picker for `client`: the pick's "Избери"
    // button is shown, and the list is positioned on `owner` when given.
    // Such an instance is not entered in the screen registry.
    void pickFor(OwnerPickerClient& client, OwnerPick pick, const fb::Value& owner = {});

protected:
    void controlLeft(QWidget* control) override;
    bool closeCheck() override;

private:
    void addPickButtons();
    void fillPanel(bool adding);
    void placeGeography();
    void showForeignFlag();
    void selectCountry();
    bool editingRow() const;
    void placeChanged(int field);
    void identifierLeft();
    void beforePost(EditFlow::Saving saving);
    void pickSelected();
    void moveOwnersTo(const fb::Value& owner);

    TDM& dm_;
    std::array<QPushButton*, 4> pickButtons_{};
    QCheckBox* chbCHFL;
    QComboBox* jvdblcCountry;
    QLineEdit* dbedEGN;
    QComboBox* jvdblcOblast;
    QComboBox* jvdblcObshtina;
    QComboBox* jvdblcGrad;

    // Set while the panel is filled for an existing owner, so that showing
    // his province and municipality does not empty what lies below them.
    bool cascadeSwitch_ = false;
    // The province and municipality the panel shows, to tell a change.
    fb::Value province_, municipality_;
    bool askingToClose_ = false;

    OwnerPickerClient* client_ = nullptr;
    OwnerPick pick_ = OwnerPick::AddShare;
};
