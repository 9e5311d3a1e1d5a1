// Texts laid out once and drawn from the kept glyphs come out as
// QPainter::drawText draws them: the same glyphs at the same places,
// wherever the box falls.
#include "report_engine/text_runs.h"

#include <gtest/gtest.h>

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// A device of a print's resolution whose engine, like a PDF writer's, takes
// text as glyphs; it records every glyph outline as placed on the page.
class OutlineEngine : public QPaintEngine {
public:
    OutlineEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath& path) override { outlines.push_back(state->transform().map(path)); }
    Type type() const override { return QPaintEngine::User; }

    std::vector<QPainterPath> outlines;
};

class OutlineDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
            case PdmWidth:
                return 1400;
            case PdmHeight:
                return 900;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 600;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            default:
                return 0;
        }
    }
    mutable OutlineEngine engine;
};

// The points of every outline, in the order drawn.
std::vector<QPointF> pointsOf(const std::vector<QPainterPath>& outlines)
{
    std::vector<QPointF> points;
    for (const QPainterPath& path : outlines)
        for (int i = 0; i < path.elementCount(); ++i)
            points.push_back(path.elementAt(i));
    return points;
}

struct Text {
    QRectF box;
    int align;
    QString text;
};

// The same texts in boxes of the same sizes at other places, so that the
// kept layouts are drawn again; a text too wide for its box, which drawText
// clips; a text of two lines; a text of several scripts.
std::vector<Text> texts()
{
    std::vector<Text> all;
    for (const double y : {10.25, 130.0, 250.6}) {
        all.push_back({{12.5, y, 700, 99.2}, Qt::AlignLeft, QStringLiteral("Иван Петров")});
        all.push_back({{720.3, y, 260, 99.2}, Qt::AlignRight, QStringLiteral("5,469")});
        all.push_back({{12.5, y + 480, 500, 99.2}, Qt::AlignHCenter, QStringLiteral("01.10.2018")});
        all.push_back({{1000, y, 60, 99.2}, Qt::AlignLeft, QStringLiteral("Прекратен договор")});
        all.push_back({{520, y + 480, 380, 99.2}, Qt::AlignLeft, QStringLiteral("Ред\nвтори")});
        all.push_back({{1000, y + 480, 690, 95}, Qt::AlignBottom, QStringLiteral("Žluť кон, 5")});
    }
    return all;
}

std::vector<QPointF> drawn(bool kept, bool bold)
{
    OutlineDevice device;
    {
        QPainter painter(&device);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(7.5);
        font.setBold(bold);
        painter.setFont(font);
        painter.setPen(Qt::black);
        reports::TextRuns runs;
        runs.fontChanged(painter);
        for (const Text& t : texts()) {
            const int flags = t.align | (t.align & Qt::AlignBottom ? 0 : Qt::AlignVCenter) | Qt::TextSingleLine;
            if (kept)
                runs.draw(painter, t.box, flags, t.text);
            else
                painter.drawText(t.box, flags, t.text);
        }
        runs.flush(painter);
    }
    return pointsOf(device.engine.outlines);
}

// Within a sixty-fourth of a pixel at 600 dots per inch: drawText rounds a
// glyph's place to that, from a start that the kept layout rounds too.
TEST(TextRuns, DrawsTheGlyphsDrawTextDrawsWhereItDrawsThem)
{
    for (const bool bold : {false, true}) {
        const std::vector<QPointF> expected = drawn(false, bold);
        const std::vector<QPointF> kept = drawn(true, bold);
        ASSERT_GT(expected.size(), 1000u);
        ASSERT_EQ(kept.size(), expected.size()) << (bold ? "bold" : "regular");
        double farthest = 0;
        for (size_t i = 0; i < kept.size(); ++i)
            farthest =
                std::max({farthest, std::abs(kept[i].x() - expected[i].x()), std::abs(kept[i].y() - expected[i].y())});
        EXPECT_LE(farthest, 1 / 64.0) << (bold ? "bold" : "regular");
    }
}

// Glyphs are gathered until flushed: nothing is drawn before.
TEST(TextRuns, GlyphsAreDrawnWhenFlushed)
{
    OutlineDevice device;
    QPainter painter(&device);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    reports::TextRuns runs;
    runs.fontChanged(painter);
    runs.draw(painter, {10, 10, 500, 100}, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              QStringLiteral("Имот"));
    EXPECT_TRUE(device.engine.outlines.empty());
    runs.flush(painter);
    EXPECT_FALSE(device.engine.outlines.empty());
}

}  // namespace
