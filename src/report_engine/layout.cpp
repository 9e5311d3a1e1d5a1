#include "report_engine/layout.h"

#include <QHash>
#include <QPageSize>
#include <QXmlStreamReader>

namespace reports {

namespace {

// Reads the elements of a layout file one by one; every complaint names the
// line it was found on.
class Parser {
public:
    explicit Parser(const QByteArray& text) : xml_(text) {}

    Layout read()
    {
        if (!xml_.readNextStartElement())
            fail(QStringLiteral("няма елемент „report“"));
        if (xml_.name() != QLatin1String("report"))
            fail(QStringLiteral("първият елемент е „%1“, а трябва да е „report“").arg(xml_.name()));
        const int version = integer(QStringLiteral("version"), 0);
        if (version < 1 || version > Layout::kVersion)
            fail(QStringLiteral("версия %1 на формата не се поддържа (програмата чете версия до %2)")
                     .arg(version)
                     .arg(Layout::kVersion));
        Layout layout;
        layout.page = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 10, 15, 10),
                                  QPageLayout::Millimeter);
        while (xml_.readNextStartElement()) {
            const auto name = xml_.name();
            if (name == QLatin1String("page"))
                layout.page = page();
            else if (name == QLatin1String("style"))
                style_ = style(style_, true);
            else if (name == QLatin1String("title"))
                layout.title = band();
            else if (name == QLatin1String("pageHeader"))
                layout.pageHeader = band();
            else if (name == QLatin1String("pageFooter"))
                layout.pageFooter = band();
            else if (name == QLatin1String("summary"))
                layout.summary = band();
            else if (name == QLatin1String("group"))
                layout.groups.push_back(group());
            else if (name == QLatin1String("detail"))
                detail(layout);
            else
                unknown();
        }
        if (xml_.hasError())
            fail(xml_.errorString());
        if (!layout.groups.empty() && !layout.detail)
            fail(QStringLiteral("групите искат лента „detail“"));
        return layout;
    }

private:
    [[noreturn]] void fail(const QString& what) const
    {
        throw ReportError(QStringLiteral("%1 (ред %2)").arg(what).arg(xml_.lineNumber()));
    }
    [[noreturn]] void unknown() const { fail(QStringLiteral("непознат елемент „%1“").arg(xml_.name())); }

    QString text(const QString& name, const QString& fallback = {}) const
    {
        const auto attrs = xml_.attributes();
        return attrs.hasAttribute(name) ? attrs.value(name).toString() : fallback;
    }
    QString required(const QString& name) const
    {
        if (!xml_.attributes().hasAttribute(name))
            fail(QStringLiteral("елементът „%1“ няма атрибут „%2“").arg(xml_.name(), name));
        return text(name);
    }
    double number(const QString& name, std::optional<double> fallback = std::nullopt) const
    {
        if (!xml_.attributes().hasAttribute(name)) {
            if (!fallback)
                required(name);
            return *fallback;
        }
        bool ok = false;
        const double value = text(name).toDouble(&ok);
        if (!ok || value < 0)
            fail(QStringLiteral("атрибутът „%1“ трябва да е неотрицателно число, а е „%2“").arg(name, text(name)));
        return value;
    }
    int integer(const QString& name, int fallback) const { return int(number(name, fallback)); }
    bool flag(const QString& name, bool fallback) const
    {
        const QString value = text(name, fallback ? QStringLiteral("true") : QStringLiteral("false"));
        if (value != QLatin1String("true") && value != QLatin1String("false"))
            fail(QStringLiteral("атрибутът „%1“ трябва да е true или false").arg(name));
        return value == QLatin1String("true");
    }
    void endOfEmptyElement()
    {
        if (xml_.readNextStartElement())
            unknown();
    }

