#include "fb/statement.h"

#include "fb/api.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/transaction.h"

#include <cstring>
#include <utility>

namespace fb {

using namespace detail;
using Firebird::IMessageMetadata;

namespace {

constexpr int kCharsetUtf8 = 4;
constexpr int kCharsetUnicodeFss = 3;
constexpr int kCharsetOctets = 1;
// ISC_DATE counts days from 17 November 1858, Julian day 2400001.
constexpr qint64 kIscDateEpoch = 2400001;

template <typename T>
T load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void store(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

// Buffer size of a fixed-size message type (the builder keeps the old size
// of a parameter when its type changes).
unsigned fixedLength(int type)
{
    switch (type) {
        case SQL_INT64:
        case SQL_DOUBLE:
        case SQL_TIMESTAMP:
            return 8;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
            return 4;
        case SQL_BOOLEAN:
            return 1;
        default:
            return 0;
    }
}

QDate decodeDate(ISC_DATE d)
{
    return QDate::fromJulianDay(d + kIscDateEpoch);
}

QTime decodeTime(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(t / 10));
}

// An integer column is exact (a Decimal) when it has a scale or was declared
// NUMERIC/DECIMAL (sub-types 1 and 2), even with no decimals.
ColumnType columnType(int sqlType, int scale, int subType)
{
    switch (sqlType) {
        case SQL_VARYING:
        case SQL_TEXT:
            return ColumnType::Text;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            return scale > 0 || subType == 1 || subType == 2 ? ColumnType::Decimal : ColumnType::Integer;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return ColumnType::Float;
        case SQL_TYPE_DATE:
            return ColumnType::Date;
        case SQL_TYPE_TIME:
            return ColumnType::Time;
        case SQL_TIMESTAMP:
            return ColumnType::Timestamp;
        case SQL_BOOLEAN:
            return ColumnType::Boolean;
        case SQL_BLOB:
            return subType == 1 ? ColumnType::Text : ColumnType::Other;
        default:
            return ColumnType::Other;
    }
}

}  // namespace

struct Statement::Impl {
    RefPtr<Firebird::IStatement> stmt;
    RefPtr<Firebird::IResultSet> cursor;
    RefPtr<IMessageMetadata> inNative;
    RefPtr<IMessageMetadata> inMeta;  // built for the types of the bound values
    RefPtr<IMessageMetadata> outMeta;
    std::vector<std::pair<int, unsigned>> inSignature;  // (type, length) inMeta was built for
    std::vector<unsigned char> inBuf;
    std::vector<unsigned char> outBuf;
    std::vector<Column> columns;
    std::vector<QString> upperAliases;
    // Where each column lies in the output buffer, read once at prepare:
    // reading a value then asks the engine nothing.
    struct Slot {
        int sqlType;  // Firebird's own type code, nullability bit cleared
        unsigned offset, nullOffset, length;
        bool octets;  // binary text, taken byte for byte
    };
    std::vector<Slot> layout;
    Status status;  // one for every call on the statement

