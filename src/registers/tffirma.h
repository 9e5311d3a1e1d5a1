#pragma once

#include "common/register_screen.h"

class QComboBox;
class QLineEdit;
class TDM;

// The firm settings ("Фирма"): the one FIRMA row, with the current farming
// year every rent and declaration query counts by. The row is being edited
// for as long as the screen is open, through the shared cursor TFirma under
// IBTFirma; an empty table starts a new row, which the first save inserts.
// The seat and the kind of producer are chosen by moving the shared cursors
// TOblast, TObshtina, TNasmqsto and TVZP; a save copies their keys in.
// "Запис" and "Отказ" end the edit and close; any other close asks first.
//
// What the description cannot say lives here: the firm's own seat and kind
// shown on opening, a natural person without a name, the drop-downs below a
// moved one emptied, and the VAT number proposed from the identifier.
class TFFirma : public RegisterScreen {
    Q_OBJECT
public:
    TFFirma(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

protected:
    void controlEntered(QWidget* control) override;
    void aboutToClose() override;

private:
    void showSeatAndKind();
    void applyKind();
    void provinceMoved();
    void municipalityMoved();
    void copySeatAndKind();

    TDM& dm_;
    QComboBox* jvdblcbVZP;
    QLineEdit* dbedEIN;
    QLineEdit* dbedINDDS;
    QLineEdit* dbedNaim;
    QComboBox* jvdblcbOblast;
    QComboBox* jvdblcbObshtina;
    QComboBox* jvdblcNM;
    bool closing_ = false;
    bool placing_ = false;  // the firm's own seat and kind are being shown
};