    QPageLayout page()
    {
        static const QHash<QString, QPageSize::PageSizeId> sizes = {{QStringLiteral("A4"), QPageSize::A4},
                                                                    {QStringLiteral("A5"), QPageSize::A5},
                                                                    {QStringLiteral("A3"), QPageSize::A3},
                                                                    {QStringLiteral("Letter"), QPageSize::Letter}};
        const QString size = text(QStringLiteral("size"), QStringLiteral("A4"));
        if (!sizes.contains(size))
            fail(QStringLiteral("непознат размер на страницата „%1“").arg(size));
        const QString orientation = text(QStringLiteral("orientation"), QStringLiteral("portrait"));
        if (orientation != QLatin1String("portrait") && orientation != QLatin1String("landscape"))
            fail(QStringLiteral("ориентацията трябва да е portrait или landscape"));
        const QStringList margins = text(QStringLiteral("margins"), QStringLiteral("15,10,15,10")).split(u',');
        QList<double> m;
        for (const QString& s : margins) {
            bool ok = false;
            m << s.trimmed().toDouble(&ok);
            if (!ok || m.back() < 0)
                fail(QStringLiteral("полетата се пишат като четири числа: ляво,горе,дясно,долу"));
        }
        if (m.size() != 4)
            fail(QStringLiteral("полетата се пишат като четири числа: ляво,горе,дясно,долу"));
        endOfEmptyElement();
        return QPageLayout(QPageSize(sizes.value(size)),
                           orientation == QLatin1String("landscape") ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(m[0], m[1], m[2], m[3]), QPageLayout::Millimeter);
    }

    Style style(const Style& base, bool alone)
    {
        Style s = base;
        s.family = text(QStringLiteral("font"), s.family);
        s.size = number(QStringLiteral("size"), s.size);
        s.bold = flag(QStringLiteral("bold"), s.bold);
        s.italic = flag(QStringLiteral("italic"), s.italic);
        s.wrap = flag(QStringLiteral("wrap"), s.wrap);
        const QString align = text(QStringLiteral("align"));
        if (align == QLatin1String("center"))
            s.align = Qt::AlignHCenter;
        else if (align == QLatin1String("right"))
            s.align = Qt::AlignRight;
        else if (align == QLatin1String("left"))
            s.align = Qt::AlignLeft;
        else if (!align.isEmpty())
            fail(QStringLiteral("подравняването трябва да е left, center или right"));
        if (alone)
            endOfEmptyElement();
        return s;
    }

    QRectF rect() const
    {
        return {number(QStringLiteral("x"), 0), number(QStringLiteral("y"), 0), number(QStringLiteral("width")),
                number(QStringLiteral("height"))};
    }

    // One element of a band; the reader is on its start tag.
    Element element()
    {
        Element e;
        const auto name = xml_.name();
        static const QStringList known = {QStringLiteral("line"),  QStringLiteral("box"),
                                          QStringLiteral("text"),  QStringLiteral("pageNumber"),
                                          QStringLiteral("field"), QStringLiteral("total")};
        if (!known.contains(name))
            unknown();
        e.style = style(style_, false);
        if (name == QLatin1String("line")) {
            e.kind = Element::Kind::Line;
            e.rect = QRectF(QPointF(number(QStringLiteral("x1")), number(QStringLiteral("y1"))),
                            QPointF(number(QStringLiteral("x2")), number(QStringLiteral("y2"))));
            e.penWidth = number(QStringLiteral("pen"), e.penWidth);
            endOfEmptyElement();
            return e;
        }
        e.rect = rect();
        if (name == QLatin1String("box")) {
            e.kind = Element::Kind::Box;
            e.penWidth = number(QStringLiteral("pen"), e.penWidth);
            endOfEmptyElement();
        } else if (name == QLatin1String("text")) {
            e.kind = Element::Kind::Text;
            e.text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        } else if (name == QLatin1String("pageNumber")) {
            e.kind = Element::Kind::PageNumber;
            e.text = text(QStringLiteral("pattern"), QStringLiteral("Стр. {page} от {pages}"));
            endOfEmptyElement();
        } else {
            e.format = text(QStringLiteral("format"));
            e.prefix = text(QStringLiteral("prefix"));
            e.suffix = text(QStringLiteral("suffix"));
            if (name == QLatin1String("field")) {
                e.kind = Element::Kind::Field;
                e.connection = text(QStringLiteral("connection"));
                e.field = required(QStringLiteral("name"));
                e.chars = integer(QStringLiteral("chars"), 0);
                e.linkField = text(QStringLiteral("linkField"));
                e.masterField = text(QStringLiteral("masterField"));
                if (e.linkField.isEmpty() != e.masterField.isEmpty() ||
                    (!e.linkField.isEmpty() && e.connection.isEmpty()))
                    fail(QStringLiteral("полето „%1“ се свързва с „connection“, „linkField“ и „masterField“ заедно")
                             .arg(e.field));
            } else {
                e.kind = Element::Kind::Total;
                // A total adds up the rows of its own band's connection, nothing else.
                if (xml_.attributes().hasAttribute(QStringLiteral("connection")))
                    fail(QStringLiteral("сборът събира редовете на своята лента и няма атрибут „connection“"));
                const QString function = text(QStringLiteral("function"), QStringLiteral("sum"));
                if (function != QLatin1String("sum") && function != QLatin1String("count"))
                    fail(QStringLiteral("функцията на сбора трябва да е sum или count"));
                e.function = function == QLatin1String("sum") ? Element::Function::Sum : Element::Function::Count;
                e.field = e.function == Element::Function::Sum ? required(QStringLiteral("field"))
                                                               : text(QStringLiteral("field"));
            }
            endOfEmptyElement();
        }
        return e;
    }

