#include "common/text_input.h"

#include <QLineEdit>
#include <QPointer>
#include <QValidator>

#include <algorithm>
#include <array>

namespace {

// Unicode of the Windows-1251 bytes 0x80 to 0xFF; 0 marks the unassigned 0x98.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    // 0xC0 to 0xFF: А to я in order
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B,
    0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439,
    0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

const std::array<char16_t, 128>& sortedUpperHalf()
{
    static const std::array<char16_t, 128> sorted = [] {
        std::array<char16_t, 128> a = kUpperHalf;
        std::ranges::sort(a);
        return a;
    }();
    return sorted;
}

// Drops the unfit characters before handing what is left to the validator
// the edit had before (if any). Changing the text in validate() is what
// QLineEdit allows a validator to do, and it keeps the rest of a paste;
// returning Invalid would throw the whole paste away.
class Windows1251Validator : public QValidator {
public:
    Windows1251Validator(const QValidator* inner, QObject* parent) : QValidator(parent), inner_(inner) {}

    State validate(QString& input, int& pos) const override
    {
        if (!fitsWindows1251(input)) {
            const int kept = int(keepWindows1251(input.left(pos)).size());
            input = keepWindows1251(input);
            pos = kept;
        }
        return inner_ ? inner_->validate(input, pos) : Acceptable;
    }

    void fixup(QString& input) const override
    {
        input = keepWindows1251(input);
        if (inner_)
            inner_->fixup(input);
    }

private:
    QPointer<const QValidator> inner_;
};

}  // namespace

bool fitsWindows1251(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return true;
    // The unassigned 0x98 is held as 0, which no character here equals.
    return std::ranges::binary_search(sortedUpperHalf(), u);
}

bool fitsWindows1251(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return fitsWindows1251(c); });
}

QString keepWindows1251(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text)
        if (fitsWindows1251(c))
            kept.append(c);
    return kept;
}

void acceptWindows1251Only(QLineEdit* edit)
{
    edit->setValidator(new Windows1251Validator(edit->validator(), edit));
}
