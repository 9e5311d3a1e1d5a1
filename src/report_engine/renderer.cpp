#include "report_engine/renderer.h"

#include "report_engine/value_format.h"

#include <QLocale>

#include <numeric>
#include <unordered_map>
#include <span>

namespace reports {

namespace {

constexpr double kEpsilon = 1e-6;

// Values that are equal by value file under the same text (2, 2.0 and 2.00 alike).
QString linkKey(const fb::Value& v)
{
    using T = fb::Value::Type;
    switch (v.type()) {
        case T::Integer:
        case T::Double:
        case T::Decimal: {
            fb::Decimal d = exactValue(v, -1);
            while (d.scale > 0 && d.units % 10 == 0)
                d = {d.units / 10, d.scale - 1};
            return QLatin1Char('n') + d.toString();
        }
        default:
            return QString::number(int(v.type())) + v.toString();
    }
}

// Where a band's fields read: a row of a table, and the rows its totals add up.
struct Context {
    const Table* table = nullptr;
    int row = -1;
    std::span<const int> totalRows;
};

constexpr double kFootHeight = 5;
constexpr double kFilterHeight = 5;

Element stampText(const QRectF& rect, const QString& text, double size, Qt::Alignment align = Qt::AlignLeft)
{
    Element e;
    e.rect = rect;
    e.text = text;
    e.style.size = size;
    e.style.align = align;
    return e;
}

// The stamp's foot line: a rule, the text on the left, the page on the right.
std::optional<Band> footBand(const QString& text, double width)
{
    if (text.isEmpty())
        return std::nullopt;
    Band band;
    band.height = kFootHeight;
    Element rule;
    rule.kind = Element::Kind::Line;
    rule.rect = QRectF(QPointF(0, 0.5), QPointF(width, 0.5));
    rule.penWidth = 0.1;
    band.elements.push_back(rule);
    band.elements.push_back(stampText(QRectF(0, 1, width * 0.8, 4), text, 7));
    Element page =
        stampText(QRectF(width * 0.8, 1, width * 0.2, 4), QStringLiteral("стр. {page} от {pages}"), 7, Qt::AlignRight);
    page.kind = Element::Kind::PageNumber;
    band.elements.push_back(page);
    return band;
}

std::optional<Band> filterBand(const QString& text, double width)
{
    if (text.isEmpty())
        return std::nullopt;
    Band band;
    band.height = kFilterHeight;
    Element line = stampText(QRectF(0, 0, width, 4.5), QStringLiteral("Филтър — ") + text, 8);
    line.style.italic = true;
    band.elements.push_back(line);
    return band;
}

class Renderer {
public:
    Renderer(const Layout& layout, const Tables& tables, const PageStamp& stamp = {}) : layout_(layout), tables_(tables)
    {
        const QRectF area = layout.page.paintRect(QPageLayout::Millimeter);
        foot_ = footBand(stamp.foot, area.width());
        filter_ = filterBand(stamp.filter, area.width());
        // The stamp's foot takes its room from the bottom of every page.
        pageHeight_ = area.height() - (foot_ ? foot_->height : 0);
        for (const QString& name : layout.connections())
            if (!tables.contains(name))
                throw ReportError(
                    QStringLiteral("Справката чете връзката „%1“, която не е свързана с данни.").arg(name));
        detail_ = layout.detail ? &table(layout.detailConnection) : nullptr;
        last_ = {detail_, detail_ && !detail_->rows.empty() ? 0 : -1, {}};
        checkFields();
        checkHeights();
        if (detail_) {
            allRows_.resize(detail_->rows.size());
            std::iota(allRows_.begin(), allRows_.end(), 0);
        }
        for (const SubList& s : layout.subLists)
            subIndexes_.push_back(indexOf(s));
    }

    // Pages handed to `sink` as they are finished and not kept; `pages` is
    // their count, known beforehand for the pattern {pages}.
    void streamTo(const PageSink& sink, int pages)
    {
        sink_ = sink;
        knownPages_ = pages;
    }
    // Only the bands' heights placed, for the count of pages.
    void countOnly() { counting_ = true; }

