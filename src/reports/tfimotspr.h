#pragma once

#include "common/list_screen.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"

#include <QHash>
#include <QPointer>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class TDM;

// The property view ("Имот"): one plot of the properties by cadastral area,
// read-only. It shows the plot of the list's current row and follows it as
// the user moves there: the plot's own columns (read by its key, QueryImot),
// its categories with their coefficients (QueryKategoriq), its owners with
// their contract numbers (QuerySobstv), the persons of its history
// (QueryIstoriq) and the area lines worked out from them, all under
// IBTImotSpr. Nothing can be changed; "Отказ" closes it.
class TFImotSpr : public ListScreen {
    Q_OBJECT
public:
    // `plots` is the list whose current row the view shows.
    TFImotSpr(TDM& dm, Prompter& prompter, dataset::Dataset& plots, QWidget* parent = nullptr);
    ~TFImotSpr() override;

private:
    struct Shown {
        const char* name;
        const char* label;
        const char* field;
    };
    QWidget* buildHeader();
    QGroupBox* buildGroup(const char* caption, std::initializer_list<Shown> fields, int columns);
    QGroupBox* buildConsolidation();
    QGroupBox* buildList(const char* caption, const char* grid, dataset::Dataset& rows, std::vector<ListColumn> columns,
                         const QString& statement, const char* buttons);
    QWidget* buildAreaLines();
    QLineEdit* shownEdit(const char* name, QWidget* parent);

    void followRow();
    void showPlot();
    void showAreaLines();

    QPointer<dataset::Dataset> plots_;
    dataset::TransactionArea IBTImotSpr;
    dataset::Dataset QueryImot, QueryKategoriq, QuerySobstv, QueryIstoriq;
    std::vector<ListGrid*> lists_;
    QHash<QString, QLineEdit*> shown_;  // by the field each shows
    QButtonGroup* obrab_ = nullptr;
    QButtonGroup* consolidation_ = nullptr;
    QHash<QString, QLabel*> lines_;  // the area lines by name
};
