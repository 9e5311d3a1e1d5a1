#pragma once

#include "common/list_screen.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"

#include <QSet>

class DateField;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDM;

// The contract editor ("Договор"): one contract's header and lines in one
// edit. The header is the shared contract cursor TDogovor, in edit while
// the editor is open; its lines are the data module's DOGHORAZEMI cursor
// TDHZ. A line binds one owner's share of a plot (a SOBSTV row) to the
// contract: the share is linked to the line by its ID_DOG and ID_DHZ, and
// freed again with 0s.
//
// Everything the editor writes (header, lines, share links) goes into the
// contract transaction IBTDog, so "Запис" stores it all at once and "Отказ"
// (or No to the close question) takes it all back, a contract made by the
// number dialog included; a termination commits the freed shares with the
// terminated contract, so no share can stay linked to it.
//
// The plots come from the plot list QueryImotiDog with its three prefix
// filters; the shares of the selected plot from QuerySobstv; the lines from
// QueryDHZ. Owners of the contract who have a goods receipt (IBQuery1) keep
// the contract type and their lines.
class TFDogNew : public ListScreen {
    Q_OBJECT
public:
    // From the number dialog the termination controls are hidden; a
    // correction shows them, with the termination date when there is one.
    enum class Opening { NewNumber, Correction };
    TFDogNew(TDM& dm, Prompter& prompter, Opening opening, QWidget* parent = nullptr);

    // A terminated contract opens for viewing only.
    bool isReadOnly() const { return readOnly_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHeader();
    QGroupBox* buildGroup(const char* name, const char* caption,
                          std::initializer_list<std::tuple<const char*, const char*, const char*>> fields);
    QWidget* buildTermination();
    QGroupBox* buildOwnersAndPlots();
    QWidget* buildPlotList(QWidget* parent);
    QWidget* buildShares(QWidget* parent);
    QWidget* buildLines(QWidget* parent);
    QComboBox* lookup(const char* name, const char* column, dataset::Dataset& list, const char* key, const char* shows,
                      int kind, QWidget* parent, QPushButton** more);
    QLineEdit* boundEdit(const char* name, const char* column, QWidget* parent);
    DateField* dateField(const char* name, const char* column, QWidget* parent);
    void declareFlow();
    void open(Opening opening);
    void makeReadOnly();

    bool periodIsRight() const;
    bool requiredFilled() const;
    void beforePost();
    void ended();
    void cancelOrClose();
    void terminate();
    bool freeShares();

    void readOwnersWithReceipts();
    void plotSelected();
    void lineSelected();
    void addLine();
    void returnLine();
    bool inOneStep(const std::function<void()>& steps);
    void rereadAfterLineChange();
    void showTotal();

    TDM& dm_;
    dataset::TransactionArea IBTQuery1;
    dataset::Dataset QueryImotiDog, QuerySobstv, QueryDHZ, TSobstvenici, IBQuery1;
    EditFlow* flow_ = nullptr;
    ListGrid* plots_ = nullptr;
    ListGrid* shares_ = nullptr;
    ListGrid* lines_ = nullptr;
    QSet<int> ownersWithReceipts_;
    bool readOnly_ = false;
    bool terminating_ = false;

    DateField* dbedData = nullptr;
    DateField* dtpOtData = nullptr;
    DateField* dtpDoData = nullptr;
    DateField* dtpPrekr = nullptr;
    QComboBox* jvdblcDogTip = nullptr;
    QPushButton* bitDogTip = nullptr;
    QGroupBox* gbSobstvImoti = nullptr;
    QLabel* lblObshto = nullptr;
};