    std::optional<Document> run(const Progress& progress)
    {
        const int n = int(allRows_.size());
        startPage();
        const size_t levels = layout_.groups.size();
        std::vector<int> groupStart(levels, 0);
        for (int i = 0; i < n; ++i) {
            if (progress && i % 200 == 0 && !progress(i, n))
                return std::nullopt;
            size_t changed = 0;
            if (i > 0) {
                while (changed < levels && groupKey(i, changed) == groupKey(i - 1, changed))
                    ++changed;
                for (size_t g = levels; g-- > changed;)
                    closeGroup(g, groupStart[g], i);
            }
            for (size_t g = changed; g < levels; ++g) {
                groupStart[g] = i;
                openGroup(g, i);
            }
            detailRow(i);
        }
        if (n > 0)
            for (size_t g = levels; g-- > 0;)
                closeGroup(g, groupStart[g], n);
        if (layout_.summary)
            place(*layout_.summary, {detail_, n - 1, allRows_}, true);
        finishPage();
        if (progress)
            progress(n, n);
        numberPages(QString::number(pages_.size()));
        Document doc;
        doc.page = layout_.page;
        doc.pages = std::move(pages_);
        return doc;
    }

private:
    const Table& table(const QString& connection) const { return *tables_.constFind(connection); }
    const Table& tableOf(const Element& e, const Context& ctx) const
    {
        return e.connection.isEmpty() ? *ctx.table : table(e.connection);
    }

    void checkFields() const
    {
        const auto need = [&](const QString& connection, const QString& field) {
            if (!field.isEmpty() && table(connection).column(field) < 0)
                throw ReportError(QStringLiteral("Връзката „%1“ няма поле „%2“.").arg(connection, field));
        };
        const auto elements = [&](const Band& band, const QString& own) {
            for (const Element& e : band.elements) {
                if (e.kind == Element::Kind::Field || e.kind == Element::Kind::Total)
                    need(e.connection.isEmpty() ? own : e.connection, e.field);
                if (!e.linkField.isEmpty()) {
                    need(e.connection, e.linkField);
                    need(own, e.masterField);
                }
            }
        };
        for (const Group& g : layout_.groups) {
            need(layout_.detailConnection, g.field);
            for (const auto* band : {&g.header, &g.footer})
                if (*band)
                    elements(**band, layout_.detailConnection);
        }
        for (const auto* band : {&layout_.title, &layout_.pageHeader, &layout_.pageFooter, &layout_.summary})
            if (*band) {
                const bool pageBand = band == &layout_.pageHeader || band == &layout_.pageFooter;
                for (const Element& e : (*band)->elements) {
                    if (pageBand && e.kind == Element::Kind::Total)
                        throw ReportError(QStringLiteral("Сбор в горния или долния колонтитул не се поддържа."));
                    if (!layout_.detail && e.kind == Element::Kind::Total)
                        throw ReportError(QStringLiteral("Сбор без лента „detail“ няма какво да събира."));
                    if (!layout_.detail && e.kind == Element::Kind::Field && e.connection.isEmpty())
                        throw ReportError(QStringLiteral("Полето „%1“ не казва от коя връзка е.").arg(e.field));
                }
                if (layout_.detail)
                    elements(**band, layout_.detailConnection);
            }
        if (layout_.detail)
            elements(*layout_.detail, layout_.detailConnection);
        for (const SubList& s : layout_.subLists) {
            need(s.connection, s.field);
            need(layout_.detailConnection, s.masterField);
            for (const auto* band : {&s.header, &s.footer})
                if (*band)
                    elements(**band, s.connection);
            elements(s.row, s.connection);
        }
    }

    // A band taller than the room between the page header and footer could never be placed.
    void checkHeights() const
    {
        const double room = pageHeight_ - (layout_.pageHeader ? layout_.pageHeader->height : 0) -
                            (layout_.pageFooter ? layout_.pageFooter->height : 0) - (filter_ ? filter_->height : 0);
        if (room <= kEpsilon)
            throw ReportError(QStringLiteral("Горният и долният колонтитул не оставят място на страницата."));
        const Band* header = layout_.pageHeader ? &*layout_.pageHeader : nullptr;
        const Band* footer = layout_.pageFooter ? &*layout_.pageFooter : nullptr;
        layout_.forEachBand([&](const Band& band) {
            if (&band != header && &band != footer && band.height > room + kEpsilon)
                throw ReportError(QStringLiteral("Лента с височина %1 мм не се побира на страницата (място %2 мм).")
                                      .arg(band.height)
                                      .arg(room));
        });
    }

    QHash<QString, std::vector<int>> indexOf(const SubList& s) const
    {
        QHash<QString, std::vector<int>> index;
        const Table& t = table(s.connection);
        const int column = t.column(s.field);
        for (int r = 0; r < int(t.rows.size()); ++r)
            if (!t.rows.isNull(size_t(r), size_t(column)))
                index[linkKey(t.rows.value(size_t(r), size_t(column)))].push_back(r);
        return index;
    }

