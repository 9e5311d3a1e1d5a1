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
            // The locale's decimal point or the full stop, whichever was typed.
            bool ok = false;
            double d = QLocale().toDouble(text, &ok);
            if (!ok) {
                QLocale c = QLocale::c();
                c.setNumberOptions(QLocale::RejectGroupSeparator);
                d = c.toDouble(QString(text).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
            }
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
        f.domain_ = c.domain;
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
    if (current_ < 0 || current_ >= loadedRowCount())
        return {};
    return rowValue(rows_[size_t(current_)], f);
}

fb::Value Dataset::value(int row, int fieldIndex) const
{
    if (row >= loadedRowCount())
        fetchUpTo(row + 1);
    if (row < 0 || row >= loadedRowCount())
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

void Dataset::resetWith(const std::function<void()>& change)
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
    stopFetching();
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

void Dataset::takeRows(const std::function<void(Row&&)>& take)
{
    refuseWhileEditing("hand its rows over");
    std::vector<Row> read;
    read.swap(rows_);
    for (Row& row : read)
        take(std::move(row));
    std::vector<Row>().swap(read);
    try {
        while (hasMoreRows() && pending_->fetch())
            take(shared(pending_->takeRow()));
    } catch (const fb::Error&) {
        close();
        throw;
    }
    close();
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
    stopFetching();
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
    // A list read on demand starts with what fills a grid or two.
    const size_t first = fetchOnDemand_ && !secondCursor_ ? 200 : SIZE_MAX;
    try {
        while (rows_.size() < first && st.fetch())
            rows_.push_back(shared(st.takeRow()));
    } catch (const fb::Error&) {
        st.close();
        rows_.clear();
        texts_.clear();
        throw;
    }
    if (st.isOpen())
        pending_ = &st;
    else
        texts_.clear();
}

Row Dataset::shared(Row row) const
{
    if (!shareTexts_)
        return row;
    texts_.resize(row.size());
    for (size_t f = 0; f < row.size(); ++f) {
        if (row[f].type() != fb::Value::Type::Text)
            continue;
        const QString text = row[f].toString();
        const auto held = texts_[f].constFind(text);
        if (held != texts_[f].constEnd())
            row[f] = fb::Value(*held);
        else
            texts_[f].insert(text);
    }
    return row;
}

namespace {
constexpr int kFetchChunk = 1024;
}

int Dataset::rowCount() const
{
    fetchUpTo(-1);
    return loadedRowCount();
}

bool Dataset::hasMoreRows() const
{
    if (pending_ && !pending_->isOpen()) {
        pending_ = nullptr;  // read to its end, or its transaction ended: the list is as far as it was read
        texts_.clear();
    }
    return pending_ != nullptr;
}

void Dataset::fetchMore(int count)
{
    fetchUpTo(loadedRowCount() + count);
}

void Dataset::fetchUpTo(int wanted) const
{
    auto* self = const_cast<Dataset*>(this);
    std::vector<Row> more;
    more.reserve(kFetchChunk);
    // Rows come in at the end, a chunk at a time: models are told, the current row stays.
    while (hasMoreRows() && (wanted < 0 || loadedRowCount() < wanted)) {
        const int chunk = wanted < 0 ? kFetchChunk : std::min(kFetchChunk, wanted - loadedRowCount());
        try {
            while (int(more.size()) < chunk && pending_->fetch())
                more.push_back(shared(pending_->takeRow()));
        } catch (const fb::Error& e) {
            stopFetching();
            // A list cut by a lost connection is read again from its start
            // once the connection is made again, not left half-read.
            if (e.connectionLost() && area_)
                area_->database().recoverIfLost();
            throw;
        }
        if (more.empty())
            break;
        emit self->rowsAboutToBeAppended(loadedRowCount(), loadedRowCount() + int(more.size()) - 1);
        std::move(more.begin(), more.end(), std::back_inserter(self->rows_));
        more.clear();
        index_.clear();
        emit self->rowsAppended();
    }
}

void Dataset::stopFetching() const
{
    if (pending_)
        pending_->close();
    pending_ = nullptr;
    texts_.clear();
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
    fetchUpTo(-1);  // a new row goes after the last one
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
    refuseOutOfDomain();
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
