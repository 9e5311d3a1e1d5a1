#include "dataset/dataset.h"

#include "dataset/database.h"
#include "dataset/formats.h"
#include "dataset/transaction_area.h"
#include "dataset/usage_error.h"
#include "fb/error.h"
#include "fb/statement.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace dataset {

namespace {

DataType typeOfColumn(const fb::Column& c)
{
    switch (c.type) {
        case fb::ColumnType::Text:
            return DataType::Text;
        case fb::ColumnType::Float:
            return DataType::Float;
        case fb::ColumnType::Integer:
            return DataType::Integer;
        case fb::ColumnType::Decimal:
            return DataType::Decimal;
        case fb::ColumnType::Date:
            return DataType::Date;
        case fb::ColumnType::Timestamp:
            return DataType::Timestamp;
        default:
            return DataType::Other;
    }
}

// The text a value is filed under in a row index. Values equal by
// fb::Value's == get the same text: whole numbers of every kind by their
// digits, other numbers by their nearest double. Different values may share
// one (doubles beyond 2^53), so a hit is checked with == again.
QString indexKey(const fb::Value& v)
{
    using T = fb::Value::Type;
    switch (v.type()) {
        case T::Null:
            return QStringLiteral("0");
        case T::Integer:
            return QStringLiteral("n") + QString::number(v.toInt64());
        case T::Decimal: {
            fb::Decimal d = v.toDecimal();
            while (d.scale > 0 && d.units % 10 == 0)
                d = {d.units / 10, d.scale - 1};
            return d.scale == 0 ? QStringLiteral("n") + QString::number(d.units)
                                : QStringLiteral("n") + QString::number(d.toDouble(), 'g', 17);
        }
        case T::Double: {
            const double x = v.toDouble();
            if (x == std::trunc(x) && std::abs(x) < 9.0e18)
                return QStringLiteral("n") + QString::number(static_cast<qint64>(x));
            return QStringLiteral("n") + QString::number(x, 'g', 17);
        }
        case T::Text:
            return QStringLiteral("t") + v.toString();
        default:
            return QString::number(int(v.type())) + v.toString();
    }
}

// Text typed into a control becomes a value of the field's own type.
fb::Value converted(const Field& f, const fb::Value& v)
{
    if (v.type() != fb::Value::Type::Text)
        return v;
    const QString text = v.toString().trimmed();
    switch (f.dataType()) {
        case DataType::Integer: {
            bool ok = false;
            const qlonglong n = text.toLongLong(&ok);
            return ok ? fb::Value(n) : text.isEmpty() ? fb::Value() : v;
        }
        case DataType::Float: {
            bool ok = false;
            const double d = QLocale().toDouble(text, &ok);
            return ok ? fb::Value(d) : text.isEmpty() ? fb::Value() : v;
        }
        case DataType::Date: {
            const QDate d = formats::dateFromMasked(text);
            return d.isValid() ? fb::Value(d) : fb::Value(QDate::fromString(text, Qt::ISODate));
        }
        default:
            return v;
    }
}

}  // namespace

Dataset::Dataset(TransactionArea& area, const QString& name, QObject* parent) : QObject(parent), area_(&area)
{
    setObjectName(name);
    area_->add(this);
}

Dataset::~Dataset()
{
    // Statements go before the area's bookkeeping; no signals to a half-gone module.
    blockSignals(true);
    statements_.reset();
    query_.reset();
    if (area_)
        area_->remove(this);
}

TransactionArea& Dataset::area() const
{
    if (!area_)
        throw UsageError(QStringLiteral("%1: its transaction is gone").arg(name()));
    return *area_;
}

// ---------------------------------------------------------------- configuration

Field& Dataset::addField(const QString& name, DataType type, int size)
{
    fields_.push_back(std::unique_ptr<Field>(new Field(this, int(fields_.size()), name, type, size)));
    return *fields_.back();
}

void Dataset::setTable(const TableDescription& table)
{
    if (isOpen())
        throw UsageError(QStringLiteral("%1: the table of an open dataset cannot change").arg(name()));
    statements_ = std::make_unique<TableStatements>(table);
    fields_.clear();
    index_.clear();
    for (const ColumnDescription& c : table.columns) {
        Field& f = addField(c.name, c.type, c.size);
        f.key_ = c.key;
        f.generated_ = c.generated;
    }
    dataFieldCount_ = int(fields_.size());
}

QString Dataset::table() const
{
    return statements_ ? statements_->table().name : QString();
}

void Dataset::setMaster(Dataset& master, const QString& detailField, const QString& masterField)
{
    master_ = &master;
    detailField_ = detailField;
    masterField_ = masterField;
    connect(&master, &Dataset::currentChanged, this, &Dataset::masterMoved);
}

