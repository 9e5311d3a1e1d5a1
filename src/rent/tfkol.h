#pragma once

#include "dataset/dataset.h"

#include <QDialog>

class Prompter;
class QComboBox;
class QLabel;
class NumberField;
class QPushButton;
class TDM;

// The quantity of one goods receipt line ("Въведете количество"), opened by
// the payout screen's ">>>" and the line "Корекция".
//
//   dm.TRR.append();  // or dm.TRR.edit() on the line; ID_VR, ID_DT, ID_ZEML set
//   TFKol dialog(dm, prompter, this);
//   if (dialog.run(ec, razl, rentType, dueGoods)) ...;
//
// `ec` is the due row's unit price, `razl` the rest still due on it,
// `rentType` the line's rent type (1 is money), `dueGoods` the name of the
// goods due on the row (its rent type's). The line may hand out its own
// quantity before the change plus that rest. A goods line takes whole
// units and names the goods handed out: a new line starts on the goods of
// that name, and other goods are handed out at the row's price only when
// the user says so ("Не" first). A money line takes decimals in the
// user's locale and points at the money pseudo-goods. "Запис" prices the
// line (STOINOST) and posts it in IBTRazp, not committed; run() then says
// true. "Отказ" (or Esc) cancels the line.
class TFKol : public QDialog {
    Q_OBJECT
public:
    TFKol(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

    bool run(double ec, double razl, int rentType, const QString& dueGoods);

    void reject() override;

private:
    void buildControls();
    void openGoods();
    void closeGoods();
    void addGoods();
    void startOnDueGoods();
    bool goodsKept();
    void save();
    bool isMoney() const { return rentType_ == 1; }

    TDM& dm_;
    Prompter& prompter_;
    // The goods that can be handed out (all but the money pseudo-goods).
    dataset::Dataset QueryRKult;
    NumberField* dbedKol;
    QLabel* labRKult;
    QComboBox* dblcbRKult;
    QPushButton* btnRKNew;
    double ec_ = 0;
    double razl_ = 0;
    double limit_ = 0;
    int rentType_ = 0;
    QString dueGoods_;
};
