#include "workbook/xml_part.h"

#include "workbook/workbook_error.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace transfers::xml {

namespace {

struct ByteWriter : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
};

bool isXmlChar(char16_t c)
{
    return c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "_x" followed by four hexadecimal digits and "_" at position i.
bool isHexEscapeAt(const QString& t, qsizetype i)
{
    if (i + 7 > t.size() || t[i] != u'_' || t[i + 1] != u'x' || t[i + 6] != u'_')
        return false;
    return std::all_of(t.begin() + i + 2, t.begin() + i + 6, isHexDigit);
}

}  // namespace

Document parse(const QByteArray& bytes, const QString& partName)
{
    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result r =
        doc->load_buffer(bytes.constData(), size_t(bytes.size()),
                         pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
    if (!r)
        throw WorkbookError(QStringLiteral("Частта \"%1\" на работната книга е повредена: %2")
                                .arg(partName, QString::fromLatin1(r.description())));
    return doc;
}

Document parse(const char* text)
{
    return parse(QByteArray(text), QStringLiteral("(вградена)"));
}

QByteArray bytes(const pugi::xml_document& doc)
{
    ByteWriter w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(w.out);
}

std::string nodeText(const pugi::xml_node& node)
{
    std::ostringstream s;
    node.print(s, "", pugi::format_raw);
    return s.str();
}

QString text(const pugi::xml_node& node)
{
    return QString::fromUtf8(node.text().get());
}

QString attribute(const pugi::xml_node& node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

void setAttribute(pugi::xml_node node, const char* name, const QString& value)
{
    setAttribute(node, name, value.toUtf8().constData());
}

void setAttribute(pugi::xml_node node, const char* name, const char* value)
{
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(value);
}

void setAttribute(pugi::xml_node node, const char* name, long long value)
{
    setAttribute(node, name, std::to_string(value).c_str());
}

pugi::xml_node childInOrder(pugi::xml_node parent, const char* name, Order order)
{
    if (pugi::xml_node existing = parent.child(name))
        return existing;
    auto rank = [&](const char* n) -> std::ptrdiff_t {
        const auto it = std::find_if(order.begin(), order.end(), [&](const char* o) { return std::strcmp(o, n) == 0; });
        return it - order.begin();
    };
    const std::ptrdiff_t mine = rank(name);
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && rank(c.name()) > mine)
            return parent.insert_child_before(name, c);
    }
    return parent.append_child(name);
}

QString escapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isXmlChar(c))
            out += QStringLiteral("_x%1_").arg(QString::number(c, 16).toUpper().rightJustified(4, u'0'));
        else if (c == u'_' && isHexEscapeAt(text, i))
            out += QLatin1String("_x005F_");
        else
            out += QChar(c);
    }
    return out;
}

QString unescapeText(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && isHexEscapeAt(text, i)) {
            out += QChar(char16_t(QStringView(text).sliced(i + 2, 4).toUInt(nullptr, 16)));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

void setText(pugi::xml_node node, const QString& text)
{
    const QString escaped = escapeText(text);
    node.text().set(escaped.toUtf8().constData());
    const bool blanksAtEnds = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    if (blanksAtEnds)
        setAttribute(node, "xml:space", "preserve");
    else
        node.remove_attribute("xml:space");
}

}  // namespace transfers::xml
