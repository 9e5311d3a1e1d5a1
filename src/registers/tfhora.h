#pragma once

#include "common/list_screen.h"
#include "dataset/transaction_area.h"
#include "registers/owner_picker.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class SortSwitch;
class TDM;

namespace hora {
struct Entries;
}

// The owners register ("Собственици"): the persons and companies who own
// land. The list QueryHora reads through the owners' transaction IBTHora;
// the edit panel works on the shared cursor THora with the province,
// municipality and settlement drop-downs over the shared geography cursors
// (choosing a province narrows the municipalities, a municipality the
// settlements) and a country drop-down over TCountry.
//
// Opened from the menu it is the registered owners register; the plot
// editor makes further instances of it as owner pickers (pickFor).
class TFHora : public ListScreen {
    Q_OBJECT
public:
    // `direction` is the run-long sort switch of the owners register.
    TFHora(TDM& dm, Prompter& prompter, SortSwitch& direction, QWidget* parent = nullptr);
    ~TFHora() override;

    // Makes this instance an owner picker for `client`: the pick's "Избери"
    // button is shown, and the list is positioned on `owner` when given.
    // Such an instance is not entered in the screen registry.
    void pickFor(OwnerPickerClient& client, OwnerPick pick, const fb::Value& owner = {});

protected:
    bool closeCheck() override;

private:
    void buildControls();
    QWidget* buildBrowsePart();
    QWidget* buildPanel();
    void bindPanel();
    void declareFlow();
    void fillPanel(bool adding);
    void placeGeography();
    void showForeignFlag();
    void selectCountry();
    bool editingRow() const;
    void placeChanged(int field);
    void focusMoved(QWidget* old, QWidget* now);
    void identifierLeft();
    void beforePost(EditFlow::Saving saving);
    hora::Entries entries() const;
    bool ownerHasRowsIn(dataset::Dataset& rows);
    void pickSelected();
    void moveOwnersTo(const fb::Value& owner);
    void closeWindow();

    TDM& dm_;
    // The list, read through the owners' transaction.
    dataset::Dataset QueryHora;
    // The delete guards look the owner up in the tables that refer to him
    // (shares, paid and unpaid rent of past years), under a read
    // transaction of their own that each lookup ends.
    dataset::TransactionArea IBTQuery2;
    dataset::Dataset IBQuery2, IBQueryOIR, IBQueryONR;

    ListGrid* list_ = nullptr;
    EditFlow* flow_ = nullptr;

    QPushButton* bitHoraDob = nullptr;
    QPushButton* bitHoraKor = nullptr;
    QPushButton* bitHoraDel = nullptr;
    std::array<QPushButton*, 4> pickButtons_{};
    QLineEdit* edFilterIme = nullptr;
    QLineEdit* edSearchEGN = nullptr;
    QWidget* panelHora = nullptr;
    QCheckBox* chbCHFL = nullptr;
    QComboBox* jvdblcCountry = nullptr;
    QLineEdit* dbedEGN = nullptr;
    QLineEdit* dbedIme = nullptr;
    QComboBox* jvdblcOblast = nullptr;
    QComboBox* jvdblcObshtina = nullptr;
    QComboBox* jvdblcGrad = nullptr;
    QPushButton* bitZapis = nullptr;
    QPushButton* bitOtkaz = nullptr;

    // Set while the panel is filled for an existing owner, so that showing
    // his province and municipality does not empty what lies below them.
    bool cascadeSwitch_ = false;
    // The province and municipality the panel shows, to tell a change.
    fb::Value province_, municipality_;
    bool leavingIdentifier_ = false;
    bool askingToClose_ = false;

    OwnerPickerClient* client_ = nullptr;
    OwnerPick pick_ = OwnerPick::AddShare;
};
