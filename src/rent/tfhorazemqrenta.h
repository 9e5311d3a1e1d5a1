#pragma once

#include "common/list_screen.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "report_engine/report_project.h"
#include "rent/rest_to_receive.h"

#include <QPointer>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class TDM;

namespace reports {
class OutputChooser;
}

// The owner's payout screen ("Досие на собственик"). It has no owner of its
// own: it shows the rent list's current owner and follows that row (but
// not while a goods receipt is being built: then it stays with the
// receipt's owner, whom the receipt panel's caption names), with
// the owner's counting plots (QueryPritImoti), the rent due per rent type
// (QueryPolR), what was handed out (QueryIzplatenaRenta), the goods receipts
// (QueryOpisRD) and cash payments (QueryOpisRKO) of the year, and the rest
// to receive, shared with every other payout screen.
//
// A goods receipt is built in the receipt panel: the header and its lines
// are posted in the data module's TRD/TRR under IBTRazp and stay
// uncommitted until "Запис" (or go with "Отказ"); the due rows (QueryRPR)
// and the receipt's lines (QueryRealR) are read in that same transaction, so
// the lines being added already lower the rest of their rows. A cash
// payment of the whole rest is written and committed by the cash receipt
// dialog.
class TFHoraZemqRenta : public ListScreen {
    Q_OBJECT
public:
    // `owners` is the rent list's query, whose current row the screen shows.
    TFHoraZemqRenta(TDM& dm, Prompter& prompter, reports::OutputChooser& outputs, dataset::Dataset& owners,
                    rent::SharedRest& rest, QWidget* parent = nullptr);
    ~TFHoraZemqRenta() override;

    // The rest to receive as shown.
    double rest() const { return rest_.value; }
    bool panelShown() const;

protected:
    bool closeCheck() override;
    void aboutToClose() override;
    void becameActive() override;

private:
    // building (tfhorazemqrenta.cpp)
    QWidget* buildHeader();
    QGroupBox* buildGroup(const char* caption, const char* gridName, dataset::Dataset& rows,
                          std::vector<ListColumn> columns, const QString& statement, int visibleRows);
    QGroupBox* buildReceiptPanel();
    QWidget* buildReceipts();
    QWidget* buildPayments();
    ListGrid& listOf(dataset::Dataset& rows) const;
    void wireCommands();
    void openProjects();
    // The receipts may also go to an HTML file.
    static reports::ExecuteOptions withHtml();

    // following the owner and the rest
    fb::Value owner() const;
    QString representative() const;
    void followOwner();
    void warnMissingRule();
    void recomputeRest();
    void reread(dataset::Dataset& rows);
    void reopenDueRows();
    void reopenReceiptLines();

    // cash payments
    void payRest();
    void deletePayment();
    void printPayment();

    // goods receipts (tfhorazemqrenta_receipt.cpp)
    void addReceipt();
    void correctReceipt();
    void deleteReceipt();
    void printReceipt();
    void addLine();
    void correctLine();
    void deleteLine();
    bool saveReceipt();
    void cancelReceipt();
    void showPanel(bool shown);
    void showPaymentMethod();
    void followReceiptRow();
    void followLineRow();
    void afterReceiptChange();
    bool receiptHasLines();
    void holdReceipt();
    void standOnReceipt();
    void runQuantityDialog(dataset::Dataset& dueRow);

    TDM& dm_;
    QPointer<dataset::Dataset> owners_;
    rent::SharedRest& rest_;
    dataset::TransactionArea IBTQPI, IBTQPR, IBTQIR, IBTOpisRD, IBTOpisRKO, IBTPr, IBTPrintDS;
    dataset::Dataset QueryPritImoti, QueryPolR, QueryIzplatenaRenta, QueryOpisRD, QueryOpisRKO, Pravila, QueryRPR,
        QueryRealR, QueryHora, QueryPrintRD, QueryRR, QueryPrintRKO;
    reports::ReportProject Razpiska, RazpiskaPari;
    std::vector<std::pair<dataset::Dataset*, ListGrid*>> lists_;
    // The receipt the panel holds (its ID_RD and owner), while it is shown.
    fb::Value receipt_, receiptOwner_;
    QGroupBox* grboxRazpiska = nullptr;
    QButtonGroup* jvdbrpNPL = nullptr;
    QLabel* labOstZaPol = nullptr;
};
