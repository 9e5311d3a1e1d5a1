#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class DateField;
class Prompter;
class QFormLayout;
class NumberField;
class TDM;

// What the two receipt number dialogs (the goods receipt's and the cash
// payment's) have in common: a number box that takes only the digits 0 to
// 9 and Backspace, a date field set to today, the proposal from the shared
// number series, and the reading of what was typed. The dialog below adds
// its own rows to form() and then calls finish() for "Запис" and "Отказ".
class ReceiptNumberDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString name;          // the object name: "TFRKO"
        QString caption;       // "Разписка"
        QString numberName;    // "edRKONo"
        QString numberLabel;   // "Номер:"
        QString dateName;      // "jvdeRKO"
        QString dateLabel;     // "Дата"
        QString emptyMessage;  // "Моля, въведете номер на разписката!"
    };

protected:
    ReceiptNumberDialog(TDM& dm, Prompter& prompter, const Texts& texts, QWidget* parent);

    QFormLayout* form() const { return form_; }
    // The button row under the rows the dialog added; "Запис" runs save().
    void finish();
    virtual void save() = 0;

    // Fills the number box from the series; a database error is shown and
    // leaves the box as it was.
    void proposeNumber();
    // The number typed, or nothing after saying why there is none: the box
    // is empty, the number is 0 or does not fit the number columns, or the
    // date field holds a date that does not exist.
    std::optional<int> typedNumber();

    TDM& dm_;
    Prompter& prompter_;
    NumberField* numberEdit_;
    DateField* dateField_;

private:
    QString emptyMessage_;
    QFormLayout* form_;
};
