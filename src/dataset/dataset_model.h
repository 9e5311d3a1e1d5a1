#pragma once

#include <QAbstractTableModel>
#include <QPointer>

#include <functional>
#include <vector>

namespace dataset {

class Dataset;

// One grid column: the field it shows, its title, an optional display format
// that overrides the field's ("#0.000"…) and the alignment of its cells.
struct GridColumn {
    QString field;
    QString title;
    QString format = {};
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    // The format of one row's cell, where it depends on the row (a quantity
    // shown in its own unit's decimals); overrides `format`.
    std::function<QString(int row)> formatOf = {};
    // The text of a column the screen works out for each row itself (what
    // its query does not hold); `field` then only names the column.
    std::function<QString(int row)> textOf = {};
};

// A read-only table model over a dataset for QTableView grids. It follows
// the dataset's rows as they are read, added, changed and removed. One
// column title may carry a sort marker (the arrow of the sort direction).
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The sort marker of a title: a Qt::SortOrder, or nothing.
    static constexpr int SortMarkerRole = Qt::UserRole + 1;
    // The cell's value as stored (not formatted).
    static constexpr int ValueRole = Qt::UserRole + 2;

    DatasetModel(Dataset& dataset, std::vector<GridColumn> columns, QObject* parent = nullptr);

    Dataset& dataset() const { return *dataset_; }
    const GridColumn& column(int index) const { return columns_.at(size_t(index)); }
    // The column showing `field`; -1 when none does.
    int columnOf(const QString& field) const;

    void setSortMarker(int column, Qt::SortOrder order);
    void clearSortMarker();
    int sortMarkerColumn() const { return markerColumn_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    // A list read on demand reads on as the view scrolls to its end.
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void resetDone();
    int fieldIndex(int column) const;

    QPointer<Dataset> dataset_;
    std::vector<GridColumn> columns_;
    int rows_ = 0;  // the count the views know; changes only inside begin/end
    bool resetting_ = false;
    int markerColumn_ = -1;
    Qt::SortOrder markerOrder_ = Qt::AscendingOrder;
};

}  // namespace dataset