    QString groupKey(int row, size_t level) const
    {
        const Group& g = layout_.groups[level];
        const int column = detail_->column(g.field);
        QString key = formatValue(detail_->rows.value(size_t(row), size_t(column)), {});
        if (g.chars > 0)
            key = key.left(g.chars).toUpper();
        return key;
    }

    // Every level down to `level` keeps its key from `row` on, up to the returned row.
    int groupEnd(size_t level, int row) const
    {
        int end = row + 1;
        const int n = int(allRows_.size());
        for (; end < n; ++end)
            for (size_t g = 0; g <= level; ++g)
                if (groupKey(end, g) != groupKey(row, g))
                    return end;
        return end;
    }

    void openGroup(size_t level, int row)
    {
        const Group& g = layout_.groups[level];
        if (!g.header)
            return;
        const int end = groupEnd(level, row);
        ensure(g.header->height + (layout_.detail ? layout_.detail->height : 0));
        place(*g.header, {detail_, row, std::span<const int>(allRows_).subspan(size_t(row), size_t(end - row))});
    }

    void closeGroup(size_t level, int begin, int end)
    {
        const Group& g = layout_.groups[level];
        if (g.footer)
            place(*g.footer,
                  {detail_, end - 1, std::span<const int>(allRows_).subspan(size_t(begin), size_t(end - begin))}, true);
    }

    void detailRow(int row)
    {
        const std::span<const int> self = std::span<const int>(allRows_).subspan(size_t(row), 1);
        place(*layout_.detail, {detail_, row, self}, true);
        for (size_t s = 0; s < layout_.subLists.size(); ++s) {
            const SubList& sub = layout_.subLists[s];
            const fb::Value key = detail_->rows.value(size_t(row), size_t(detail_->column(sub.masterField)));
            const auto found = subIndexes_[s].constFind(linkKey(key));
            if (key.isNull() || found == subIndexes_[s].constEnd())
                continue;
            const Table* rowsOf = &table(sub.connection);
            const std::vector<int>& rows = *found;
            if (sub.header)
                place(*sub.header, {rowsOf, rows.front(), rows}, true);
            for (const int r : rows)
                place(sub.row, {rowsOf, r, {}}, true);
            if (sub.footer)
                place(*sub.footer, {rowsOf, rows.back(), rows}, true);
        }
    }

    void startPage()
    {
        pages_.emplace_back();
        y_ = 0;
        bottom_ = pageHeight_ - (layout_.pageFooter ? layout_.pageFooter->height : 0);
        if (pages_.size() == 1 && layout_.title)
            place(*layout_.title, {detail_, detail_ && !detail_->rows.empty() ? 0 : -1, allRows_});
        if (filter_)
            place(*filter_, last_);
        if (layout_.pageHeader)
            place(*layout_.pageHeader, last_);
        top_ = y_;
    }

    void finishPage()
    {
        if (layout_.pageFooter) {
            y_ = bottom_;
            place(*layout_.pageFooter, last_);
        }
        if (foot_) {
            y_ = pageHeight_;
            place(*foot_, last_);
        }
        if (sink_) {
            numberPages(QString::number(knownPages_));
            sink_(pages_.back());
            std::vector<Item>().swap(pages_.back());  // its room goes too, not only its items
        }
    }

    void ensure(double height)
    {
        // A page that holds nothing yet takes the band anyway: breaking would only leave it empty.
        if (y_ + height > bottom_ + kEpsilon && y_ > top_ + kEpsilon) {
            finishPage();
            startPage();
        }
    }

    void place(const Band& band, const Context& ctx, bool breakBefore = false)
    {
        if (breakBefore)
            ensure(band.height);
        if (ctx.table == detail_)
            last_ = {detail_, ctx.row, {}};
        if (counting_) {
            y_ += band.height;
            return;
        }
        for (const Element& e : band.elements) {
            Item item;
            item.rect = e.rect.translated(0, y_);
            item.style = e.style;
            item.penWidth = e.penWidth;
            switch (e.kind) {
                case Element::Kind::Line:
                    item.kind = Item::Kind::Line;
                    break;
                case Element::Kind::Box:
                    item.kind = Item::Kind::Box;
                    break;
                case Element::Kind::PageNumber:
                    numbers_.push_back({pages_.size() - 1, pages_.back().size()});
                    item.text = e.text;
                    break;
                default:
                    item.text = text(e, ctx);
            }
            pages_.back().push_back(std::move(item));
        }
        y_ += band.height;
    }

