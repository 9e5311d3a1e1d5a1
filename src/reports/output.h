#pragma once

#include "reports/document.h"

class QPagedPaintDevice;
class QPainter;

namespace reports {

// Draws every page on a printer or PDF writer whose page layout is the
// document's; false when the device cannot be painted on.
bool paint(const Document& doc, QPagedPaintDevice& device);
// Draws one page; `dotsPerMm` is the device's resolution.
void paintPage(QPainter& painter, const std::vector<Item>& page, double dotsPerMm);

// The files; false when the file cannot be written.
bool writePdf(const Document& doc, const QString& path);
// One HTML file with every page at its size, texts and drawings placed in millimetres.
bool writeHtml(const Document& doc, const QString& path);

}  // namespace reports
