#pragma once

#include <QMetaType>
#include <QString>

#include <cstdint>
#include <optional>

namespace fb {

// An exact decimal as Firebird keeps NUMERIC/DECIMAL: a 64-bit integer of
// units and a scale, the value being units / 10^scale.
struct Decimal {
    std::int64_t units = 0;
    int scale = 0;

    // Rounds to the given scale with halves away from zero, as the database does.
    Decimal rescaled(int newScale) const;
    double toDouble() const;
    // Plain notation with exactly `scale` decimals and the given separator.
    QString toString(QChar point = QLatin1Char('.')) const;
    // Accepts an optional sign, digits and one '.' or ','; nothing else.
    static std::optional<Decimal> parse(const QString& text);
    // The double rounded to `scale` decimals, halves away from zero.
    static Decimal fromDouble(double value, int scale);

    friend bool operator==(const Decimal& a, const Decimal& b);
    friend bool operator<(const Decimal& a, const Decimal& b);
    friend Decimal operator+(const Decimal& a, const Decimal& b);
    friend Decimal operator-(const Decimal& a, const Decimal& b);
};

}  // namespace fb

Q_DECLARE_METATYPE(fb::Decimal)
