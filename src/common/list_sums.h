#pragma once

#include "common/register_form.h"
#include "fb/decimal.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class ListGrid;
class QLabel;

namespace dataset {
class Dataset;
}

// The sum of `field` over the rows in their order, each value taken as the
// list shows it (`decimals` decimals). With `onceFor`, only the first row of
// each value of `onceFor` adds, wherever the others stand in the list's order.
fb::Decimal listSum(const dataset::Dataset& rows, const QString& field, const QString& onceFor = {}, int decimals = 3);

// The number of rows; with `onceFor`, of its distinct values.
int listCount(const dataset::Dataset& rows, const QString& onceFor = {});

// A sum as the labels under a list show it: its decimals in the user's
// locale, then the suffix (" дка").
QString sumText(const fb::Decimal& sum, const QString& suffix);

// The row of sums under a list: each text and its label, worked out again
// whenever the list's rows are read.
class ListSums : public QWidget {
    Q_OBJECT
public:
    ListSums(dataset::Dataset& rows, std::vector<kit::SumSpec> sums, QWidget* parent);
    ~ListSums() override;

    // The sums add up the rows of the list's own sums statement, read in
    // the list's transaction whenever the list is read, and not the rows
    // the list holds (a list read as the grid scrolls holds only some).
    void readFrom(const ListGrid& list);

    // The labels that show the sums, in the order of the description.
    const std::vector<QLabel*>& labels() const { return labels_; }
    void update();

private:
    bool readSummed();

    QPointer<dataset::Dataset> rows_;
    const ListGrid* list_ = nullptr;
    std::unique_ptr<dataset::Dataset> summed_;
    std::vector<kit::SumSpec> sums_;
    std::vector<QLabel*> labels_;
};
