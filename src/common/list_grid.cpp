#include "common/failure.h"
#include "common/list_grid.h"

#include "common/date_field.h"
#include "common/input_helpers.h"
#include "common/prompter.h"
#include "common/sort_switch.h"
#include "dataset/binders.h"
#include "dataset/dataset.h"
#include "dataset/dataset_model.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

#include <algorithm>

namespace {

std::vector<dataset::GridColumn> gridColumns(const std::vector<ListColumn>& columns)
{
    std::vector<dataset::GridColumn> out;
    for (const ListColumn& c : columns)
        out.push_back({c.field, c.title, c.format, c.alignment, c.formatOf, c.textOf});
    return out;
}

}  // namespace

ListGrid::ListGrid(QTableView* view, dataset::Dataset& rows, std::vector<ListColumn> columns, Prompter& prompter)
    : QObject(view),
      view_(view),
      rows_(&rows),
      model_(new dataset::DatasetModel(rows, gridColumns(columns), this)),
      columns_(std::move(columns)),
      prompter_(prompter)
{
    new dataset::GridBinder(view, *model_);
    // An empty list shows its titles whole too (rows, once read, may widen the columns).
    const QFontMetrics titles = view->horizontalHeader()->fontMetrics();
    for (int c = 0; c < int(columns_.size()); ++c)
        view->setColumnWidth(c,
                             std::max(view->columnWidth(c), titles.horizontalAdvance(columns_[size_t(c)].title) + 28));
    view->verticalHeader()->hide();
    connect(view, &QTableView::doubleClicked, this, &ListGrid::rowDoubleClicked);
}

bool ListGrid::isEmpty() const
{
    return !rows_ || rows_->isEmpty();
}

fb::Value ListGrid::value(const QString& field) const
{
    return isEmpty() ? fb::Value() : rows_->field(field).value();
}

// ---------------------------------------------------------------- the list query

void ListGrid::setStatement(const ListStatement& statement)
{
    statement_ = statement;
    lines_ = statement.defaultLines();
    hasStatement_ = true;
}

bool ListGrid::reread(const QString& field, const fb::Value& value)
{
    if (!rows_)
        return false;
    if (!read(lines_))
        return false;
    if (!field.isEmpty() && !value.isNull())
        rows_->locate(field, value);
    return true;
}

bool ListGrid::rereadDefault()
{
    lines_ = statement_.defaultLines();
    where_.clear();
    sortedColumn_ = -1;
    model_->clearSortMarker();
    return reread();
}

// Reads the list with `lines`; a database error is shown with the client's
// text and leaves the list empty.
bool ListGrid::read(const QStringList& lines)
{
    try {
        if (beforeRead_)
            beforeRead_();
        if (hasStatement_)
            rows_->sql().setLines(lines);
        if (commitOnReread_ && rows_->area().isActive())
            rows_->area().commit();  // closes the query with the rest of the area
        else
            rows_->close();
        rows_->open();
    } catch (const fb::Error& e) {
        failure::show(prompter_, QStringLiteral("Списъкът не може да бъде прочетен."), e);
        return false;
    }
    return true;
}

void ListGrid::release()
{
    if (!rows_ || !hasStatement_)
        return;  // a shared cursor shown as it is belongs to the data module
    try {
        if (commitOnReread_ && rows_->area().isActive())
            rows_->area().commit();
        else
            rows_->close();
    } catch (const fb::Error&) {
        // A read transaction has nothing to lose; the engine ends it with the attachment.
    }
}

void ListGrid::follow(dataset::Dataset& master, const QString& param, const QString& masterField)
{
    connect(&master, &dataset::Dataset::currentChanged, this, [this, &master, param, masterField] {
        if (!rows_ || !master.isOpen())
            return;
        const dataset::Field* link = master.isEmpty() ? nullptr : master.findField(masterField);
        rows_->setParam(param, link ? link->value() : fb::Value());
        reread();
    });
}

QStringList ListGrid::sumLines() const
{
    if (statement_.sums.isEmpty())
        return {};
    return statement_.sums + where_ + statement_.tail;
}

// ---------------------------------------------------------------- filter

void ListGrid::addFilterBox(QLineEdit* box, const FilterCondition& condition)
{
    // Far beyond any column a filter matches, and far below the length of
    // statement text the database takes, whatever letters are typed.
    constexpr int kLongestFilter = 1000;
    if (box->maxLength() > kLongestFilter)
        box->setMaxLength(kLongestFilter);
    filterBoxes_.emplace_back(box, condition);
}

