#include "dataset/dataset_model.h"

#include "dataset/dataset.h"
#include "dataset/formats.h"
#include "fb/error.h"

#include <QApplication>
#include <QStyle>

namespace dataset {

DatasetModel::DatasetModel(Dataset& dataset, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), dataset_(&dataset), columns_(std::move(columns)), rows_(dataset.loadedRowCount())
{
    connect(&dataset, &Dataset::rowsAboutToReset, this, [this] {
        beginResetModel();
        resetting_ = true;
    });
    connect(&dataset, &Dataset::rowsReset, this, &DatasetModel::resetDone);
    connect(&dataset, &Dataset::rowsAboutToBeAppended, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(&dataset, &Dataset::rowsAppended, this, [this] {
        rows_ = dataset_->loadedRowCount();
        endInsertRows();
    });
    connect(&dataset, &Dataset::rowAboutToBeInserted, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(&dataset, &Dataset::rowInserted, this, [this] {
        rows_ = dataset_->loadedRowCount();
        endInsertRows();
    });
    connect(&dataset, &Dataset::rowAboutToBeRemoved, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(&dataset, &Dataset::rowRemoved, this, [this] {
        rows_ = dataset_->loadedRowCount();
        endRemoveRows();
    });
    connect(&dataset, &Dataset::rowUpdated, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); });
}

// Also reached without a warning first, when a lookup list changes.
void DatasetModel::resetDone()
{
    if (!resetting_)
        beginResetModel();
    resetting_ = false;
    rows_ = dataset_ ? dataset_->loadedRowCount() : 0;
    endResetModel();
}

int DatasetModel::columnOf(const QString& field) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int DatasetModel::fieldIndex(int column) const
{
    const Field* f = dataset_ ? dataset_->findField(columns_.at(size_t(column)).field) : nullptr;
    return f ? f->index() : -1;
}

void DatasetModel::setSortMarker(int column, Qt::SortOrder order)
{
    const int old = markerColumn_;
    markerColumn_ = column;
    markerOrder_ = order;
    if (old >= 0 && old != column)
        emit headerDataChanged(Qt::Horizontal, old, old);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void DatasetModel::clearSortMarker()
{
    const int old = std::exchange(markerColumn_, -1);
    if (old >= 0)
        emit headerDataChanged(Qt::Horizontal, old, old);
}

bool DatasetModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && dataset_ && dataset_->hasMoreRows();
}

void DatasetModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || !dataset_)
        return;
    try {
        dataset_->fetchMore(500);
    } catch (const fb::Error& e) {
        qWarning("%s: %s", qPrintable(dataset_->name()), e.what());  // the list stays as far as it was read
    }
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !dataset_ || index.row() >= rows_ || index.row() >= dataset_->loadedRowCount())
        return {};
    const GridColumn& c = columns_[size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(c.alignment);
    if (role != Qt::DisplayRole && role != ValueRole)
        return {};
    if (c.textOf)
        return c.textOf(index.row());
    const int f = fieldIndex(index.column());
    if (f < 0)
        return {};
    const fb::Value v = dataset_->value(index.row(), f);
    if (role == ValueRole)
        return v.toVariant();
    const QString format = c.formatOf ? c.formatOf(index.row()) : c.format;
    if (!format.isEmpty() && !v.isNull() && v.type() != fb::Value::Type::Text)
        return formats::number(v.toDouble(), format);
    return dataset_->field(f).displayText(v);
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool marked = section == markerColumn_;
    switch (role) {
        case Qt::DisplayRole:
            return columns_[size_t(section)].title;
        case SortMarkerRole:
            return marked ? QVariant(int(markerOrder_)) : QVariant();
        case Qt::DecorationRole:
            if (!marked)
                return {};
            return QApplication::style()->standardIcon(markerOrder_ == Qt::AscendingOrder ? QStyle::SP_ArrowUp
                                                                                          : QStyle::SP_ArrowDown);
        default:
            return {};
    }
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace dataset
