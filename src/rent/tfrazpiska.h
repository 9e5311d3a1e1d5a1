#pragma once

#include "rent/receipt_number_dialog.h"

// The number and date of a new goods receipt ("Въведете номер и дата на
// разписката"), opened by the payout screen's "Добавяне".
//
//   TFRazpiska dialog(dm, prompter, this);
//   switch (dialog.run(ownerId, representative)) { ... }
//
// run() proposes the next number of the shared series, shows the dialog
// modally and says how it ended:
// - Ok: a header with the owner, number, representative (PREDSTRS) and
//   date is posted in IBTRazp, not committed; dm.TRD is on it, in edit, for
//   the receipt panel;
// - No: the number was taken ("Разписка с такъв номер съществува!");
//   nothing was written;
// - Cancel: "Отказ" or Esc; nothing was written. The receipts transaction
//   is rolled back unless it holds a receipt another payout screen is
//   building, and TRD and TRR are open again.
// The date starts on today while today lies in the farming year, else on
// the year's last day; a date outside the year is kept only when the user
// says so. The dialog can run again; each run starts with a fresh proposal
// and date.
class TFRazpiska : public ReceiptNumberDialog {
    Q_OBJECT
public:
    enum class Result { Ok, No, Cancel };

    TFRazpiska(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

    Result run(int ownerId, const QString& representative);

    void reject() override;

protected:
    void save() override;

private:
    void postHeader(int number);

    int ownerId_ = 0;
    QString representative_;
    bool appended_ = false;  // TRD holds the header this run appended
};
