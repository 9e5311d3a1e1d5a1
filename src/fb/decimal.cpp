#include "fb/decimal.h"

#include <cmath>

namespace fb {

namespace {

std::int64_t pow10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Brings both to the larger scale so they can be compared or added.
std::pair<std::int64_t, std::int64_t> aligned(const Decimal& a, const Decimal& b, int* scale)
{
    *scale = std::max(a.scale, b.scale);
    return {a.units * pow10(*scale - a.scale), b.units * pow10(*scale - b.scale)};
}

}  // namespace

Decimal Decimal::rescaled(int newScale) const
{
    if (newScale >= scale)
        return {units * pow10(newScale - scale), newScale};
    const std::int64_t div = pow10(scale - newScale);
    std::int64_t q = units / div;
    const std::int64_t r = units % div;
    if (2 * (r < 0 ? -r : r) >= div)
        q += units < 0 ? -1 : 1;
    return {q, newScale};
}

double Decimal::toDouble() const
{
    return static_cast<double>(units) / static_cast<double>(pow10(scale));
}

QString Decimal::toString(QChar point) const
{
    const bool negative = units < 0;
    // Work on the unsigned magnitude so the smallest int64 is printed right.
    const std::uint64_t mag = negative ? std::uint64_t(0) - std::uint64_t(units) : std::uint64_t(units);
    QString digits = QString::number(mag);
    if (scale > 0) {
        if (digits.size() <= scale)
            digits = QString(scale - digits.size() + 1, QLatin1Char('0')) + digits;
        digits.insert(digits.size() - scale, point);
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

std::optional<Decimal> Decimal::parse(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+')) {
        negative = t[0] == QLatin1Char('-');
        ++i;
    }
    Decimal d;
    bool point = false, anyDigit = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (point)
                return std::nullopt;
            point = true;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (d.units > (INT64_MAX - 9) / 10)
                return std::nullopt;
            d.units = d.units * 10 + (c.unicode() - '0');
            anyDigit = true;
            if (point)
                ++d.scale;
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (negative)
        d.units = -d.units;
    return d;
}

Decimal Decimal::fromDouble(double value, int scale)
{
    // Go through the shortest text of the double so that 2.675 stays 2.675
    // and rounds to 2.68, as the user sees it, not to its binary neighbour.
    auto d = parse(QString::number(value, 'g', 15));
    if (!d)
        return {static_cast<std::int64_t>(std::llround(value * static_cast<double>(pow10(scale)))), scale};
    return d->rescaled(scale);
}

bool operator==(const Decimal& a, const Decimal& b)
{
    int s;
    const auto [x, y] = aligned(a, b, &s);
    return x == y;
}

bool operator<(const Decimal& a, const Decimal& b)
{
    int s;
    const auto [x, y] = aligned(a, b, &s);
    return x < y;
}

Decimal operator+(const Decimal& a, const Decimal& b)
{
    int s;
    const auto [x, y] = aligned(a, b, &s);
    return {x + y, s};
}

Decimal operator-(const Decimal& a, const Decimal& b)
{
    int s;
    const auto [x, y] = aligned(a, b, &s);
    return {x - y, s};
}

}  // namespace fb