void ListGrid::connectFilter(QAbstractButton* filterButton, QAbstractButton* clearButton)
{
    if (filterButton)
        connect(filterButton, &QAbstractButton::clicked, this, &ListGrid::filter);
    if (clearButton)
        connect(clearButton, &QAbstractButton::clicked, this, &ListGrid::clearFilter);
}

// A filter restores the default order, so no title is marked any more. One
// the database refuses keeps the rows shown before it.
void ListGrid::filter()
{
    std::vector<FilterCondition> conditions;
    QStringList texts;
    for (const auto& [box, condition] : filterBoxes_) {
        conditions.push_back(condition);
        if (auto* day = qobject_cast<DateField*>(box)) {
            // A day that does not exist is never read as another one.
            if (day->holdsImpossibleDate()) {
                day->setFocus();
                prompter_.message(DateField::impossibleDateMessage());
                return;
            }
            texts << (day->isBlank() ? QString() : day->date().toString(Qt::ISODate));
        } else {
            texts << box->text();
        }
    }
    const QStringList filtered = statement_.filtered(conditions, texts);
    // The sums read with the list see the new filter already.
    QStringList where = statement_.whereLines(conditions, texts);
    where_.swap(where);
    if (!read(filtered)) {
        where_.swap(where);
        read(lines_);
        return;
    }
    lines_ = filtered;
    sortedColumn_ = -1;
    model_->clearSortMarker();
}

void ListGrid::clearFilter()
{
    for (const auto& box : filterBoxes_)
        box.first->clear();
    filter();
}

bool ListGrid::hasFilterBox(const QWidget* box) const
{
    for (const auto& b : filterBoxes_)
        if (b.first == box)
            return true;
    return false;
}

// ---------------------------------------------------------------- sorting

void ListGrid::setSort(const SortForm& form, SortSwitch& direction, bool marker, bool onDoubleClick)
{
    sortForm_ = form;
    direction_ = &direction;
    marker_ = marker;
    QHeaderView* header = view_->horizontalHeader();
    header->setSectionsClickable(true);
    if (onDoubleClick) {
        connect(header, &QHeaderView::sectionDoubleClicked, this, &ListGrid::sortBy);
        connect(header, &QHeaderView::sectionClicked, this, &ListGrid::titleClicked);
    } else {
        connect(header, &QHeaderView::sectionClicked, this, &ListGrid::sortBy);
    }
}

void ListGrid::sortBy(int column)
{
    if (!direction_ || column < 0 || column >= int(columns_.size()))
        return;
    const ListColumn& c = columns_[size_t(column)];
    const bool ascending = direction_->take();
    lines_ = statement_.sorted(lines_, sortForm_, c.sortKey.isEmpty() ? c.field : c.sortKey, ascending, c.tieBreak);
    reread();
    sortedColumn_ = column;
    sortedAscending_ = ascending;
    if (marker_)
        model_->setSortMarker(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    emit sorted(column, ascending);
}

// A single click on another title hides the marker; on the sorted one it shows it again.
void ListGrid::titleClicked(int column)
{
    if (!marker_)
        return;
    if (column == sortedColumn_)
        model_->setSortMarker(column, sortedAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    else
        model_->clearSortMarker();
}

// ---------------------------------------------------------------- search

void ListGrid::setSearch(QLineEdit* box, QAbstractButton* button, const QString& field, SearchFrom from)
{
    searchBox_ = box;
    searchField_ = field;
    searchFrom_ = from;
    setDigitsOnly(box);
    if (button)
        connect(button, &QAbstractButton::clicked, this, &ListGrid::search);
}

// Nothing found leaves the row where it is, with a short beep: no box to close.
bool ListGrid::search()
{
    if (!searchBox_ || !rows_ || searchBox_->text().isEmpty())
        return false;
    const QString wanted = searchBox_->text();
    const int field = rows_->field(searchField_).index();
    const int start = searchFrom_ == SearchFrom::Top ? 0 : rows_->currentRow() + 1;
    // A list read on demand is read on only as far as the row found.
    for (int r = std::max(start, 0); r < rows_->loadedRowCount() || rows_->hasMoreRows(); ++r) {
        if (r >= rows_->loadedRowCount())
            rows_->fetchMore(500);
        if (r >= rows_->loadedRowCount())
            break;
        if (rows_->value(r, field).toString().startsWith(wanted)) {
            rows_->moveTo(r);
            return true;
        }
    }
    QApplication::beep();
    emit nothingFound();
    return false;
}
