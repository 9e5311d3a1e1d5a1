#include "report_engine/report_rows.h"

#include <bit>
#include <stdexcept>

namespace reports {

namespace {

using Type = fb::Value::Type;

// A kind kept whole in others_ rather than in eight bytes.
constexpr std::uint8_t kOther = 0x0f;

std::uint8_t tagOf(Type t, int scale = 0)
{
    return std::uint8_t(int(t) | scale << 4);
}

}  // namespace

void Rows::clear()
{
    width_ = 0;
    bits_.clear();
    tags_.clear();
    texts_.clear();
    others_.clear();
}

void Rows::push_back(const std::vector<fb::Value>& row)
{
    if (width_ == 0) {
        width_ = row.size();
        texts_.resize(width_);
    }
    if (row.size() > width_)
        throw std::invalid_argument("a report row wider than the rows before it");
    for (size_t c = 0; c < width_; ++c)
        put(c, c < row.size() ? row[c] : fb::Value());
}

void Rows::put(size_t column, const fb::Value& v)
{
    std::uint64_t bits = 0;
    std::uint8_t tag = tagOf(v.type());
    switch (v.type()) {
        case Type::Null:
            break;
        case Type::Integer:
            bits = std::uint64_t(v.toInt64());
            break;
        case Type::Double:
            bits = std::bit_cast<std::uint64_t>(v.toDouble());
            break;
        case Type::Decimal: {
            const fb::Decimal d = v.toDecimal();
            if (d.scale >= 0 && d.scale < 16) {
                bits = std::uint64_t(d.units);
                tag = tagOf(Type::Decimal, d.scale);
            } else {
                tag = kOther;
            }
            break;
        }
        case Type::Date:
            bits = std::uint64_t(v.toDate().toJulianDay());
            break;
        case Type::Text: {
            Texts& texts = texts_[column];
            const QString text = v.toString();
            auto it = texts.numbers.constFind(text);
            if (it == texts.numbers.constEnd()) {
                it = texts.numbers.insert(text, std::uint32_t(texts.held.size()));
                texts.held.push_back(text);
            }
            bits = *it;
            break;
        }
        case Type::Boolean:
            bits = v.toBool();
            break;
        default:  // times and timestamps: seldom in a report, and never many
            tag = kOther;
    }
    if (tag == kOther) {
        bits = others_.size();
        others_.push_back(v);
    }
    bits_.push_back(bits);
    tags_.push_back(tag);
}

bool Rows::isNull(size_t row, size_t column) const
{
    return tags_[row * width_ + column] == tagOf(Type::Null);
}

fb::Value Rows::value(size_t row, size_t column) const
{
    const size_t at = row * width_ + column;
    const std::uint64_t bits = bits_[at];
    const std::uint8_t tag = tags_[at];
    if (tag == kOther)
        return others_[bits];
    switch (Type(tag & 0x0f)) {
        case Type::Null:
            return {};
        case Type::Integer:
            return fb::Value(std::int64_t(bits));
        case Type::Double:
            return fb::Value(std::bit_cast<double>(bits));
        case Type::Decimal:
            return fb::Value(fb::Decimal{std::int64_t(bits), tag >> 4});
        case Type::Date:
            return fb::Value(QDate::fromJulianDay(qint64(bits)));
        case Type::Text:
            return fb::Value(texts_[column].held[bits]);
        case Type::Boolean:
            return fb::Value(bits != 0);
        default:
            return {};
    }
}

}  // namespace reports
