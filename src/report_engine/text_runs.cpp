#include "report_engine/text_runs.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace reports {

namespace {

// Texts laid out are kept up to this many per font; a list of mostly
// different texts (plot numbers) would otherwise keep them all.
constexpr qsizetype kMostKept = 50000;

// Only plain characters: a tab, a line break or a mnemonic would need the
// handling drawText gives them.
bool plainText(const QString& text)
{
    for (const QChar ch : text)
        if (ch.unicode() < 0x20 || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator)
            return false;
    return true;
}

}  // namespace

void TextRuns::fontChanged(const QPainter& painter)
{
    font_ = painter.font();
    laid_ = &byFont_[font_.key()];
}

// As drawText lays out one line in a box: the line is placed under the
// font's leading rounded up to a whole pixel, the block centred or put at
// the bottom of the box, the line moved right for the alignment.
TextRuns::Laid TextRuns::layOut(const QRectF& rect, int flags, const QString& text)
{
    Laid laid;
    if (!(flags & Qt::TextSingleLine) ||
        (flags & (Qt::TextShowMnemonic | Qt::TextHideMnemonic | Qt::TextExpandTabs | Qt::TextJustificationForced |
                  Qt::TextDontClip)) ||
        !plainText(text))
        return laid;
    QTextLayout layout(text, font_);
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid())
        return laid;
    line.setLineWidth(rect.width());
    qreal height = qCeil(QFontMetricsF(font_).leading());
    line.setPosition(QPointF(0., height));
    height += line.ascent() + line.descent();  // unlike height(), not rounded up
    const bool oneLine = !layout.createLine().isValid();
    layout.endLayout();
    const qreal width = line.naturalTextWidth();
    qreal yoff = 0;
    if (flags & Qt::AlignBottom)
        yoff = rect.height() - height;
    else if (flags & Qt::AlignVCenter)
        yoff = (rect.height() - height) / 2;
    qreal blockX = 0;
    qreal lineX = 0;
    if (flags & Qt::AlignRight) {
        blockX = rect.width() - width;
        lineX = rect.width() - line.horizontalAdvance();
    } else if (flags & Qt::AlignHCenter) {
        blockX = (rect.width() - width) / 2;
        lineX = (rect.width() - line.horizontalAdvance()) / 2;
    }
    if (!oneLine || line.textLength() != text.size())
        return laid;
    laid.plain = true;
    laid.offset = QPointF(lineX, yoff);
    laid.bounds = QRectF(blockX, yoff, width, height);
    for (const QGlyphRun& run : layout.glyphRuns())
        laid.runs.push_back({fontOf(run.rawFont()), run.glyphIndexes(), run.positions()});
    return laid;
}

int TextRuns::fontOf(const QRawFont& raw)
{
    const auto same = std::find(fonts_.begin(), fonts_.end(), raw);
    if (same != fonts_.end())
        return int(same - fonts_.begin());
    fonts_.push_back(raw);
    return int(fonts_.size() - 1);
}

void TextRuns::draw(QPainter& painter, const QRectF& rect, int flags, const QString& text)
{
    if (!laid_)
        fontChanged(painter);
    const Key key{text, rect.width(), rect.height(), flags};
    auto found = laid_->constFind(key);
    if (found == laid_->constEnd()) {
        if (laid_->size() >= kMostKept)
            laid_->clear();
        found = laid_->insert(key, layOut(rect, flags, text));
    }
    // A text that does not fit is clipped to its box by drawText.
    if (!found->plain || !rect.contains(QRectF(rect.x() + found->bounds.x(), rect.y() + found->bounds.y(),
                                               found->bounds.width(), found->bounds.height()))) {
        flush(painter);
        painter.drawText(rect, flags, text);
        return;
    }
    // Placed as drawGlyphRun(at, run) would place them.
    const QPointF at(rect.x() + found->offset.x(), rect.y() + found->offset.y());
    // Only texts on one line go together: a PDF places each glyph from the
    // one before it, in figures rounded to nine digits, and a line further
    // down would then sit a trifle off the place drawText gave it.
    for (const Glyphs& run : found->runs) {
        if (run.font != gathered_.font || at.y() != gatheredY_)
            flush(painter);
        gathered_.font = run.font;
        gatheredY_ = at.y();
        gathered_.indexes.append(run.indexes);
        for (const QPointF& p : run.positions)
            gathered_.positions.append(at + p);
    }
}

void TextRuns::flush(QPainter& painter)
{
    if (gathered_.indexes.isEmpty())
        return;
    {
        QGlyphRun run;
        run.setRawFont(fonts_[size_t(gathered_.font)]);
        run.setGlyphIndexes(gathered_.indexes);
        run.setPositions(gathered_.positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
    gathered_.indexes.clear();  // their room is kept for the next texts
    gathered_.positions.clear();
}

}  // namespace reports
