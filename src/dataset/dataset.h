#pragma once

#include "dataset/field.h"
#include "dataset/statement_lines.h"
#include "dataset/table_statements.h"
#include "fb/value.h"

#include <QHash>
#include <QSet>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace fb {
class Statement;
}

namespace dataset {

class Database;
class TransactionArea;

enum class State { Inactive, Browse, Insert, Edit };

// The one mechanism every screen uses for data: rows of a table or a query
// buffered in the stated order, a current row, and field objects.
//
// A table dataset (a cursor) has the table's columns as its fixed field list,
// an order and an optional master link, and writes through its transaction:
// insert/append/edit, post, cancel, remove. A query dataset runs a statement
// held as lines with named parameters and is read-only.
//
// A detail shows only the rows whose link field equals the master's current
// key and follows the master as it moves; it loads only those rows. A second
// cursor loads nothing when opened: locate() runs a keyed query and buffers
// only the rows found.
//
// A row in insert or edit state belongs to whoever started it: only post()
// or cancel() ends it. Moving to another row meanwhile is refused with a
// UsageError, as are the other calls a caller should have known better than
// to make (an unknown field, a write through a query, a closed dataset
// edited). Errors of the database itself come as fb::Error.
class Dataset : public QObject {
    Q_OBJECT
public:
    Dataset(TransactionArea& area, const QString& name, QObject* parent = nullptr);
    ~Dataset() override;

    // --- configuration (while closed) ---
    // Fields are the table's columns, in their order; rows are ordered by the key.
    void setTable(const TableDescription& table);
    void setOrder(const QStringList& fields) { order_ = fields; }
    // The detail field here, the master field there.
    void setMaster(Dataset& master, const QString& detailField, const QString& masterField);
    // Opening loads no rows; locate() asks the database for the rows it needs.
    void setSecondCursor(bool on) { secondCursor_ = on; }
    // Opening reads only the first rows and keeps the cursor open; the rest
    // come when they are asked for (a grid scrolling on, a count, a search,
    // a move past the rows read). For long lists that are mostly only looked at.
    void setFetchOnDemand(bool on) { fetchOnDemand_ = on; }
    // Equal texts of a column are held once (a long read of few distinct
    // names, such as a report's every plot with its settlement and locality).
    void setShareTexts(bool on) { shareTexts_ = on; }
    // Whether a bound control may put the dataset into edit by itself.
    void setAutoEdit(bool on) { autoEdit_ = on; }
    bool autoEdit() const { return autoEdit_; }
    // A read-only field resolved by key: `keyField` here is looked up as
    // `listKey` in `list`, and `listResult` there is the value.
    Field& addLookupField(const QString& name, int size, const QString& keyField, Dataset& list, const QString& listKey,
                          const QString& listResult);
    // Runs before a row is deleted, in the row's transaction (the cascades).
    void addBeforeDelete(std::function<void()> step) { beforeDelete_.push_back(std::move(step)); }

    // Query datasets: the statement lines and the named parameters.
    StatementLines& sql() { return sql_; }
    void setParam(const QString& name, const fb::Value& value) { params_[name.toUpper()] = value; }

    QString name() const { return objectName(); }
    // The table's name; empty for a query.
    QString table() const;
    TransactionArea& area() const;
    Dataset* master() const { return master_; }
    bool isSecondCursor() const { return secondCursor_; }

    // --- opening ---
    // Connects and starts the transaction when needed; fb::Error on failure.
    void open();
    void close();
    // Hands every row over to `take`, one by one, and closes: for a reader
    // that keeps them in a form of its own (a report reading a query opened
    // for it alone). A list read on demand hands the rest over as it reads
    // them, so that they are never all held here as well. Lookup fields are
    // not among them. Refused while editing.
    void takeRows(const std::function<void(Row&&)>& take);
    // Reads the rows again and returns to the current row's key when it is still there.
    // Refused while a row is in insert or edit state.
    void refresh();
    // Opens (when closed) and moves to the row with this key; false when it is gone.
    bool openAtKey(const Row& key);
    bool isOpen() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    bool isEditing() const { return state_ == State::Insert || state_ == State::Edit; }

