// Texts laid out once and drawn from the kept glyphs look exactly as
// QPainter::drawText draws them, wherever the box falls.
#include "reports/text_runs.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

// A print's resolution, so that the fonts are laid out as on a printer's page.
QImage page()
{
    QImage image(1400, 900, QImage::Format_ARGB32);
    image.setDotsPerMeterX(23622);  // 600 dots per inch
    image.setDotsPerMeterY(23622);
    image.fill(Qt::white);
    return image;
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
    const QString plain = QStringLiteral("Иван Петров");
    std::vector<Text> all;
    for (const double y : {10.25, 130.0, 250.6}) {
        all.push_back({{12.5, y, 400, 99.2}, Qt::AlignLeft, plain});
        all.push_back({{420.3, y, 160, 99.2}, Qt::AlignRight, QStringLiteral("5,469")});
        all.push_back({{600, y, 300, 99.2}, Qt::AlignHCenter, QStringLiteral("01.10.2018")});
        all.push_back({{920, y, 60, 99.2}, Qt::AlignLeft, QStringLiteral("Прекратен договор")});
        all.push_back({{1000, y, 380, 99.2}, Qt::AlignLeft, QStringLiteral("Ред\nвтори")});
        all.push_back({{12.5, y + 60, 700, 50}, Qt::AlignBottom, QStringLiteral("Žluťoučký кон, 5 dka")});
    }
    return all;
}

QImage drawn(bool kept, bool bold)
{
    QImage image = page();
    QPainter painter(&image);
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
    return image;
}

TEST(TextRuns, DrawsWhatDrawTextDraws)
{
    for (const bool bold : {false, true}) {
        const QImage expected = drawn(false, bold);
        const QImage kept = drawn(true, bold);
        EXPECT_EQ(kept, expected) << (bold ? "bold" : "regular");
        EXPECT_NE(expected, page());  // something was drawn
    }
}

// Glyphs are gathered until flushed: nothing is drawn before.
TEST(TextRuns, GlyphsAreDrawnWhenFlushed)
{
    QImage image = page();
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    reports::TextRuns runs;
    runs.fontChanged(painter);
    runs.draw(painter, {10, 10, 500, 100}, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              QStringLiteral("Имот"));
    EXPECT_EQ(image, page());
    runs.flush(painter);
    EXPECT_NE(image, page());
}

}  // namespace
