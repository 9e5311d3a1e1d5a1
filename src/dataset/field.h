#pragma once

#include "dataset/domain.h"
#include "dataset/table_description.h"
#include "fb/value.h"

#include <QDate>
#include <QString>

#include <optional>

namespace dataset {

class Dataset;

// One field object of a dataset: a table or query column, or a lookup field
// resolved by key through another dataset. Values are read from the current
// row, or from the edit buffer while the dataset inserts or edits.
class Field {
public:
    const QString& name() const { return name_; }
    // The dataset's name and the field's: "TFirmaNAIM_FIRMA".
    QString fullName() const;
    Dataset& dataset() const { return *dataset_; }
    int index() const { return index_; }
    DataType dataType() const { return type_; }
    // Text fields: the characters the column holds (longer text is cut).
    int size() const { return size_; }
    bool isKey() const { return key_; }
    // Filled by the database on insert; never sent.
    bool isGenerated() const { return generated_; }
    bool isLookup() const { return lookupList_ != nullptr; }
    // The values a number column takes; null for a column without one.
    const Domain* domain() const { return domain_ ? &*domain_ : nullptr; }

    const QString& displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString& format) { displayFormat_ = format; }
    const QString& editMask() const { return editMask_; }
    void setEditMask(const QString& mask) { editMask_ = mask; }

    fb::Value value() const;
    // Needs the dataset in insert or edit state (an auto-edit dataset in
    // browse state goes into edit). Text is cut to the column's size.
    void setValue(const fb::Value& value);
    void clear() { setValue(fb::Value()); }
    bool isNull() const { return value().isNull(); }
    QString asString() const { return value().toString(); }
    int asInt() const { return value().toInt(); }
    double asDouble() const { return value().toDouble(); }
    QDate asDate() const { return value().toDate(); }

    // The value as a grid or label shows it: the display format for numbers,
    // the mask's form for dates, the locale's short date otherwise.
    QString displayText() const { return displayText(value()); }
    QString displayText(const fb::Value& value) const;

private:
    friend class Dataset;
    Field(Dataset* dataset, int index, QString name, DataType type, int size)
        : dataset_(dataset), index_(index), name_(std::move(name)), type_(type), size_(size)
    {
    }

    Dataset* dataset_;
    int index_;
    QString name_;
    DataType type_;
    int size_;
    bool key_ = false;
    bool generated_ = false;
    QString displayFormat_;
    QString editMask_;
    std::optional<Domain> domain_;
    // Lookup fields: the key field here, the list and its key and result fields.
    int lookupKey_ = -1;
    Dataset* lookupList_ = nullptr;
    QString lookupListKey_;
    QString lookupResult_;
};

}  // namespace dataset
