#pragma once

#include "fb/value.h"

#include <QString>

#include <optional>

namespace dataset {

// The values a number field may hold: its unit, how many decimals are typed
// and the range. A field out of its domain is refused with one Bulgarian
// message that names the field and says what it takes, whatever was wrong
// (a sign, too many digits or decimals, not a number at all).
struct Domain {
    QString name;             // the field as the user knows it: "Площ"
    QString unit = {};        // "дка", "лв", "кг"; empty for a plain number
    int decimals = 0;         // 0: whole numbers only
    double least = 0;         // the smallest value taken…
    double most = 0;          // …and the largest
    bool aboveLeast = false;  // the smallest value itself is refused (a coefficient above zero)
    // More decimals than `decimals` are rounded away as the program stores
    // the figure (typed areas), rather than refused.
    bool rounds = false;

    // The same domain under the name a screen gives the field.
    Domain named(const QString& fieldName) const;
    // The message: "Полето „Площ“ приема число от 0 до 99 999,999 дка!"
    QString message() const;
    // Whether a stored value lies in the range (NULL does).
    bool holds(const fb::Value& value) const;
    bool holds(double value) const;
    // The longest text of digits a value of the domain takes before its
    // decimals; a typed number with more is refused at once.
    int integerDigits() const;
};

}  // namespace dataset
