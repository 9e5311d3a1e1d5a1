#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
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
class TextRuns {
public:
    // The painter's font (already set) is the font of the texts drawn next.
    void fontChanged(const QPainter& painter);
    void draw(QPainter& painter, const QRectF& rect, int flags, const QString& text);

private:
    struct Laid {
        bool plain = false;  // false: drawText draws it
        QPointF offset;      // from the box's top left to the layout's origin
        QRectF bounds;       // of the text, from the box's top left: drawText clips what leaves the box
        std::vector<QGlyphRun> runs;
    };
    struct Key {
        QString text;
        double width, height;  // the box's size: the place of the line depends on it
        int flags;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.text, k.width, k.height, k.flags); }

    Laid layOut(const QRectF& rect, int flags, const QString& text) const;

    QFont font_;
    QHash<QString, QHash<Key, Laid>> byFont_;  // by the font's key
    QHash<Key, Laid>* laid_ = nullptr;         // those of the current font
};

}  // namespace reports
