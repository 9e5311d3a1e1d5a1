#pragma once

#include "rent/receipt_number_dialog.h"

#include <functional>

namespace fb {
class Connection;
class Transaction;
class Value;
}  // namespace fb

class QButtonGroup;
class QLabel;

// The cash receipt of a payment ("Разписка"), opened by the payout screen's
// "Изплащане на остатъка" and the past-years screen's "Изплати рента".
//
//   TFRKO::appendPayment(dm);  // ID_HORA, SUMA, PREDSTRP and PMG set by the caller
//   TFRKO dialog(dm, prompter, this);
//   if (dialog.run()) find the payment by dialog.number();
//
// What must be stored together with the payment (the past-years row it
// settles) is handed in by storeAlongside(): it is written in the payment's
// own transaction before the commit, so that either both are kept or
// neither is.
//
// The dialog proposes the next number of the shared series when it is made
// and shows the amount; a payment of the current year (PMG not 1) is dated
// inside the farming year, one of past years on any day; the user gives number, date, payment method and
// recipient. "Запис" posts the payment and commits IBTRazpPari at once;
// "Отказ" (or Esc) cancels it and rolls IBTRazpPari back, so nothing of it
// remains. Either way TRKO is open again afterwards.
class TFRKO : public ReceiptNumberDialog {
    Q_OBJECT
public:
    TFRKO(TDM& dm, Prompter& prompter, QWidget* parent = nullptr);

    // Appends a new payment to dm.TRKO in a transaction begun now: a
    // snapshot begun before could not update a row another transaction has
    // changed since (the past-years row a payment taken back unlinked), and
    // what is stored alongside the payment must see the rows as they are.
    // fb::Error when the database fails.
    static void appendPayment(TDM& dm);

    // Shows the dialog modally; true when the payment was saved.
    bool run();
    // The number of the saved payment; 0 before one is saved.
    int number() const { return saved_; }
    // `step` runs after the payment is posted (its ID_RAZPPARI given) and
    // before IBTRazpPari commits, in that transaction. A database error it
    // throws is shown, nothing is committed and the dialog stays open:
    // "Запис" tries again, "Отказ" leaves neither the payment nor the step.
    using Alongside = std::function<void(fb::Connection&, fb::Transaction&, const fb::Value& payment)>;
    void storeAlongside(Alongside step) { alongside_ = std::move(step); }

    void reject() override;

protected:
    void save() override;

private:
    void buildPaymentRows();
    void storePayment(int number);

    QLabel* dbtRKOSuma;
    QButtonGroup* method_;
    int saved_ = 0;
    Alongside alongside_;
};
