#include "dataset/dataset.h"

#include "dataset/usage_error.h"

#include <cmath>

// Moving through a dataset's rows and finding them again: the current row,
// the row indexes locate() keeps per field, and the key of a row.
namespace dataset {

namespace {

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

}  // namespace

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
    fetchUpTo(current_ + 2);
    if (current_ + 1 < loadedRowCount())
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
    fetchUpTo(row + 1);
    if (row < 0 || row >= loadedRowCount())
        return;
    bof_ = eof_ = false;
    setCurrent(row);
}

int Dataset::findRow(int fieldIndex, const fb::Value& value) const
{
    const Field& f = field(fieldIndex);
    // A list read on demand is read on only as far as the row sought.
    if (fetchOnDemand_ && hasMoreRows()) {
        for (int r = 0;; ++r) {
            if (r >= loadedRowCount())
                fetchUpTo(r + 256);
            if (r >= loadedRowCount())
                return -1;
            if (rowValue(rows_[size_t(r)], f) == value)
                return r;
        }
    }
    fetchUpTo(-1);  // before the index is taken: rows coming in drop it
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
    if (current_ < 0 || current_ >= loadedRowCount())
        return k;
    const Row& row = rows_[size_t(current_)];
    for (int i : keyFields())
        k.push_back(row[size_t(i)]);
    return k;
}

bool Dataset::locateFresh(const QString& fieldName, const fb::Value& value)
{
    open();
    if (locate(fieldName, value))
        return true;
    refresh();
    return locate(fieldName, value);
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

}  // namespace dataset
