#pragma once

#include "fb/value.h"

#include <QObject>
#include <QPointer>

#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace dataset {

class Dataset;
class DatasetModel;
class Field;

// A line edit that takes nothing but the digits 0 to 9, typed or pasted;
// backspace and delete still work.
void setDigitsOnly(QLineEdit* edit);

// Small, dumb links between edit widgets and fields: a binder shows the
// field of the current row (or of the row being edited) and writes what the
// user changes into it. Rules belong to the screens, which wire them.
// Each binder is a child of its widget and lives as long as it does.

// Common part: the dataset and the field's name, looked up on each use.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    FieldBinder(QObject* widget, Dataset& dataset, const QString& field);

protected:
    Field* field() const;
    // Writes the user's value; false when the dataset cannot take it now.
    bool write(const fb::Value& value);
    virtual void show() = 0;
    void follow();

    QPointer<Dataset> dataset_;
    QString fieldName_;
    bool showing_ = false;
};

// A line edit over a field: its maximum length is the column's, and with
// `digitsOnly` it takes nothing but the digits 0 to 9 (and backspace).
class LineEditBinder : public FieldBinder {
    Q_OBJECT
public:
    LineEditBinder(QLineEdit* edit, Dataset& dataset, const QString& field, bool digitsOnly = false);

private:
    void show() override;
    QLineEdit* edit_;
};

// A label showing a field as a grid shows it; it writes nothing.
class LabelBinder : public FieldBinder {
    Q_OBJECT
public:
    LabelBinder(QLabel* label, Dataset& dataset, const QString& field);

private:
    void show() override;
    QLabel* label_;
};

// A line edit with the field's edit mask: a date ("!99/99/0000;1;_") or a
// masked text such as the plot identifier. A blank mask stores NULL.
class MaskEditBinder : public FieldBinder {
    Q_OBJECT
public:
    MaskEditBinder(QLineEdit* edit, Dataset& dataset, const QString& field);

private:
    void show() override;
    void store();
    QLineEdit* edit_;
};

// A check box that stores one value when ticked and another when not.
class CheckBoxBinder : public FieldBinder {
    Q_OBJECT
public:
    CheckBoxBinder(QCheckBox* box, Dataset& dataset, const QString& field, fb::Value checked, fb::Value unchecked);

private:
    void show() override;
    QCheckBox* box_;
    fb::Value checked_, unchecked_;
};

// A group of radio buttons: the button with id i stores values[i].
class RadioGroupBinder : public FieldBinder {
    Q_OBJECT
public:
    RadioGroupBinder(QButtonGroup* group, Dataset& dataset, const QString& field, std::vector<fb::Value> values);

private:
    void show() override;
    QButtonGroup* group_;
    std::vector<fb::Value> values_;
};

// A drop-down over a list dataset: item i is row i, showing `displayField`.
// Bound to a field, it shows the row whose `keyField` equals the field and
// stores the chosen row's key; unbound, it shows the list's current row.
// Either way choosing an item moves the list to that row (so the details of
// the list follow). Backspace empties it (and the bound field).
class LookupComboBinder : public QObject {
    Q_OBJECT
public:
    LookupComboBinder(QComboBox* combo, Dataset& list, const QString& keyField, const QString& displayField,
                      Dataset* bound = nullptr, const QString& boundField = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void show();
    void choose(int index);

    QComboBox* combo_;
    QPointer<Dataset> list_;
    QString keyField_, displayField_;
    QPointer<Dataset> bound_;
    QString boundField_;
    bool showing_ = false;
};

// Keeps a grid's current row and its dataset's current row together.
class GridBinder : public QObject {
    Q_OBJECT
public:
    GridBinder(QTableView* view, DatasetModel& model);

private:
    void showCurrent();
    void fitColumns(const DatasetModel& model);
    QTableView* view_;
    QPointer<Dataset> dataset_;
    bool moving_ = false;
    bool fitted_ = false;
};

}  // namespace dataset
