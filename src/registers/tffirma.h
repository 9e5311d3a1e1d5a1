#pragma once

#include "common/screen.h"

#include <QString>

class Prompter;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class TDM;

namespace firma {
struct Entries;
}

// The firm settings ("Фирма"): the one FIRMA row, with the current farming
// year every rent and declaration query counts by. The row is being edited
// for as long as the screen is open, through the shared cursor TFirma under
// IBTFirma; an empty table starts a new row, which the first save inserts.
// The seat and the kind of producer are chosen by moving the shared cursors
// TOblast, TObshtina, TNasmqsto and TVZP; a save copies their keys in.
// "Запис" and "Отказ" end the edit and close; any other close asks first.
class TFFirma : public Screen {
    Q_OBJECT
public:
    TFFirma(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);
    ~TFFirma() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool closeCheck() override;
    void aboutToClose() override;

private:
    void buildControls();
    void bindControls();
    void FormShow();
    void showSeatAndKind();
    void applyKind();
    void provinceMoved();
    void municipalityMoved();
    void focusMoved(QWidget* old, QWidget* now);
    bool leaveCheckFails(QWidget* old, QWidget* now);
    void bitZapisClick();
    void bitOtkazClick();
    bool saveChecks();
    bool store();
    void keepEditingAfterFailedCommit();
    void discard();
    void reopenFirma();
    void closeWindow();
    firma::Entries entries() const;

    TDM& dm_;
    Prompter& prompter_;

    QComboBox* jvdblcbVZP = nullptr;
    QLineEdit* dbedEIN = nullptr;
    QLineEdit* dbedINDDS = nullptr;
    QLineEdit* dbedNaim = nullptr;
    QLineEdit* dbedMOL = nullptr;
    QLineEdit* dbedMOLEGN = nullptr;
    QLineEdit* dbedFDNo = nullptr;
    QLineEdit* dbedSyd = nullptr;
    QComboBox* jvdblcbOblast = nullptr;
    QComboBox* jvdblcbObshtina = nullptr;
    QComboBox* jvdblcNM = nullptr;
    QLineEdit* dbedAdres = nullptr;
    QLineEdit* dbedPK = nullptr;
    QLineEdit* dbedTel = nullptr;
    QLineEdit* dbedMobTel = nullptr;
    QLineEdit* dbedFaks = nullptr;
    QLineEdit* dbedEmail = nullptr;
    QDateEdit* jvdbedFromYear = nullptr;
    QDateEdit* jvdbedToYear = nullptr;
    QPushButton* bitZapis = nullptr;
    QPushButton* bitOtkaz = nullptr;

    bool opened_ = false;    // the row is in edit and the drop-downs are placed
    bool checking_ = false;  // a leave check is returning the focus
    bool closing_ = false;
};
