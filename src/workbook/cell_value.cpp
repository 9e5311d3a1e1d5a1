#include "workbook/cell_value.h"

#include "workbook/workbook_error.h"

#include <charconv>
#include <optional>

namespace transfers {

namespace {

constexpr int kExactDigits = 15;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The text as a number in the C locale ("-12.5e3"), or nothing when it is not
// one of the plain number forms typedInput accepts.
std::optional<QByteArray> plainNumber(const QString& text, QChar decimal)
{
    const QString t = text.trimmed();
    QByteArray out;
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        out += char(t[i++].unicode());
    int digits = 0;
    int significant = 0;
    auto takeDigits = [&] {
        while (i < t.size() && isDigit(t[i])) {
            if (significant > 0 || t[i] != u'0')
                ++significant;
            ++digits;
            out += char(t[i++].unicode());
        }
    };
    takeDigits();
    if (i < t.size() && (t[i] == decimal || t[i] == u'.')) {
        ++i;
        out += '.';
        takeDigits();
    }
    if (digits == 0 || significant > kExactDigits)
        return std::nullopt;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        out += 'e';
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            out += char(t[i++].unicode());
        const qsizetype expStart = i;
        while (i < t.size() && isDigit(t[i]))
            out += char(t[i++].unicode());
        if (i == expStart)
            return std::nullopt;
    }
    if (i != t.size())
        return std::nullopt;
    return out;
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    const auto plain = plainNumber(text, locale.decimalPoint().at(0));
    if (!plain)
        return std::nullopt;
    // from_chars takes no leading plus sign.
    const char* begin = plain->constData() + (plain->startsWith('+') ? 1 : 0);
    const char* end = plain->constData() + plain->size();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

}  // namespace

CellValue CellValue::number(double value)
{
    CellValue v;
    v.kind_ = Kind::Number;
    v.number_ = value;
    return v;
}

CellValue CellValue::text(const QString& value)
{
    CellValue v;
    v.kind_ = Kind::Text;
    v.text_ = value;
    return v;
}

CellValue CellValue::boolean(bool value)
{
    CellValue v;
    v.kind_ = Kind::Boolean;
    v.number_ = value ? 1 : 0;
    return v;
}

CellValue CellValue::error(const QString& code)
{
    CellValue v;
    v.kind_ = Kind::Error;
    v.text_ = code;
    return v;
}

double CellValue::toNumber(const QLocale& locale) const
{
    switch (kind_) {
        case Kind::Empty:
            return 0;
        case Kind::Number:
        case Kind::Boolean:
            return number_;
        case Kind::Text:
            if (const auto n = parseNumber(text_, locale))
                return *n;
            break;
        case Kind::Error:
            break;
    }
    throw WorkbookError(QStringLiteral("Стойността \"%1\" не е число").arg(text_));
}

QString CellValue::toString() const
{
    switch (kind_) {
        case Kind::Empty:
            return {};
        case Kind::Number:
            return numberText(number_);
        case Kind::Boolean:
            return number_ != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        case Kind::Text:
        case Kind::Error:
            break;
    }
    return text_;
}

CellValue typedInput(const QString& text, bool textFormat, const QLocale& locale)
{
    if (text.isEmpty())
        return {};
    if (!textFormat) {
        if (const auto n = parseNumber(text, locale))
            return CellValue::number(*n);
    }
    return CellValue::text(text);
}

QString numberText(double value)
{
    char buffer[32];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, ptr - buffer);
}

}  // namespace transfers
