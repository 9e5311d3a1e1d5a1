#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

namespace reports {

// Lines of text laid out once and drawn again wherever the same text in the
// same font falls into a box of the same size: a long list repeats its
// names, dates and figures thousands of times, and laying each one out anew
// (splitting it by script, shaping it, placing the line) costs more than
// drawing it. Draws what QPainter::drawText(rect, flags, text) draws, glyph
// for glyph and at the same places; a text that would need more (several
// lines, a text wider than its box and so clipped, a tab or a line break)
// is left to drawText itself.
//
// The glyphs of texts drawn one after another in one font on one line are
// gathered and handed to the painter together, in their order: a PDF writer
// then writes one text object for many texts instead of one each, with its
// setting up of colour and font (a quarter of a long list's page content
// otherwise).
class TextRuns {
public:
    // The painter's font (already set) is the font of the texts drawn next.
    void fontChanged(const QPainter& painter);
    void draw(QPainter& painter, const QRectF& rect, int flags, const QString& text);
    // Draws the glyphs gathered; call it before drawing anything other than
    // a text, and at the end of a page.
    void flush(QPainter& painter);

private:
    // Glyphs of one font: each run of a text laid out, and those gathered to draw.
    struct Glyphs {
        int font = 0;  // in fonts_
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    struct Laid {
        bool plain = false;  // false: drawText draws it
        QPointF offset;      // from the box's top left to the layout's origin
        QRectF bounds;       // of the text, from the box's top left: drawText clips what leaves the box
        std::vector<Glyphs> runs;
    };
    struct Key {
        QString text;
        double width, height;  // the box's size: the place of the line depends on it
        int flags;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.text, k.width, k.height, k.flags); }

    Laid layOut(const QRectF& rect, int flags, const QString& text);

    int fontOf(const QRawFont& raw);

    std::vector<QRawFont> fonts_;  // every font a text was laid out in
    Glyphs gathered_;
    qreal gatheredY_ = 0;  // where the line of the texts gathered lies
    QFont font_;
    QHash<QString, QHash<Key, Laid>> byFont_;  // by the font's key
    QHash<Key, Laid>* laid_ = nullptr;         // those of the current font
};

}  // namespace reports
