#pragma once

#include "common/register_form.h"

#include <QHash>
#include <QWidget>

#include <vector>

class DateField;
class NumberField;
class QPushButton;

namespace dataset {
class Dataset;
}

// The edit panel of a register screen, built from its fields: each control
// with its label in the panel's grid and its binder to the row, "Запис" and
// "Отказ" after them, and the Tab key walking them as they are seen, row by
// row, left to right. It tells what its controls hold, for the checks.
//
// An editor's parts use it too: a group of header fields has no buttons (no
// `saveName`), a line's panel only its one button ending it (no `cancelName`,
// the caption `saveCaption`).
class RegisterPanel : public QWidget {
    Q_OBJECT
public:
    // `saveName` and `cancelName` name the "Запис" and "Отказ" buttons.
    RegisterPanel(const QString& name, dataset::Dataset& row, std::vector<kit::FieldSpec> fields,
                  const QString& saveName, const QString& cancelName, QWidget* parent = nullptr,
                  const QString& saveCaption = QStringLiteral("Запис"));

    // The panel's controls (and the buttons beside them) and its two
    // buttons, by their names.
    const QHash<QString, QWidget*>& controls() const { return controls_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    kit::PanelValues values() const;
    // The first date field holding a day that does not exist; null when none does.
    DateField* impossibleDate() const;
    // The first enabled number field holding what its domain refuses; null when none does.
    NumberField* refusedNumber() const;

signals:
    // The user left a date field holding a day that does not exist.
    void impossibleDateLeft();
    // The user left a number field holding what its domain refuses.
    void refusedNumberLeft(const QString& message);

private:
    QWidget* addControl(const kit::FieldSpec& spec);
    QWidget* addEdit(const kit::FieldSpec& spec);
    QWidget* addNumber(const kit::FieldSpec& spec);
    QWidget* addRadio(const kit::FieldSpec& spec);
    void addButtons(class QGridLayout* grid, int row, const QString& saveName, const QString& cancelName,
                    const QString& saveCaption, std::vector<QWidget*>& tabOrder);
    QPushButton* addButtonBeside(const kit::FieldSpec& spec);

    dataset::Dataset& row_;
    std::vector<kit::FieldSpec> fields_;
    QHash<QString, QWidget*> controls_;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
