#pragma once

#include "common/number_dialog.h"

class TDM;

// The plot number dialog ("Въведете номер на имот"): a new plot of the
// current locality is made here, posted inside the plot transaction IBTImot
// (which the land browser started) and not committed; a number the locality
// already has opens that plot instead. Accepted, the shared plot cursor
// TZemq is in edit on the plot for the plot editor; "Отказ" rolls the plot
// transaction back and leaves no trace.
class TFNomerImot : public NumberDialog {
    Q_OBJECT
public:
    TFNomerImot(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

protected:
    bool findRow(const QString& number) override;
    void makeRow(const QString& number) override;
    void undo() override;

private:
    TDM& dm_;
};
