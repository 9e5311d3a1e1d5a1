#pragma once

#include "report_engine/layout.h"

#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <vector>

// A report laid out on pages, ready for any output: what to draw where, in
// millimetres from the top left corner of the page's printable area.
namespace reports {

struct Item {
    enum class Kind { Text, Line, Box };
    Kind kind = Kind::Text;
    QRectF rect;  // a line runs from the top left to the bottom right
    QString text;
    Style style;
    double penWidth = 0.2;
};

struct Document {
    QString title;
    QPageLayout page;
    std::vector<std::vector<Item>> pages;
};

}  // namespace reports
