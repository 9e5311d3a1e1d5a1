#pragma once

#include <QDialog>

class Prompter;
class QLineEdit;
class TDM;

// The plot number dialog ("Въведете номер на имот"): a new plot of the
// current locality is made here, posted inside the plot transaction IBTImot
// (which the land browser started) and not committed; a number the locality
// already has opens that plot instead. Accepted, the shared plot cursor
// TZemq is in edit on the plot for the plot editor; "Отказ" rolls the plot
// transaction back and leaves no trace.
class TFNomerImot : public QDialog {
    Q_OBJECT
public:
    TFNomerImot(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

    void reject() override;

private:
    void save();

    TDM& dm_;
    Prompter& prompter_;
    QLineEdit* edNomer;
};