    // A band's height and elements; `child` takes the elements that are not
    // drawn (a detail's sub-lists) and says whether it knew them.
    Band band(const std::function<bool()>& child = {})
    {
        Band b;
        b.height = number(QStringLiteral("height"));
        while (xml_.readNextStartElement()) {
            if (child && child())
                continue;
            b.elements.push_back(element());
        }
        return b;
    }

    Group group()
    {
        Group g;
        g.field = required(QStringLiteral("field"));
        g.chars = integer(QStringLiteral("chars"), 0);
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("header"))
                g.header = band();
            else if (xml_.name() == QLatin1String("footer"))
                g.footer = band();
            else
                unknown();
        }
        return g;
    }

    SubList subList()
    {
        SubList s;
        s.connection = required(QStringLiteral("connection"));
        s.field = required(QStringLiteral("field"));
        s.masterField = required(QStringLiteral("masterField"));
        bool hasRow = false;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("header"))
                s.header = band();
            else if (xml_.name() == QLatin1String("row"))
                s.row = band(), hasRow = true;
            else if (xml_.name() == QLatin1String("footer"))
                s.footer = band();
            else
                unknown();
        }
        if (!hasRow)
            fail(QStringLiteral("подсписъкът „%1“ няма лента „row“").arg(s.connection));
        return s;
    }

    void detail(Layout& layout)
    {
        layout.detailConnection = required(QStringLiteral("connection"));
        layout.detail = band([&] {
            if (xml_.name() != QLatin1String("sublist"))
                return false;
            layout.subLists.push_back(subList());
            return true;
        });
    }

    QXmlStreamReader xml_;
    Style style_;
};

}  // namespace

void Layout::forEachBand(const std::function<void(const Band&)>& visit) const
{
    for (const auto* band : {&title, &pageHeader, &pageFooter, &summary, &detail})
        if (*band)
            visit(**band);
    for (const Group& g : groups)
        for (const auto* band : {&g.header, &g.footer})
            if (*band)
                visit(**band);
    for (const SubList& s : subLists) {
        visit(s.row);
        for (const auto* band : {&s.header, &s.footer})
            if (*band)
                visit(**band);
    }
}

QStringList Layout::connections() const
{
    QStringList names;
    const auto add = [&](const QString& name) {
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    };
    add(detailConnection);
    for (const SubList& s : subLists)
        add(s.connection);
    forEachBand([&](const Band& band) {
        for (const Element& e : band.elements)
            add(e.connection);
    });
    return names;
}

Layout parseLayout(const QByteArray& text)
{
    return Parser(text).read();
}

}  // namespace reports
