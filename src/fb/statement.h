#pragma once

#include "fb/value.h"

#include <QString>

#include <memory>
#include <vector>

namespace fb {

class Connection;
class Transaction;

// The kind of a result column, as far as the program tells them apart.
// Decimal is an exact numeric with a scale (NUMERIC/DECIMAL); Float covers
// both binary floating types; text blobs are Text.
enum class ColumnType { Text, Integer, Decimal, Float, Date, Time, Timestamp, Boolean, Other };

// Description of one result column.
struct Column {
    QString alias;     // the name the select gives it
    QString field;     // the table column it comes from, empty for expressions
    QString relation;  // the table it comes from, empty for expressions
    ColumnType type = ColumnType::Other;
    int scale = 0;       // decimals of an exact numeric (positive)
    int charLength = 0;  // text columns: characters the column holds
};

// A prepared statement with at most one open cursor. It is prepared once
// (lazily, on first use) and can run again with new parameters. Parameters
// are numbered from 0 and handed to Firebird in the type of the bound value;
// the engine converts them to the parameter's own type (and reports its own
// error when it cannot).
class Statement {
public:
    Statement(Connection& connection, QString sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QString& sql() const { return sql_; }
    void prepare(Transaction& tr);
    bool isPrepared() const;

    void bind(int index, const Value& value);

    // Runs a statement that returns no cursor. When it returns one row
    // (RETURNING, EXECUTE PROCEDURE) that row becomes the current row.
    void execute(Transaction& tr);
    // Opens the cursor of a select; fetch() moves to each row in turn.
    void open(Transaction& tr);
    bool fetch();
    void close();
    bool isOpen() const;

    // Column descriptions; the statement must be prepared.
    int columnCount() const;
    const Column& column(int index) const;
    int columnIndex(const QString& alias) const;  // -1 when missing; case-insensitive
    const Value& value(int index) const { return row_.at(static_cast<size_t>(index)); }
    const Value& value(const QString& alias) const;
    const std::vector<Value>& row() const { return row_; }
    // Hands the current row over without copying it, for a reader that
    // keeps every row; row() is empty until the next fetch.
    std::vector<Value> takeRow();

private:
    friend class Connection;
    friend class Transaction;
    struct Impl;
    void unprepare();
    void ensurePrepared(Transaction& tr);
    void readRow();

    Connection* connection_;
    QString sql_;
    std::unique_ptr<Impl> d_;
    Transaction* cursorTransaction_ = nullptr;
    std::vector<Value> params_;
    std::vector<Value> row_;
};

// Reads every row of a select into memory.
std::vector<std::vector<Value>> fetchAll(Statement& st, Transaction& tr);
// Runs a select and returns the first column of its first row (NULL when none).
Value fetchScalar(Connection& c, Transaction& tr, const QString& sql, const std::vector<Value>& params = {});
// Prepares, binds and executes one statement.
void execute(Connection& c, Transaction& tr, const QString& sql, const std::vector<Value>& params = {});

}  // namespace fb
