#pragma once

#include <QDialog>
#include <QString>

#include "rent/farming_year.h"

#include <optional>

class DateField;
class Prompter;
class QFormLayout;
class NumberField;
class TDM;

// What the two receipt number dialogs (the goods receipt's and the cash
// payment's) have in common: a number box that takes only the digits 0 to
// 9 and Backspace, a date field set to today, the proposal from the shared
// number series, the farming year the date keeps to, and the reading of
// what was typed. The dialog below adds
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
    // A receipt of the current year: the date starts on today while today
    // lies in the farming year, else on the year's last day, and a date
    // outside the year is kept only when the user says so ("Не" first). A
    // database error is shown and leaves the date unbound to the year.
    void keepToFarmingYear();
    // The number typed, or nothing after saying why there is none: the box
    // is empty, the number is 0 or does not fit the number columns, the
    // date field holds a date that does not exist, or a date outside the
    // farming year was not to be kept.
    std::optional<int> typedNumber();

    TDM& dm_;
    Prompter& prompter_;
    NumberField* numberEdit_;
    DateField* dateField_;

private:
    bool dateKept();

    QString emptyMessage_;
    std::optional<rent::FarmingYear> year_;
    QFormLayout* form_;
};
