#include "common/identifiers.h"

#include <array>

namespace {

// The digits of `text` when it is exactly `length` ASCII digits.
template <size_t N>
bool digitsOf(const QString& text, std::array<int, N>& d)
{
    if (text.size() != static_cast<qsizetype>(N))
        return false;
    for (size_t i = 0; i < N; ++i) {
        const char16_t c = text[static_cast<qsizetype>(i)].unicode();
        if (c < u'0' || c > u'9')
            return false;
        d[i] = c - u'0';
    }
    return true;
}

template <size_t N>
int weighted(const std::array<int, N>& d, std::initializer_list<int> weights, size_t from = 0)
{
    int s = 0;
    size_t i = from;
    for (int w : weights)
        s += w * d[i++];
    return s;
}

// The check digit of the first eight digits of a company code: a second pass
// with other weights when the first gives 10, and 0 when that gives 10 too.
template <size_t N>
int eikCheck9(const std::array<int, N>& d)
{
    int r = weighted(d, {1, 2, 3, 4, 5, 6, 7, 8}) % 11;
    if (r == 10) {
        r = weighted(d, {3, 4, 5, 6, 7, 8, 9, 10}) % 11;
        if (r == 10)
            r = 0;
    }
    return r;
}

}  // namespace

bool CheckEGN(const QString& text)
{
    std::array<int, 10> d{};
    if (!digitsOf(text, d))
        return false;
    const int r = weighted(d, {2, 4, 8, 5, 10, 9, 7, 3, 6}) % 11;
    return r == 10 ? d[9] == 0 : r == d[9];
}

bool CheckLNCh(const QString& text)
{
    std::array<int, 10> d{};
    if (!digitsOf(text, d))
        return false;
    return weighted(d, {21, 19, 17, 13, 11, 9, 7, 3, 1}) % 10 == d[9];
}

bool CheckEIK(const QString& text)
{
    if (text.size() == 9) {
        std::array<int, 9> d{};
        return digitsOf(text, d) && eikCheck9(d) == d[8];
    }
    std::array<int, 13> d{};
    if (!digitsOf(text, d) || eikCheck9(d) != d[8])
        return false;
    int q = weighted(d, {2, 7, 3, 5}, 8) % 11;
    if (q == 10) {
        q = weighted(d, {4, 9, 5, 7}, 8) % 11;
        if (q == 10)
            q = 0;
    }
    return q == d[12];
}
