#pragma once

#include "dataset/domain.h"

#include <QDialog>
#include <QString>

#include <optional>

class Prompter;
class QLineEdit;

namespace dataset {
class Dataset;
}

// The small dialog that asks for the number of a new row (a plot of a
// locality, a contract): digits only, at most `length` of them, focused on
// opening. "Запис" with nothing typed says `emptyMessage` and stays; a
// number some row already has says `existsMessage` and takes that row
// instead; otherwise the screen's makeRow() posts a new row, uncommitted.
// Either way the row is left in edit in `cursor` for the editor that opens
// next, and the dialog is accepted. "Отказ" (and a database error, which is
// shown and keeps the dialog) leaves it to the screen's undo() to take back
// what was written.
class NumberDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString name;     // the object name: "TFDogNomer"
        QString caption;  // "Въведете номер на договор"
        QString label;    // "Договор №:"
        QString emptyMessage;
        QString existsMessage;
        int length = 6;
        // The values the number takes ("0" is no contract number); none: any digits.
        std::optional<dataset::Domain> domain = {};
    };
    NumberDialog(Prompter& prompter, dataset::Dataset& cursor, const Texts& texts, QWidget* parent = nullptr);

    void reject() override;
    QLineEdit* numberEdit() const { return edNomer; }

protected:
    Prompter& prompter() const { return prompter_; }
    // Moves the cursor to the row with this number; false when there is none.
    virtual bool findRow(const QString& number) = 0;
    // Posts a new row with this number (and whatever else it is born with).
    virtual void makeRow(const QString& number) = 0;
    // Takes back what the dialog wrote and reads the cursors again.
    virtual void undo() = 0;

private:
    void save();

    Prompter& prompter_;
    dataset::Dataset& cursor_;
    Texts texts_;
    QLineEdit* edNomer;
};
