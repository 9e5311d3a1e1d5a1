#pragma once

#include <QLocale>
#include <QString>

namespace transfers {

// What a cell holds: nothing, a number, a text, a logical value or an error
// value such as "#N/A" (kept as its text).
class CellValue {
public:
    enum class Kind { Empty, Number, Text, Boolean, Error };

    CellValue() = default;
    static CellValue number(double value);
    static CellValue text(const QString& value);
    static CellValue boolean(bool value);
    static CellValue error(const QString& code);

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isText() const { return kind_ == Kind::Text; }
    // The stored number; 0 unless isNumber() (or a logical value, as 1 or 0).
    double numberValue() const { return number_; }
    // The stored text of a text or an error value; empty otherwise.
    const QString& textValue() const { return text_; }

    // The value in arithmetic, as a macro's "value * 1" sees it: empty is 0,
    // a text must read as a number in the locale (or with a full stop).
    // Anything else is a WorkbookError naming the value.
    double toNumber(const QLocale& locale = QLocale()) const;
    // The value as a plain text: numbers in their shortest exact form with a
    // full stop, logical values as TRUE/FALSE.
    QString toString() const;

    friend bool operator==(const CellValue&, const CellValue&) = default;

private:
    Kind kind_ = Kind::Empty;
    double number_ = 0;
    QString text_;
};

// What a cell holds after the text was typed into it. An empty text empties
// the cell. In a cell whose number format is text ("@") every text stays a
// text, leading zeros and all. Elsewhere a text that reads as a plain
// number becomes that number: an optional sign, digits and an optional
// fraction after the locale's decimal separator or a full stop, and an
// optional exponent, with blanks around it allowed. Only texts whose number
// can be kept exactly (at most 15 significant digits) are turned into
// numbers, so that long identifiers never lose digits. Nothing else is
// converted: no dates, percentages, formulas ("=..." stays a text) or
// thousands separators.
CellValue typedInput(const QString& text, bool textFormat, const QLocale& locale = QLocale());

// The shortest text that reads back as exactly the same double, with a full
// stop: the form a workbook file stores numbers in.
QString numberText(double value);

}  // namespace transfers
