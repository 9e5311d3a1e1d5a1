#pragma once

#include "fb/decimal.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>

#include <cstdint>
#include <variant>

namespace fb {

// One parameter or column value. An empty value is SQL NULL. Integers of
// every width are held as 64 bits; NUMERIC/DECIMAL columns arrive as Decimal.
class Value {
public:
    enum class Type { Null, Integer, Double, Decimal, Date, Time, Timestamp, Text, Boolean };

    Value() = default;
    Value(int v) : v_(std::int64_t(v)) {}
    Value(std::int64_t v) : v_(v) {}
    Value(long long v) : v_(std::int64_t(v)) {}
    Value(double v) : v_(v) {}
    Value(fb::Decimal v) : v_(v) {}
    Value(QDate v) : v_(v)
    {
        if (!v.isValid())
            v_ = std::monostate{};
    }
    Value(QTime v) : v_(v)
    {
        if (!v.isValid())
            v_ = std::monostate{};
    }
    Value(QDateTime v) : v_(v)
    {
        if (!v.isValid())
            v_ = std::monostate{};
    }
    Value(const QString& v) : v_(v)
    {
        if (v.isNull())
            v_ = std::monostate{};
    }
    Value(const char* utf8) : Value(QString::fromUtf8(utf8)) {}
    Value(bool v) : v_(v) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return type() == Type::Null; }

    // Conversions between the numeric kinds and from text; NULL gives 0,
    // an invalid date, or an empty text.
    std::int64_t toInt64() const;
    int toInt() const { return static_cast<int>(toInt64()); }
    double toDouble() const;
    fb::Decimal toDecimal(int scaleForDouble = 4) const;
    QDate toDate() const;
    QTime toTime() const;
    QDateTime toDateTime() const;
    QString toString() const;
    bool toBool() const;

    QVariant toVariant() const;
    static Value fromVariant(const QVariant& v);

    // The one equality of the program. Numbers of any kind compare by value
    // (Integer 2, Decimal 2.00 and Double 2.0 are equal; a Double against an
    // exact number compares as doubles); NULL equals only NULL; text equals
    // only the same text, never a number written alike; other kinds equal
    // only the same value of the same kind.
    friend bool operator==(const Value& a, const Value& b);

private:
    std::variant<std::monostate, std::int64_t, double, fb::Decimal, QDate, QTime, QDateTime, QString, bool> v_;
};

}  // namespace fb