Field& Dataset::addLookupField(const QString& name, int size, const QString& keyField, Dataset& list,
                               const QString& listKey, const QString& listResult)
{
    Field& f = addField(name, DataType::Text, size);
    f.lookupKey_ = field(keyField).index();
    f.lookupList_ = &list;
    f.lookupListKey_ = listKey;
    f.lookupResult_ = listResult;
    // Lookup values change with the list's rows.
    connect(&list, &Dataset::rowsReset, this, [this] {
        if (isOpen())
            emit rowsReset();
    });
    return f;
}

// ---------------------------------------------------------------- fields

Field* Dataset::findField(const QString& fieldName) const
{
    QString wanted = fieldName;
    if (wanted.startsWith(name()) && wanted.size() > name().size())
        if (!std::any_of(fields_.begin(), fields_.end(),
                         [&](const auto& f) { return f->name().compare(wanted, Qt::CaseInsensitive) == 0; }))
            wanted = wanted.mid(name().size());
    for (const auto& f : fields_)
        if (f->name().compare(wanted, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field& Dataset::field(const QString& fieldName) const
{
    Field* f = findField(fieldName);
    if (!f)
        throw UsageError(QStringLiteral("%1: field '%2' not found").arg(name(), fieldName));
    return *f;
}

fb::Value Dataset::rowValue(const Row& row, const Field& f) const
{
    if (!f.isLookup())
        return size_t(f.index()) < row.size() ? row[size_t(f.index())] : fb::Value();
    const Dataset& list = *f.lookupList_;
    const Field* listKey = list.findField(f.lookupListKey_);
    const Field* listResult = list.findField(f.lookupResult_);
    if (!list.isOpen() || !listKey || !listResult)
        return {};
    const int r = list.findRow(listKey->index(), row[size_t(f.lookupKey_)]);
    return r < 0 ? fb::Value() : list.rows_[size_t(r)][size_t(listResult->index())];
}

fb::Value Dataset::fieldValue(const Field& f) const
{
    if (isEditing())
        return rowValue(buffer_, f);
    if (current_ < 0 || current_ >= rowCount())
        return {};
    return rowValue(rows_[size_t(current_)], f);
}

fb::Value Dataset::value(int row, int fieldIndex) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return rowValue(rows_[size_t(row)], field(fieldIndex));
}

void Dataset::setFieldValue(Field& f, const fb::Value& value)
{
    if (f.isLookup())
        throw UsageError(QStringLiteral("%1: lookup field %2 is read-only").arg(name(), f.name()));
    if (!isEditing()) {
        if (state_ != State::Browse || !autoEdit_)
            throw UsageError(QStringLiteral("%1: not in insert or edit state").arg(name()));
        edit();
    }
    fb::Value v = converted(f, value);
    if (f.dataType() == DataType::Text && f.size() > 0 && v.type() == fb::Value::Type::Text &&
        v.toString().size() > f.size())
        v = fb::Value(v.toString().left(f.size()));
    buffer_[size_t(f.index())] = v;
    emit fieldChanged(f.index());
}

// ---------------------------------------------------------------- opening

template <typename Change>
void Dataset::resetWith(Change change)
{
    emit rowsAboutToReset();
    try {
        change();
    } catch (...) {
        rows_.clear();
        resetRows();
        emit rowsReset();
        throw;
    }
    emit rowsReset();
}

void Dataset::open()
{
    if (isOpen())
        return;
    // Starting the area may connect, and the after-connect step may open us.
    area().ensureStarted();
    if (isOpen())
        return;
    resetWith([this] { load(); });
    setState(State::Browse);
    emit currentChanged();
}

void Dataset::close()
{
    if (!isOpen())
        return;
    resetWith([this] {
        rows_.clear();
        rows_.shrink_to_fit();
        buffer_.clear();
        index_.clear();
        current_ = -1;
        bof_ = eof_ = true;
    });
    setState(State::Inactive);
    emit currentChanged();
    if (area_)
        area_->datasetClosed();
}

void Dataset::refresh()
{
    if (!isOpen()) {
        open();
        return;
    }
    refuseWhileEditing("read its rows again");
    const Row k = key();
    resetWith([this] { load(); });
    if (!k.empty())
        locateKey(k);
    emit currentChanged();
}

bool Dataset::openAtKey(const Row& k)
{
    open();
    return locateKey(k);
}

void Dataset::resetRows()
{
    index_.clear();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
}

QStringList Dataset::orderFields() const
{
    if (!order_.isEmpty())
        return order_;
    QStringList out;
    if (master_)
        out << detailField_;
    // A table without a key is read in the order the database gives.
    if (statements_ && statements_->hasKey())
        for (int i : statements_->keyFields())
            if (!out.contains(fields_[size_t(i)]->name()))
                out << fields_[size_t(i)]->name();
    return out;
}

QString Dataset::selectText(const QString& where) const
{
    return statements_->selectText(where, orderFields());
}

void Dataset::load()
{
    rows_.clear();
    if (!statements_) {
        const StatementLines::Parsed parsed = StatementLines::parse(sql_.text());
        Row params;
        for (const QString& p : parsed.params)
            params.push_back(params_.value(p));
        loadRows(parsed.sql, params);
    } else if (master_) {
        const Field* link = master_->findField(masterField_);
        const fb::Value masterKey = link ? link->value() : fb::Value();
        if (!masterKey.isNull())
            loadRows(selectText(detailField_ + QStringLiteral(" = ?")), {masterKey});
    } else if (!secondCursor_) {
        loadRows(selectText({}), {});
    }
    resetRows();
}

void Dataset::loadRows(const QString& sql, const Row& params)
{
    fb::Transaction& tr = area().transaction();
    fb::Statement& st = statements_ ? statements_->select(tr, sql) : query_.prepared(tr, sql);
    for (size_t i = 0; i < params.size(); ++i)
        st.bind(int(i), params[i]);
    st.open(tr);
    if (!statements_)
        fieldsFromStatement(st);
    try {
        while (st.fetch())
            rows_.push_back(st.row());
    } catch (const fb::Error&) {
        st.close();
        rows_.clear();
        throw;
    }
}

// A query's fields are its columns; they are made again only when the
// columns change, so that models and binders keep theirs across re-reads.
void Dataset::fieldsFromStatement(const fb::Statement& st)
{
    bool same = st.columnCount() == dataFieldCount_;
    for (int i = 0; same && i < st.columnCount(); ++i)
        same = fields_[size_t(i)]->name() == st.column(i).alias;
    if (same)
        return;
    fields_.clear();
    for (int i = 0; i < st.columnCount(); ++i)
        addField(st.column(i).alias, typeOfColumn(st.column(i)), st.column(i).charLength);
    dataFieldCount_ = int(fields_.size());
    queryKeyFields_.clear();
    for (int i = 0; i < dataFieldCount_; ++i)
        queryKeyFields_.push_back(i);
}

void Dataset::masterMoved()
{
    if (state_ != State::Browse)
        return;
    resetWith([this] { load(); });
    emit currentChanged();
}

// ---------------------------------------------------------------- rows

void Dataset::setState(State s)
{
    if (state_ == s)
        return;
    state_ = s;
    emit stateChanged();
}

void Dataset::refuseWhileEditing(const char* what) const
{
    if (isEditing())
        throw UsageError(QStringLiteral("%1: cannot %2 while a row is inserted or edited; post or cancel it first")
                             .arg(name(), QLatin1String(what)));
}

void Dataset::setCurrent(int row)
{
    if (row == current_)
        return;
    current_ = row;
    emit currentChanged();
}

void Dataset::first()
{
    refuseWhileEditing("move");
    bof_ = true;
    eof_ = rows_.empty();
    setCurrent(rows_.empty() ? -1 : 0);
}

void Dataset::next()
{
    refuseWhileEditing("move");
    bof_ = false;
    if (current_ + 1 < rowCount())
        setCurrent(current_ + 1);
    else
        eof_ = true;
}

void Dataset::prior()
{
    refuseWhileEditing("move");
    eof_ = false;
    if (current_ > 0)
        setCurrent(current_ - 1);
    else
        bof_ = true;
}

void Dataset::last()
{
    refuseWhileEditing("move");
    eof_ = true;
    bof_ = rows_.empty();
    setCurrent(rowCount() - 1);
}

void Dataset::moveTo(int row)
{
    refuseWhileEditing("move");
    if (row < 0 || row >= rowCount())
        return;
    bof_ = eof_ = false;
    setCurrent(row);
}

int Dataset::findRow(int fieldIndex, const fb::Value& value) const
{
    const Field& f = field(fieldIndex);
    auto& index = index_[fieldIndex];
    if (index.isEmpty() && !rows_.empty())
        for (int r = rowCount() - 1; r >= 0; --r)
            index.insert(indexKey(rowValue(rows_[size_t(r)], f)), r);
    const int r = index.value(indexKey(value), -1);
    if (r < 0 || rowValue(rows_[size_t(r)], f) == value)
        return r;
    for (int other = 0; other < rowCount(); ++other)
        if (rowValue(rows_[size_t(other)], f) == value)
            return other;
    return -1;
}

bool Dataset::locate(const QString& fieldName, const fb::Value& value)
{
    return locate(QStringList{fieldName}, Row{value});
}

bool Dataset::locate(const QStringList& fieldNames, const Row& values)
{
    refuseWhileEditing("move");
    if (size_t(fieldNames.size()) != values.size())
        throw UsageError(
            QStringLiteral("%1: %2 fields located by %3 values").arg(name()).arg(fieldNames.size()).arg(values.size()));
    std::vector<const Field*> fs;
    for (const QString& n : fieldNames)
        fs.push_back(&field(n));
    if (secondCursor_ && statements_) {
        open();
        QStringList where;
        Row params;
        for (size_t i = 0; i < fs.size(); ++i) {
            if (values[i].isNull()) {
                where << fs[i]->name() + QStringLiteral(" is null");
            } else {
                where << fs[i]->name() + QStringLiteral(" = ?");
                params.push_back(values[i]);
            }
        }
        resetWith([&] {
            rows_.clear();
            loadRows(selectText(where.join(QLatin1String(" and "))), params);
            resetRows();
        });
        emit currentChanged();
        return !rows_.empty();
    }
    if (fs.size() == 1) {
        const int r = findRow(fs[0]->index(), values[0]);
        if (r >= 0)
            moveTo(r);
        return r >= 0;
    }
    for (int r = 0; r < rowCount(); ++r) {
        bool match = true;
        for (size_t i = 0; match && i < fs.size(); ++i)
            match = rowValue(rows_[size_t(r)], *fs[i]) == values[i];
        if (match) {
            moveTo(r);
            return true;
        }
    }
    return false;
}

const std::vector<int>& Dataset::keyFields() const
{
    return statements_ ? statements_->keyFields() : queryKeyFields_;
}

Row Dataset::key() const
{
    Row k;
    if (current_ < 0 || current_ >= rowCount())
        return k;
    const Row& row = rows_[size_t(current_)];
    for (int i : keyFields())
        k.push_back(row[size_t(i)]);
    return k;
}

bool Dataset::locateKey(const Row& k)
{
    refuseWhileEditing("move");
    QStringList names;
    for (int i : keyFields())
        names << fields_[size_t(i)]->name();
    if (k.size() != size_t(names.size()) || k.empty())
        return false;
    return locate(names, k);
}

// ---------------------------------------------------------------- editing

TableStatements& Dataset::writable(const char* what) const
{
    if (!statements_)
        throw UsageError(QStringLiteral("%1: a query cannot %2").arg(name(), QLatin1String(what)));
    return *statements_;
}

void Dataset::insert()
{
    writable("insert");
    refuseWhileEditing("start a new row");
    open();
    buffer_.assign(size_t(dataFieldCount_), fb::Value());
    if (master_) {
        const Field* link = master_->findField(masterField_);
        buffer_[size_t(field(detailField_).index())] = link ? link->value() : fb::Value();
    }
    insertAt_ = std::max(current_, 0);
    setState(State::Insert);
    emit currentChanged();
}

void Dataset::append()
{
    insert();
    insertAt_ = rowCount();
}

void Dataset::edit()
{
    writable("edit");
    if (isEditing())
        return;
    if (!isOpen())
        throw UsageError(QStringLiteral("%1: the dataset is closed").arg(name()));
    if (rows_.empty()) {
        append();
        return;
    }
    buffer_ = rows_[size_t(current_)];
    setState(State::Edit);
}

void Dataset::post()
{
    if (!isEditing())
        return;
    TableStatements& table = writable("post");
    fb::Transaction& tr = area().transaction();
    if (state_ == State::Insert) {
        const int generated = table.generatedField();
        const fb::Value given = table.insert(tr, buffer_);
        if (generated >= 0)
            buffer_[size_t(generated)] = given;
        emit rowAboutToBeInserted(insertAt_);
        rows_.insert(rows_.begin() + insertAt_, buffer_);
        index_.clear();
        current_ = insertAt_;
        buffer_.clear();
        setState(State::Browse);
        emit rowInserted(current_);
    } else {
        table.update(tr, rows_[size_t(current_)], buffer_);
        rows_[size_t(current_)] = buffer_;
        index_.clear();
        buffer_.clear();
        setState(State::Browse);
        emit rowUpdated(current_);
    }
    emit currentChanged();
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    buffer_.clear();
    setState(State::Browse);
    emit currentChanged();
}

void Dataset::remove()
{
    TableStatements& table = writable("delete");
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (current_ < 0 || rows_.empty())
        throw UsageError(QStringLiteral("%1: nothing to delete").arg(name()));
    for (const auto& step : beforeDelete_)
        step();
    table.remove(area().transaction(), rows_[size_t(current_)]);

    const int removed = current_;
    emit rowAboutToBeRemoved(removed);
    rows_.erase(rows_.begin() + removed);
    index_.clear();
    current_ = std::min(removed, rowCount() - 1);
    eof_ = rows_.empty();
    emit rowRemoved(removed);
    emit currentChanged();
}

}  // namespace dataset
