#pragma once

#include "report_engine/document.h"

#include <memory>

class QWidget;

namespace reports {

// The preview window: zoom, paging and printing from it. It is not modal,
// holds its own copy of the pages and is freed when closed. Returns it.
QWidget* showPreview(std::shared_ptr<const Document> doc, const QString& title, bool maximised, QWidget* window);

// The system's printer dialog, then the pages; false when the user cancels
// or the printer cannot be painted on.
bool printDocument(const Document& doc, QWidget* window);

}  // namespace reports
