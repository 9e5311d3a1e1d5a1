#pragma once

#include "dataset/table_description.h"
#include "fb/value.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace fb {
class Statement;
class Transaction;
}  // namespace fb

namespace dataset {

using Row = std::vector<fb::Value>;

// One prepared statement kept for reuse while its text stays the same, so
// that reading or writing row after row prepares it once.
class StatementSlot {
public:
    StatementSlot();
    ~StatementSlot();
    StatementSlot(const StatementSlot&) = delete;
    StatementSlot& operator=(const StatementSlot&) = delete;

    // The statement for `sql` on the transaction's connection, prepared in `tr`.
    fb::Statement& prepared(fb::Transaction& tr, const QString& sql);
    void reset();

private:
    std::unique_ptr<fb::Statement> statement_;
};

// The SQL a table dataset reads and writes its table with, and the
// statements prepared for it. Value i of every row handed in is column i of
// the description.
class TableStatements {
public:
    explicit TableStatements(TableDescription table);
    ~TableStatements();
    TableStatements(const TableStatements&) = delete;
    TableStatements& operator=(const TableStatements&) = delete;

    const TableDescription& table() const { return table_; }
    // The columns a stored row is found again by: the key, or every column
    // of a table without one.
    const std::vector<int>& keyFields() const { return keyFields_; }
    bool hasKey() const { return hasKey_; }
    // The column the database fills on insert, -1 when none.
    int generatedField() const { return generated_; }

    // "select <every column> from <table> [where …] [order by …]".
    QString selectText(const QString& where, const QStringList& order) const;
    const QString& insertText() const { return insertText_; }
    const QString& updateText() const { return updateText_; }
    const QString& deleteText() const { return deleteText_; }

    // The select for `sql`, prepared; the caller binds and opens it.
    fb::Statement& select(fb::Transaction& tr, const QString& sql) { return select_.prepared(tr, sql); }
    // Inserts the row without its generated column and returns the value
    // the database gave that column (NULL when there is none).
    fb::Value insert(fb::Transaction& tr, const Row& row);
    // Writes `row` over the stored row found by the key values of `stored`.
    void update(fb::Transaction& tr, const Row& stored, const Row& row);
    void remove(fb::Transaction& tr, const Row& stored);

private:
    QString keyCondition() const;
    void bind(fb::Statement& st, int& n, const Row& row, const std::vector<int>& columns) const;

    TableDescription table_;
    std::vector<int> keyFields_;
    bool hasKey_ = false;
    int generated_ = -1;
    std::vector<int> sent_;  // every column but the generated one, in order
    QString insertText_, updateText_, deleteText_;
    StatementSlot select_, insert_, update_, delete_;
};

}  // namespace dataset
