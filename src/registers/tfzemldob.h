#pragma once

#include "fb/value.h"

#include <QDialog>

class Prompter;
class QComboBox;
class TDM;

namespace dataset {
class Dataset;
}

// The cadastral-area dialog ("Области, Общини, Населени места"): province,
// municipality and settlement picked in turn, each list offering only the
// children of the choice above it (the pickers move the data module's
// linked geography cursors). It edits the row the land browser left pending
// in TZemlishte (a new one, or the selected area in edit) and stores it
// under the area transaction IBTZeml, one settlement one area.
class TFZemldob : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    TFZemldob(TDM& dm, Prompter& prompter, Mode mode, QWidget* parent = nullptr);

    // The ID_ZEML of the stored row; after "Отказ", the edited area's (none
    // for a new one).
    fb::Value result() const { return result_; }

    // "Отказ", also by Esc: the pending change goes, the transaction rolls back.
    void reject() override;

private:
    void showRow();
    void provinceChosen(int index);
    void municipalityChosen(int index);
    void settlementChosen(int index);
    void save();

    TDM& dm_;
    Prompter& prompter_;
    QComboBox* jvdblcOblast;
    QComboBox* jvdblcObshtina;
    QComboBox* jvdblcGrad;
    fb::Value result_;
};
