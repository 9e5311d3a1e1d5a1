#pragma once

#include "common/list_statement.h"
#include "dataset/dataset.h"
#include "fb/value.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

#include <vector>

class QAbstractButton;
class QLineEdit;
class QTableView;
class Prompter;
class SortSwitch;

namespace dataset {
class DatasetModel;
}

// One column of a list grid: the field it shows and its title; for sorting,
// the key the order clause names (the column's source such as HORA.EGN, or
// a field name; empty: the field), and a tie-break of the column's own for
// a sort with a tie-break list; an optional display format and alignment.
struct ListColumn {
    QString field;
    QString title;
    QString sortKey = {};
    QString tieBreak = {};
    QString format = {};
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    std::function<QString(int row)> formatOf = {};  // a format that depends on the row
    // A column the screen works out for each row (not sortable, not in the query).
    std::function<QString(int row)> textOf = {};
};

// The two column kinds most lists are made of: a text as it is, and a figure
// in its format, right-aligned. Titles are the screen's own UTF-8 texts.
inline ListColumn textColumn(const char* field, const char* title)
{
    return ListColumn{QLatin1String(field), QString::fromUtf8(title)};
}
inline ListColumn figureColumn(const char* field, const char* title, const char* format)
{
    return ListColumn{.field = QLatin1String(field),
                      .title = QString::fromUtf8(title),
                      .format = QString::fromUtf8(format),
                      .alignment = Qt::AlignRight | Qt::AlignVCenter};
}

// A read-only grid over a list: a screen's own list query, or a shared cursor
// shown as it is. Over a query it holds the statement lines and does what
// every list does alike: re-read, filter by the screen's boxes, sort by a
// column title (in the screen's sort form with the screen kind's direction switch and,
// where asked, a marker) and search an identifier column.
class ListGrid : public QObject {
    Q_OBJECT
public:
    enum class SearchFrom { NextRow, Top };

    ListGrid(QTableView* view, dataset::Dataset& rows, std::vector<ListColumn> columns, Prompter& prompter);

    dataset::Dataset& rows() const { return *rows_; }
    dataset::DatasetModel& model() const { return *model_; }
    QTableView* view() const { return view_; }
    bool isEmpty() const;
    // A field of the selected row; NULL when the list is empty.
    fb::Value value(const QString& field) const;

    // --- the list query ---
    // The statement in its parts; the lines in force become the default ones.
    void setStatement(const ListStatement& statement);
    const ListStatement& statement() const { return statement_; }
    const QStringList& lines() const { return lines_; }
    // The statement of the rows the list's sums add up: the sums' own
    // select with the filter in force; empty when the list has none.
    QStringList sumLines() const;
    // Whether re-reading commits the read transaction first. True for a list
    // with a transaction of its own (fresh data); false for a list read
    // through a shared area, whose commit would close cursors other screens use.
    void setCommitOnReread(bool on) { commitOnReread_ = on; }
    // Runs before every read, inside the read's error handling (the kept
    // figures a list reads brought up to date first).
    void setBeforeRead(std::function<void()> step) { beforeRead_ = std::move(step); }
    // Reads the list again with the lines in force and selects its first row,
    // or the row whose `field` equals `value` when there is one. A database
    // error is shown with the client's text and leaves the grid empty.
    bool reread(const QString& field = {}, const fb::Value& value = {});
    // Reads the list again in its default lines: no filter, the default
    // order (a sort chosen earlier is dropped).
    bool rereadDefault();
    // On closing: commits the read transaction if it runs, else closes the
    // query. A shared cursor shown as it is stays as it is.
    void release();
    // The list's query takes the parameter `param` from the field
    // `masterField` of `master`'s current row, and is read again whenever
    // that row changes (a closed master leaves the list as it is).
    void follow(dataset::Dataset& master, const QString& param, const QString& masterField);

    // --- filter ("Филтрирай", "Изчисти") ---
    void addFilterBox(QLineEdit* box, const FilterCondition& condition);
    void connectFilter(QAbstractButton* filterButton, QAbstractButton* clearButton);
    void filter();
    void clearFilter();
    // Whether `box` is one of the list's filter boxes.
    bool hasFilterBox(const QWidget* box) const;

    // --- sorting by a column title ---
    // `marker` shows the direction on the sorted title; `onDoubleClick` sorts
    // on a double click (a single click then only clears or shows the marker).
    void setSort(const SortForm& form, SortSwitch& direction, bool marker = false, bool onDoubleClick = false);
    void sortBy(int column);

    // --- search ("Търси") ---
    // The box takes digits only; `field` is the identifier column.
    void setSearch(QLineEdit* box, QAbstractButton* button, const QString& field,
                   SearchFrom from = SearchFrom::NextRow);
    // The next row (or the first, from the top) whose field begins with the
    // typed text becomes the selected one; false, and no move, when none does.
    bool search();

signals:
    void rowDoubleClicked();
    // A sort by a column title read the list in this direction.
    void sorted(int column, bool ascending);
    // "Търси" found no row below the selected one.
    void nothingFound();

private:
    void titleClicked(int column);
    bool read(const QStringList& lines);

    QTableView* view_;
    QPointer<dataset::Dataset> rows_;
    dataset::DatasetModel* model_;
    std::vector<ListColumn> columns_;
    Prompter& prompter_;

    ListStatement statement_;
    QStringList lines_;
    QStringList where_;  // the filter's lines in force, kept across a sort
    bool hasStatement_ = false;
    bool commitOnReread_ = true;
    std::function<void()> beforeRead_;

    std::vector<std::pair<QLineEdit*, FilterCondition>> filterBoxes_;

    SortForm sortForm_;
    SortSwitch* direction_ = nullptr;
    bool marker_ = false;
    int sortedColumn_ = -1;
    bool sortedAscending_ = true;

    QLineEdit* searchBox_ = nullptr;
    QString searchField_;
    SearchFrom searchFrom_ = SearchFrom::NextRow;
};
