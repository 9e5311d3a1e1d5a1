#pragma once

#include <QDialog>

class Prompter;
class QComboBox;
class NumberField;
class TDM;

// The category dialog ("Категория"): one category row of the edited plot,
// the pending new row or the selected row in edit, in the shared category
// cursor TKategoriq. "Запис" posts it inside the plot transaction; a
// category the plot already has ends the dialog with the change discarded.
class TFKatdob : public QDialog {
    Q_OBJECT
public:
    TFKatdob(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void categoryChosen(int index);
    void save();

    TDM& dm_;
    Prompter& prompter_;
    QComboBox* cbKat;
    NumberField* edPlosht;
};
