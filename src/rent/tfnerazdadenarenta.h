#pragma once

#include "common/register_screen.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "report_engine/report_project.h"

class SortSwitch;
class TDM;

namespace reports {
class OutputChooser;
}

// Rent of past years ("Списък за рента от минали години"): the rows of ONR
// that the year closings carried over, one per owner and closed year, with
// the owner, the areas, the amount, the years and the cash payment that
// settled the row, read by QuerySobstvNR under IBTQSNR. Four combined
// filters (the name anywhere, the paid mark, the two years as prefixes),
// sorting by a title that keeps the filter, the identifier search from the
// top and the totals of the rows shown.
//
// "Изплати рента" pays an unpaid row in cash through the cash receipt
// dialog, as a payment of past years (PMG 1) linked into the row in the
// payment's own transaction; "Изтриване на плащането" deletes a row's
// payment and unlinks it, again in one transaction. "Разписка" prints the
// row's own payment (Razpiska_pari_MG.rav), "Печат" the list as shown
// (SpisykNR.rav).
class TFNerazdadenaRenta : public RegisterScreen {
    Q_OBJECT
public:
    // `direction` is the list's run-long sort switch (first ascending);
    // `outputs` answers where a print goes.
    TFNerazdadenaRenta(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, SortSwitch& direction,
                       QWidget* parent = nullptr);

    // QuerySobstvNR: the rows shown.
    dataset::Dataset& rows() const { return list()->rows(); }

protected:
    void becameActive() override;
    void aboutToClose() override;

private:
    void rowChanged();
    void pay();
    void openRowsPayment();
    void takePaymentBack();
    void printReceipt();
    // The list read again with fresh data, back on the row `idOnr`.
    void rereadOn(const fb::Value& idOnr);

    TDM& dm_;
    // The screen's own cursor on the cash payments: the payment of the
    // current row, which "Разписка" prints and "Изтриване на плащането" finds.
    dataset::TransactionArea IBTRKO;
    dataset::Dataset TRKO;
    reports::ReportProject SpisykNR, Razpiska;
    // Set from the read as the screen is made until the event loop runs again.
    bool freshlyRead_ = true;
};
