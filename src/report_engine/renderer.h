#pragma once

#include "report_engine/document.h"
#include "report_engine/layout.h"
#include "report_engine/report_data.h"

#include <functional>
#include <optional>

namespace reports {

// Told how many detail rows are laid out of how many; returns false to stop.
using Progress = std::function<bool(int done, int total)>;

// What every page carries whatever its layout says: at its foot a line with
// whom and what year the report is of and when it was printed, and the
// page's number of the pages; under the title (at the top of the pages after
// the first) the filter the rows were chosen by. An empty text prints
// nothing and takes no room.
struct PageStamp {
    QString foot;
    QString filter;
};

// Lays the layout's bands out on pages over the connections' rows: the
// title on the first page, page header and footer on every page, group
// headers and footers where a group's value changes, a detail band per row
// of the detail connection with its sub-lists, the summary at the end. A
// band never breaks across pages; a group header is kept with its first
// row. Throws ReportError when the layout asks for a connection or field
// the data has not, or a band does not fit on a page; nullopt when stopped.
std::optional<Document> render(const Layout& layout, const Tables& tables, const Progress& progress = {},
                               const PageStamp& stamp = {});

// Takes each page as it is finished.
using PageSink = std::function<void(const std::vector<Item>& page)>;
// The same pages handed to `sink` one by one, none of them kept, for an
// output written as it comes (a long list to PDF): the bands are placed
// once without their texts to count the pages, then again page by page.
// The page layout when done; nullopt when stopped.
std::optional<QPageLayout> renderPages(const Layout& layout, const Tables& tables, const PageSink& sink,
                                       const Progress& progress = {}, const PageStamp& stamp = {});

}  // namespace reports
