#pragma once

#include "report_engine/document.h"
#include "report_engine/text_runs.h"

#include <QPainter>
#include <QPdfWriter>

class QPagedPaintDevice;

namespace reports {

// Draws every page on a printer or PDF writer whose page layout is the
// document's; false when the device cannot be painted on.
bool paint(const Document& doc, QPagedPaintDevice& device);
// Draws one page; `dotsPerMm` is the device's resolution. `texts` keeps the
// texts laid out from page to page of one device.
void paintPage(QPainter& painter, const std::vector<Item>& page, double dotsPerMm, TextRuns& texts);

// A PDF file written page by page, each page painted as it is added.
class PdfPages {
public:
    PdfPages(const QString& path, const QString& title, const QPageLayout& page);
    // False when the file cannot be written.
    bool isOpen() const { return open_; }
    void add(const std::vector<Item>& page);
    // Ends the file; false when it could not be written.
    bool finish();

private:
    QPdfWriter writer_;
    QPainter painter_;
    TextRuns texts_;
    bool open_ = false;
    int pages_ = 0;
    double dotsPerMm_ = 1;
};

// The files; false when the file cannot be written.
bool writePdf(const Document& doc, const QString& path);
// One HTML file with every page at its size, texts and drawings placed in millimetres.
bool writeHtml(const Document& doc, const QString& path);

}  // namespace reports