    QString text(const Element& e, const Context& ctx) const
    {
        if (e.kind == Element::Kind::Text)
            return e.text;
        const Table& t = tableOf(e, ctx);
        const int column = columnOf(e, t);
        const QString format = !e.format.isEmpty() || column < 0 ? e.format : t.formats[column];
        QString shown;
        if (e.kind == Element::Kind::Total) {
            shown = formatValue(total(e, t, column, format, ctx.totalRows), format);
        } else {
            // A field of another connection than the band's shows the row that
            // connection stood on, or the row its link finds.
            int row = &t == ctx.table ? ctx.row : t.current;
            if (!e.linkField.isEmpty())
                row = linkedRow(e, t, ctx);
            else if (row < 0 || row >= int(t.rows.size()))
                row = t.rows.empty() ? -1 : 0;
            if (row >= 0)
                shown = formatValue(t.rows.value(size_t(row), size_t(column)), format);
            if (e.chars > 0)
                shown = shown.left(e.chars).toUpper();
        }
        return shown.isEmpty() ? shown : e.prefix + shown + e.suffix;
    }

    // An element always reads the same connection, so its column is looked
    // up by name once, not for every row of a long list.
    int columnOf(const Element& e, const Table& t) const
    {
        if (e.field.isEmpty())
            return -1;
        const auto [it, added] = columns_.try_emplace(&e, -1);
        if (added)
            it->second = t.column(e.field);
        return it->second;
    }

    // The first row of `t` whose link field equals the master field of the band's row; -1 when none does.
    int linkedRow(const Element& e, const Table& t, const Context& ctx) const
    {
        if (!ctx.table || ctx.row < 0)
            return -1;
        const fb::Value master = ctx.table->rows.value(size_t(ctx.row), size_t(ctx.table->column(e.masterField)));
        if (master.isNull())
            return -1;
        const QString key = linkKey(master);
        const int column = t.column(e.linkField);
        for (int r = 0; r < int(t.rows.size()); ++r)
            if (!t.rows.isNull(size_t(r), size_t(column)) && linkKey(t.rows.value(size_t(r), size_t(column))) == key)
                return r;
        return -1;
    }

    fb::Value total(const Element& e, const Table& t, int column, const QString& format,
                    std::span<const int> rows) const
    {
        if (e.function == Element::Function::Count) {
            qint64 count = 0;
            for (const int r : rows)
                count += column < 0 || !t.rows.isNull(size_t(r), size_t(column));
            return count;
        }
        const int decimals = formatDecimals(format);
        fb::Decimal sum{0, std::max(decimals, 0)};
        for (const int r : rows)
            sum = sum + exactValue(t.rows.value(size_t(r), size_t(column)), decimals);
        return sum;
    }

    // The page numbers placed since the last call get their texts.
    void numberPages(const QString& total)
    {
        for (const auto& [page, index] : numbers_) {
            QString& text = pages_[page][index].text;
            text.replace(QLatin1String("{page}"), QString::number(page + 1)).replace(QLatin1String("{pages}"), total);
        }
        numbers_.clear();
    }

    const Layout& layout_;
    const Tables& tables_;
    std::optional<Band> foot_, filter_;
    const Table* detail_ = nullptr;
    std::vector<int> allRows_;
    std::vector<QHash<QString, std::vector<int>>> subIndexes_;
    mutable std::unordered_map<const Element*, int> columns_;
    double pageHeight_ = 0;
    double y_ = 0;
    double top_ = 0;  // where the body of the page begins, under the title and the page header
    double bottom_ = 0;
    Context last_;
    std::vector<std::vector<Item>> pages_;
    std::vector<std::pair<size_t, size_t>> numbers_;  // page, item of each page number
    PageSink sink_;
    int knownPages_ = 0;
    bool counting_ = false;
};

}  // namespace

std::optional<Document> render(const Layout& layout, const Tables& tables, const Progress& progress,
                               const PageStamp& stamp)
{
    return Renderer(layout, tables, stamp).run(progress);
}

std::optional<QPageLayout> renderPages(const Layout& layout, const Tables& tables, const PageSink& sink,
                                       const Progress& progress, const PageStamp& stamp)
{
    Renderer counter(layout, tables, stamp);
    counter.countOnly();
    const auto counted = counter.run({});
    Renderer renderer(layout, tables, stamp);
    renderer.streamTo(sink, int(counted->pages.size()));
    const auto done = renderer.run(progress);
    if (!done)
        return std::nullopt;
    return done->page;
}

}  // namespace reports