    void buildInput(const std::vector<Value>& params);
    Value readColumn(unsigned i, Transaction* tr) const;
};

Statement::Statement(Connection& connection, QString sql)
    : connection_(&connection), sql_(std::move(sql)), d_(std::make_unique<Impl>())
{
    connection_->add(this);
}

Statement::~Statement()
{
    unprepare();
    if (connection_)
        connection_->remove(this);
}

bool Statement::isPrepared() const
{
    return static_cast<bool>(d_->stmt);
}

bool Statement::isOpen() const
{
    return static_cast<bool>(d_->cursor);
}

void Statement::prepare(Transaction& tr)
{
    if (!connection_)
        throw Error(QStringLiteral("Database is not attached"));
    unprepare();
    Status& st = d_->status;
    d_->stmt.reset(connection_->handle()->prepare(&st, tr.handle(), 0, sql_.toUtf8().constData(), 3,
                                                  Firebird::IStatement::PREPARE_PREFETCH_METADATA));
    d_->inNative.reset(d_->stmt->getInputMetadata(&st));
    d_->outMeta.reset(d_->stmt->getOutputMetadata(&st));
    d_->outBuf.assign(d_->outMeta->getMessageLength(&st), 0);

    const unsigned n = d_->outMeta->getCount(&st);
    d_->columns.clear();
    d_->upperAliases.clear();
    d_->layout.clear();
    for (unsigned i = 0; i < n; ++i) {
        Column c;
        c.alias = QString::fromUtf8(d_->outMeta->getAlias(&st, i));
        c.field = QString::fromUtf8(d_->outMeta->getField(&st, i));
        c.relation = QString::fromUtf8(d_->outMeta->getRelation(&st, i));
        const int sqlType = static_cast<int>(d_->outMeta->getType(&st, i) & ~1u);
        c.scale = -d_->outMeta->getScale(&st, i);
        c.type = columnType(sqlType, c.scale, d_->outMeta->getSubType(&st, i));
        const unsigned length = d_->outMeta->getLength(&st, i);
        const unsigned cs = d_->outMeta->getCharSet(&st, i) & 0xFF;
        if (sqlType == SQL_VARYING || sqlType == SQL_TEXT) {
            const unsigned bytesPerChar = cs == kCharsetUtf8 ? 4 : cs == kCharsetUnicodeFss ? 3 : 1;
            c.charLength = static_cast<int>(length / bytesPerChar);
        }
        d_->upperAliases.push_back(c.alias.toUpper());
        d_->layout.push_back({sqlType, d_->outMeta->getOffset(&st, i), d_->outMeta->getNullOffset(&st, i), length,
                              cs == kCharsetOctets});
        d_->columns.push_back(std::move(c));
    }
    row_.assign(n, Value());
}

void Statement::ensurePrepared(Transaction& tr)
{
    if (!d_->stmt)
        prepare(tr);
}

void Statement::bind(int index, const Value& value)
{
    if (index < 0)
        throw Error(QStringLiteral("Parameter index out of range"));
    if (params_.size() <= static_cast<size_t>(index))
        params_.resize(static_cast<size_t>(index) + 1);
    params_[static_cast<size_t>(index)] = value;
}

void Statement::Impl::buildInput(const std::vector<Value>& params)
{
    Status& st = status;
    const unsigned n = inNative->getCount(&st);
    std::vector<QByteArray> texts(n);
    std::vector<std::pair<int, unsigned>> signature(n);
    for (unsigned i = 0; i < n; ++i) {
        const Value v = i < params.size() ? params[i] : Value();
        switch (v.type()) {
            case Value::Type::Null:
                signature[i] = {0, 0};
                break;
            case Value::Type::Integer:
                signature[i] = {SQL_INT64, 0};
                break;
            case Value::Type::Double:
                signature[i] = {SQL_DOUBLE, 0};
                break;
            case Value::Type::Decimal:
                signature[i] = {SQL_INT64, static_cast<unsigned>(v.toDecimal().scale)};
                break;
            case Value::Type::Date:
                signature[i] = {SQL_TYPE_DATE, 0};
                break;
            case Value::Type::Time:
                signature[i] = {SQL_TYPE_TIME, 0};
                break;
            case Value::Type::Timestamp:
                signature[i] = {SQL_TIMESTAMP, 0};
                break;
            case Value::Type::Boolean:
                signature[i] = {SQL_BOOLEAN, 0};
                break;
            case Value::Type::Text:
                texts[i] = v.toString().toUtf8();
                signature[i] = {SQL_VARYING, static_cast<unsigned>(std::max<qsizetype>(texts[i].size(), 1))};
                break;
        }
    }

    if (!inMeta || signature != inSignature) {
        RefPtr<Firebird::IMetadataBuilder> b(inNative->getBuilder(&st));
        for (unsigned i = 0; i < n; ++i) {
            const auto [type, extra] = signature[i];
            if (type == 0) {
                b->setType(&st, i, (inNative->getType(&st, i) & ~1u) | 1u);
                continue;
            }
            b->setType(&st, i, static_cast<unsigned>(type) | 1u);
            b->setSubType(&st, i, 0);
            b->setScale(&st, i, type == SQL_INT64 ? -static_cast<int>(extra) : 0);
            b->setLength(&st, i, fixedLength(type));
            if (type == SQL_VARYING) {
                b->setCharSet(&st, i, kCharsetUtf8);
                b->setLength(&st, i, extra);
            }
        }
        inMeta.reset(b->getMetadata(&st));
        inSignature = signature;
        inBuf.assign(inMeta->getMessageLength(&st), 0);
    }

    for (unsigned i = 0; i < n; ++i) {
        const Value v = i < params.size() ? params[i] : Value();
        unsigned char* field = inBuf.data() + inMeta->getOffset(&st, i);
        store<short>(inBuf.data() + inMeta->getNullOffset(&st, i), v.isNull() ? -1 : 0);
        switch (v.type()) {
            case Value::Type::Null:
                break;
            case Value::Type::Integer:
                store<ISC_INT64>(field, v.toInt64());
                break;
            case Value::Type::Double:
                store<double>(field, v.toDouble());
                break;
            case Value::Type::Decimal:
                store<ISC_INT64>(field, v.toDecimal().units);
                break;
            case Value::Type::Date:
                store<ISC_DATE>(field, static_cast<ISC_DATE>(v.toDate().toJulianDay() - kIscDateEpoch));
                break;
            case Value::Type::Time:
                store<ISC_TIME>(field, static_cast<ISC_TIME>(v.toTime().msecsSinceStartOfDay()) * 10);
                break;
            case Value::Type::Timestamp: {
                const QDateTime dt = v.toDateTime();
                store<ISC_DATE>(field, static_cast<ISC_DATE>(dt.date().toJulianDay() - kIscDateEpoch));
                store<ISC_TIME>(field + sizeof(ISC_DATE), static_cast<ISC_TIME>(dt.time().msecsSinceStartOfDay()) * 10);
                break;
            }
            case Value::Type::Boolean:
                store<FB_BOOLEAN>(field, v.toBool() ? FB_TRUE : FB_FALSE);
                break;
            case Value::Type::Text:
                store<unsigned short>(field, static_cast<unsigned short>(texts[i].size()));
                std::memcpy(field + sizeof(unsigned short), texts[i].constData(), static_cast<size_t>(texts[i].size()));
                break;
        }
    }
}

void Statement::execute(Transaction& tr)
{
    ensurePrepared(tr);
    close();
    d_->buildInput(params_);
    Status& st = d_->status;
    const bool hasOutput = !d_->columns.empty();
    d_->stmt->execute(&st, tr.handle(), d_->inMeta.get(), d_->inBuf.data(), hasOutput ? d_->outMeta.get() : nullptr,
                      hasOutput ? d_->outBuf.data() : nullptr);
    if (hasOutput) {
        cursorTransaction_ = &tr;
        readRow();
        cursorTransaction_ = nullptr;
    }
}

void Statement::open(Transaction& tr)
{
    ensurePrepared(tr);
    close();
    d_->buildInput(params_);
    Status& st = d_->status;
    d_->cursor.reset(d_->stmt->openCursor(&st, tr.handle(), d_->inMeta.get(), d_->inBuf.data(), d_->outMeta.get(), 0));
    cursorTransaction_ = &tr;
    tr.addCursor(this);
}

bool Statement::fetch()
{
    if (!d_->cursor)
        return false;
    Status& st = d_->status;
    if (d_->cursor->fetchNext(&st, d_->outBuf.data()) != Firebird::IStatus::RESULT_OK) {
        close();
        return false;
    }
    readRow();
    return true;
}

void Statement::close()
{
    if (!d_->cursor)
        return;
    Status& st = d_->status;
    try {
        d_->cursor->close(&st);  // frees the result set on success
        d_->cursor.take();
    } catch (const Error&) {
        d_->cursor.reset();  // its transaction has ended; just let it go
    }
    if (cursorTransaction_)
        cursorTransaction_->removeCursor(this);
    cursorTransaction_ = nullptr;
}

void Statement::unprepare()
{
    close();
    if (d_->stmt) {
        Status st;
        try {
            d_->stmt->free(&st);  // frees the statement on success
            d_->stmt.take();
        } catch (const Error&) {
            d_->stmt.reset();
        }
    }
    d_->inMeta.reset();
    d_->inNative.reset();
    d_->outMeta.reset();
    d_->inSignature.clear();
}

int Statement::columnCount() const
{
    return static_cast<int>(d_->columns.size());
}

const Column& Statement::column(int index) const
{
    return d_->columns.at(static_cast<size_t>(index));
}

int Statement::columnIndex(const QString& alias) const
{
    const QString up = alias.toUpper();
    for (size_t i = 0; i < d_->upperAliases.size(); ++i)
        if (d_->upperAliases[i] == up)
            return static_cast<int>(i);
    return -1;
}

const Value& Statement::value(const QString& alias) const
{
    const int i = columnIndex(alias);
    if (i < 0)
        throw Error(QStringLiteral("No column %1 in the result").arg(alias));
    return value(i);
}

void Statement::readRow()
{
    row_.resize(d_->columns.size());
    for (unsigned i = 0; i < d_->columns.size(); ++i)
        row_[i] = d_->readColumn(i, cursorTransaction_);
}

std::vector<Value> Statement::takeRow()
{
    return std::exchange(row_, {});
}

Value Statement::Impl::readColumn(unsigned i, Transaction* tr) const
{
    const Slot& slot = layout[i];
    const unsigned char* buf = outBuf.data();
    if (load<short>(buf + slot.nullOffset))
        return {};
    const unsigned char* p = buf + slot.offset;
    const Column& c = columns[i];
    const bool exact = c.type == ColumnType::Decimal;
    switch (slot.sqlType) {
        case SQL_VARYING: {
            const auto len = load<unsigned short>(p);
            const char* text = reinterpret_cast<const char*>(p + sizeof(unsigned short));
            if (slot.octets)
                return Value(QString::fromLatin1(text, len));
            return Value(QString::fromUtf8(text, len));
        }
        case SQL_TEXT: {
            // Fixed-length text comes padded with blanks up to its byte size.
            int len = static_cast<int>(slot.length);
            const char* text = reinterpret_cast<const char*>(p);
            while (len > 0 && text[len - 1] == ' ')
                --len;
            return Value(QString::fromUtf8(text, len));
        }
        case SQL_SHORT: {
            const auto v = load<short>(p);
            return exact ? Value(Decimal{v, c.scale}) : Value(static_cast<std::int64_t>(v));
        }
        case SQL_LONG: {
            const auto v = load<ISC_LONG>(p);
            return exact ? Value(Decimal{v, c.scale}) : Value(static_cast<std::int64_t>(v));
        }
        case SQL_INT64: {
            const auto v = load<ISC_INT64>(p);
            return exact ? Value(Decimal{v, c.scale}) : Value(static_cast<std::int64_t>(v));
        }
        case SQL_FLOAT:
            return Value(static_cast<double>(load<float>(p)));
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return Value(load<double>(p));
        case SQL_TYPE_DATE:
            return Value(decodeDate(load<ISC_DATE>(p)));
        case SQL_TYPE_TIME:
            return Value(decodeTime(load<ISC_TIME>(p)));
        case SQL_TIMESTAMP:
            return Value(QDateTime(decodeDate(load<ISC_DATE>(p)), decodeTime(load<ISC_TIME>(p + sizeof(ISC_DATE)))));
        case SQL_BOOLEAN:
            return Value(load<FB_BOOLEAN>(p) != FB_FALSE);
        case SQL_BLOB: {
            if (!tr)
                return {};
            Status st;
            ISC_QUAD id = load<ISC_QUAD>(p);
            RefPtr<Firebird::IBlob> blob(tr->connection()->handle()->openBlob(&st, tr->handle(), &id, 0, nullptr));
            QByteArray data;
            char chunk[16384];
            for (;;) {
                unsigned got = 0;
                const int rc = blob->getSegment(&st, sizeof chunk, chunk, &got);
                if (rc != Firebird::IStatus::RESULT_OK && rc != Firebird::IStatus::RESULT_SEGMENT)
                    break;
                data.append(chunk, static_cast<qsizetype>(got));
            }
            blob->close(&st);
            blob.take();
            return Value(QString::fromUtf8(data));
        }
        default:
            return {};
    }
}

std::vector<std::vector<Value>> fetchAll(Statement& st, Transaction& tr)
{
    std::vector<std::vector<Value>> rows;
    st.open(tr);
    while (st.fetch())
        rows.push_back(st.row());
    return rows;
}

Value fetchScalar(Connection& c, Transaction& tr, const QString& sql, const std::vector<Value>& params)
{
    Statement st(c, sql);
    for (size_t i = 0; i < params.size(); ++i)
        st.bind(static_cast<int>(i), params[i]);
    st.open(tr);
    Value v;
    if (st.fetch())
        v = st.value(0);
    st.close();
    return v;
}

void execute(Connection& c, Transaction& tr, const QString& sql, const std::vector<Value>& params)
{
    Statement st(c, sql);
    for (size_t i = 0; i < params.size(); ++i)
        st.bind(static_cast<int>(i), params[i]);
    st.execute(tr);
}

}  // namespace fb
