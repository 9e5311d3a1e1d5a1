#include "dataset/table_statements.h"

#include "fb/statement.h"
#include "fb/transaction.h"

namespace dataset {

// ---------------------------------------------------------------- StatementSlot

StatementSlot::StatementSlot() = default;
StatementSlot::~StatementSlot() = default;

fb::Statement& StatementSlot::prepared(fb::Transaction& tr, const QString& sql)
{
    if (!statement_ || statement_->sql() != sql)
        statement_ = std::make_unique<fb::Statement>(*tr.connection(), sql);
    if (!statement_->isPrepared())
        statement_->prepare(tr);
    return *statement_;
}

void StatementSlot::reset()
{
    statement_.reset();
}

// ---------------------------------------------------------------- TableStatements

TableStatements::TableStatements(TableDescription table) : table_(std::move(table))
{
    const int count = int(table_.columns.size());
    for (int i = 0; i < count; ++i) {
        const ColumnDescription& c = table_.columns[size_t(i)];
        if (c.key)
            keyFields_.push_back(i);
        if (c.generated)
            generated_ = i;
        else
            sent_.push_back(i);
    }
    hasKey_ = !keyFields_.empty();
    if (!hasKey_)
        for (int i = 0; i < count; ++i)
            keyFields_.push_back(i);

    QStringList names, marks, sets;
    for (int i : sent_) {
        names << table_.columns[size_t(i)].name;
        marks << QStringLiteral("?");
        sets << table_.columns[size_t(i)].name + QStringLiteral(" = ?");
    }
    insertText_ = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(table_.sqlName, names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    if (generated_ >= 0)
        insertText_ += QStringLiteral(" returning ") + table_.columns[size_t(generated_)].name;
    updateText_ =
        QStringLiteral("update %1 set %2 where %3").arg(table_.sqlName, sets.join(QLatin1String(", ")), keyCondition());
    deleteText_ = QStringLiteral("delete from %1 where %2").arg(table_.sqlName, keyCondition());
}

TableStatements::~TableStatements() = default;

// A table without a key has its row found by every column; of equal rows
// one is changed.
QString TableStatements::keyCondition() const
{
    QStringList parts;
    const QString test = hasKey_ ? QStringLiteral(" = ?") : QStringLiteral(" is not distinct from ?");
    for (int i : keyFields_)
        parts << table_.columns[size_t(i)].name + test;
    QString where = parts.join(QLatin1String(" and "));
    if (!hasKey_)
        where += QStringLiteral(" rows 1");
    return where;
}

QString TableStatements::selectText(const QString& where, const QStringList& order) const
{
    QStringList columns;
    for (const ColumnDescription& c : table_.columns)
        columns << c.name;
    QString sql = QStringLiteral("select %1 from %2").arg(columns.join(QLatin1String(", ")), table_.sqlName);
    if (!where.isEmpty())
        sql += QStringLiteral(" where ") + where;
    if (!order.isEmpty())
        sql += QStringLiteral(" order by ") + order.join(QLatin1String(", "));
    return sql;
}

void TableStatements::bind(fb::Statement& st, int& n, const Row& row, const std::vector<int>& columns) const
{
    for (int i : columns)
        st.bind(n++, size_t(i) < row.size() ? row[size_t(i)] : fb::Value());
}

fb::Value TableStatements::insert(fb::Transaction& tr, const Row& row)
{
    fb::Statement& st = insert_.prepared(tr, insertText_);
    int n = 0;
    bind(st, n, row, sent_);
    st.execute(tr);
    return generated_ >= 0 ? st.value(0) : fb::Value();
}

void TableStatements::update(fb::Transaction& tr, const Row& stored, const Row& row)
{
    fb::Statement& st = update_.prepared(tr, updateText_);
    int n = 0;
    bind(st, n, row, sent_);
    bind(st, n, stored, keyFields_);
    st.execute(tr);
}

void TableStatements::remove(fb::Transaction& tr, const Row& stored)
{
    fb::Statement& st = delete_.prepared(tr, deleteText_);
    int n = 0;
    bind(st, n, stored, keyFields_);
    st.execute(tr);
}

}  // namespace dataset