    // --- rows ---
    // Every row (those not read yet are read first).
    int rowCount() const;
    bool isEmpty() const { return rows_.empty(); }
    // The rows read so far, and whether the cursor holds more; a grid reads
    // on through fetchMore as it scrolls.
    int loadedRowCount() const { return int(rows_.size()); }
    bool hasMoreRows() const;
    void fetchMore(int count);
    int currentRow() const { return current_; }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    // Moves to the first row whose fields equal the values; false (and no
    // move) when none does. A second cursor asks the database.
    bool locate(const QString& field, const fb::Value& value);
    bool locate(const QStringList& fields, const Row& values);
    // Opens when closed and moves to the row whose field holds the value;
    // a row stored since the rows were read is looked for after reading
    // them again. False, and no move, when there is none.
    bool locateFresh(const QString& field, const fb::Value& value);
    // The row whose field equals the value, without moving; -1 when none.
    int findRow(int field, const fb::Value& value) const;
    // The fields a row is found again by: the table's key fields, or every
    // stored field of a table without a key and of a query.
    const std::vector<int>& keyFields() const;
    // The key fields' values of the current row; empty when there is none.
    Row key() const;
    bool locateKey(const Row& key);

    // --- fields ---
    int fieldCount() const { return int(fields_.size()); }
    Field& field(int index) const { return *fields_.at(size_t(index)); }
    // By column name or by full name ("TFirmaNAIM_FIRMA"); throws when missing.
    Field& field(const QString& name) const;
    Field* findField(const QString& name) const;
    Field& operator[](const QString& name) const { return field(name); }
    // A value of any row, lookup fields resolved; for models.
    fb::Value value(int row, int field) const;

    // --- editing ---
    // A new row before the current one; refused while another is inserted or edited.
    void insert();
    void append();
    void edit();
    // Writes the row through the transaction. On failure the dataset stays in
    // insert or edit state with the values the user gave.
    void post();
    void cancel();
    // Runs the before-delete steps, then deletes the current row.
    void remove();

signals:
    void stateChanged();
    void currentChanged();
    void fieldChanged(int field);
    // Around every change of the buffered rows, so that models can follow.
    void rowsAboutToReset();
    void rowsReset();
    void rowsAboutToBeAppended(int first, int last);
    void rowsAppended();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);

private:
    // Throws the domain's message for a field holding a value out of its domain.
    void refuseOutOfDomain() const;
    friend class Field;
    friend class TransactionArea;
    Field& addField(const QString& name, DataType type, int size);
    fb::Value fieldValue(const Field& f) const;
    void setFieldValue(Field& f, const fb::Value& value);
    fb::Value rowValue(const Row& row, const Field& f) const;
    void load();
    // Replaces the buffered rows through `change`, telling models before and after.
    void resetWith(const std::function<void()>& change);
    void loadRows(const QString& sql, const Row& params);
    // Reads on until `wanted` rows are read (all of them for -1).
    void fetchUpTo(int wanted) const;
    void stopFetching() const;
    // The row as read, its texts replaced by equal ones held already.
    Row shared(Row row) const;
    void fieldsFromStatement(const fb::Statement& st);
    void masterMoved();
    void setState(State s);
    void setCurrent(int row);
    void resetRows();
    QString selectText(const QString& where) const;
    QStringList orderFields() const;
    TableStatements& writable(const char* what) const;
    void refuseWhileEditing(const char* what) const;

    TransactionArea* area_;
    std::unique_ptr<TableStatements> statements_;  // null for a query
    std::vector<int> queryKeyFields_;
    QStringList order_;
    Dataset* master_ = nullptr;
    QString detailField_, masterField_;
    bool secondCursor_ = false;
    bool autoEdit_ = true;
    std::vector<std::function<void()>> beforeDelete_;
    StatementLines sql_;
    QHash<QString, fb::Value> params_;

    std::vector<std::unique_ptr<Field>> fields_;
    int dataFieldCount_ = 0;  // the stored columns come first, lookup fields after them
    std::vector<Row> rows_;
    Row buffer_;  // the row being inserted or edited
    int insertAt_ = 0;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    State state_ = State::Inactive;
    mutable std::unordered_map<int, QHash<QString, int>> index_;  // field -> value -> first row
    StatementSlot query_;
    bool fetchOnDemand_ = false;
    bool shareTexts_ = false;
    mutable std::vector<QSet<QString>> texts_;  // per column, while the rows are read
    mutable fb::Statement* pending_ = nullptr;  // the open cursor of a list read on demand
};

}  // namespace dataset
