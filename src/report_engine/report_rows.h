#pragma once

#include "fb/value.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace reports {

// The rows a report reads, held small: a print of every owner's plots holds
// a quarter of a million rows of a dozen values each. Each value takes eight
// bytes and a byte for its kind, and the texts of a column are held once
// each and referred to by number; a value comes back as the fb::Value it was.
class Rows {
public:
    size_t size() const { return tags_.size() / std::max<size_t>(width_, 1); }
    bool empty() const { return tags_.empty(); }
    size_t width() const { return width_; }
    void clear();

    // The first row sets the width; a shorter row is filled with NULLs, a
    // longer one refused (std::invalid_argument).
    void push_back(const std::vector<fb::Value>& row);

    fb::Value value(size_t row, size_t column) const;
    bool isNull(size_t row, size_t column) const;

private:
    struct Texts {
        std::vector<QString> held;
        QHash<QString, std::uint32_t> numbers;
    };
    void put(size_t column, const fb::Value& v);

    size_t width_ = 0;
    std::vector<std::uint64_t> bits_;  // the value, or the number of its text or of its other value
    std::vector<std::uint8_t> tags_;   // the kind, and a decimal's scale in the high half
    std::vector<Texts> texts_;         // per column
    std::vector<fb::Value> others_;    // the rare kinds that do not fit in eight bytes
};

}  // namespace reports
