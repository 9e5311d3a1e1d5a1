#pragma once

#include "common/number_dialog.h"

class TDM;

// The contract number dialog ("Въведете номер на договор"): a new contract
// with the typed number and the firm's id is made here, posted inside the
// contract transaction IBTDog and not committed; a number some contract
// already has opens that contract instead. Accepted, the shared contract
// cursor TDogovor is on the contract in edit for the contract editor;
// "Отказ" rolls the contract transaction back and leaves no trace.
class TFDogNomer : public NumberDialog {
    Q_OBJECT
public:
    // `proposal` is put into the edit (empty: none).
    TFDogNomer(TDM& dm, Prompter& prompter, const QString& proposal, QWidget* parent = nullptr);

protected:
    bool findRow(const QString& number) override;
    void makeRow(const QString& number) override;
    void undo() override;

private:
    TDM& dm_;
};
