#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace demo {

// A small generator of our own (splitmix64) with our own ways of drawing, so
// that one seed makes the same enterprise with every compiler and library.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n, for n > 0.
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // lo <= result <= hi.
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // True in `p` cases out of a hundred.
    bool percent(int p) { return below(100) < p; }
    template <typename T>
    const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
    }

private:
    std::uint64_t state_;
};

}  // namespace demo
