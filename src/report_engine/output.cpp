#include "report_engine/output.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextStream>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace reports {

namespace {

QFont fontOf(const Style& style)
{
    QFont font(style.family);
    font.setPointSizeF(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

QString mm(double value)
{
    return QString::number(value, 'f', 2);
}

QString htmlPage(const Document& doc, const std::vector<Item>& page)
{
    const QRectF full = doc.page.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = doc.page.margins(QPageLayout::Millimeter);
    QString html = QStringLiteral("<div class=\"page\" style=\"width:%1mm;height:%2mm\">\n")
                       .arg(mm(full.width()), mm(full.height()));
    QString drawings;
    for (const Item& item : page) {
        const QRectF r = item.rect.translated(margins.left(), margins.top());
        if (item.kind == Item::Kind::Line) {
            drawings += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke-width=\"%5\"/>\n")
                            .arg(mm(r.left()), mm(r.top()), mm(r.right()), mm(r.bottom()), mm(item.penWidth));
        } else if (item.kind == Item::Kind::Box) {
            drawings += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" stroke-width=\"%5\"/>\n")
                            .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()), mm(item.penWidth));
        } else if (!item.text.isEmpty()) {
            const Style& s = item.style;
            const char* justify = s.align & Qt::AlignRight     ? "flex-end"
                                  : s.align & Qt::AlignHCenter ? "center"
                                                               : "flex-start";
            html +=
                QStringLiteral(
                    "<div style=\"left:%1mm;top:%2mm;width:%3mm;height:%4mm;justify-content:%5;"
                    "font:%6%7%8pt '%9'%10\">%11</div>\n")
                    .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()), QLatin1String(justify),
                         s.italic ? QStringLiteral("italic ") : QString(), s.bold ? QStringLiteral("bold ") : QString(),
                         QString::number(s.size), s.family.toHtmlEscaped(),
                         s.wrap ? QStringLiteral(";white-space:normal;text-align:%1")
                                      .arg(QLatin1String(s.align & Qt::AlignRight     ? "right"
                                                         : s.align & Qt::AlignHCenter ? "center"
                                                                                      : "left"))
                                : QString())
                    .arg(item.text.toHtmlEscaped());
        }
    }
    if (!drawings.isEmpty())
        html += QStringLiteral("<svg width=\"%1mm\" height=\"%2mm\" viewBox=\"0 0 %1 %2\">\n%3</svg>\n")
                    .arg(mm(full.width()), mm(full.height()), drawings);
    return html + QStringLiteral("</div>\n");
}

// Qt's PDF writer takes and frees buffers of a few hundred kilobytes for
// every page (its content, then that content compressed). The C library
// would hand such blocks back to the system when freed and fault them in
// again for the next page: on a print of thousands of pages a sixth of the
// processor time. Freed memory is kept for reuse instead, for the rest of
// the run: the peak the process reaches stays what it was.
void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        return true;
    }();
    Q_UNUSED(done);
#endif
}

}  // namespace

void paintPage(QPainter& painter, const std::vector<Item>& page, double dotsPerMm, TextRuns& texts)
{
    const auto px = [&](const QRectF& r) {
        return QRectF(r.left() * dotsPerMm, r.top() * dotsPerMm, r.width() * dotsPerMm, r.height() * dotsPerMm);
    };
    const Style* current = nullptr;
    for (const Item& item : page) {
        switch (item.kind) {
            case Item::Kind::Line:
            case Item::Kind::Box: {
                texts.flush(painter);
                painter.setPen(QPen(Qt::black, item.penWidth * dotsPerMm));
                painter.setBrush(Qt::NoBrush);
                const QRectF r = px(item.rect);
                if (item.kind == Item::Kind::Line)
                    painter.drawLine(r.topLeft(), r.bottomRight());
                else
                    painter.drawRect(r);
                break;
            }
            case Item::Kind::Text:
                if (item.text.isEmpty())
                    break;
                // Rows repeat the same few styles; a font is only made when it changes.
                if (!current || current->family != item.style.family || current->size != item.style.size ||
                    current->bold != item.style.bold || current->italic != item.style.italic) {
                    painter.setFont(fontOf(item.style));
                    texts.fontChanged(painter);
                    current = &item.style;
                }
                painter.setPen(Qt::black);
                texts.draw(painter, px(item.rect),
                           int(item.style.align | Qt::AlignVCenter |
                               (item.style.wrap ? Qt::TextWordWrap : Qt::TextSingleLine)),
                           item.text);
                break;
        }
    }
    texts.flush(painter);
}

bool paint(const Document& doc, QPagedPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double dotsPerMm = device.logicalDpiX() / 25.4;
    TextRuns texts;
    for (size_t i = 0; i < doc.pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        paintPage(painter, doc.pages[i], dotsPerMm, texts);
    }
    return painter.end();
}

PdfPages::PdfPages(const QString& path, const QString& title, const QPageLayout& page) : writer_(path)
{
    keepFreedMemoryForReuse();
    writer_.setResolution(600);
    writer_.setTitle(title);
    writer_.setCreator(QStringLiteral("Arventa"));
    writer_.setPageLayout(page);
    open_ = painter_.begin(&writer_);
    dotsPerMm_ = writer_.logicalDpiX() / 25.4;
}

void PdfPages::add(const std::vector<Item>& page)
{
    if (!open_)
        return;
    if (pages_++ > 0)
        writer_.newPage();
    paintPage(painter_, page, dotsPerMm_, texts_);
}

bool PdfPages::finish()
{
    return open_ && painter_.end();
}

bool writePdf(const Document& doc, const QString& path)
{
    PdfPages pdf(path, doc.title, doc.page);
    for (const auto& page : doc.pages)
        pdf.add(page);
    return pdf.finish();
}

bool writeHtml(const Document& doc, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out.setEncoding(QStringConverter::Utf8);
    out << "<!DOCTYPE html>\n<html lang=\"bg\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << doc.title.toHtmlEscaped()
        << "</title>\n<style>\n"
        << "body { background: #888; margin: 0; }\n"
        << ".page { position: relative; background: #fff; margin: 5mm auto; overflow: hidden; }\n"
        << ".page div { position: absolute; display: flex; align-items: center; white-space: pre; overflow: hidden; }\n"
        << ".page svg { position: absolute; left: 0; top: 0; stroke: #000; fill: none; }\n"
        << "@media print { body { background: none; } .page { margin: 0; page-break-after: always; } }\n"
        << "</style>\n</head>\n<body>\n";
    for (const auto& page : doc.pages)
        out << htmlPage(doc, page);
    out << "</body>\n</html>\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}

}  // namespace reports
