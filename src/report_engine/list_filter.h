#pragma once

#include "common/register_form.h"

#include <QString>

#include <functional>
#include <vector>

class ListGrid;
class QWidget;

namespace reports {

// The filter a list screen's rows were read under, in words, for a report
// that prints them (ReportProject::setFilter): each filter box in force as
// its label and its text ("Землище: Бу; Местност: Горна"), empty when none
// is. What counts is what was in the boxes when the list was last filtered,
// not what was typed since without filtering; a sort keeps the filter.
// `screen` holds the boxes, found by the filters' names; the watch lives as
// long as the screen.
std::function<QString()> listFilter(ListGrid& list, const std::vector<kit::FilterSpec>& filters, QWidget& screen);

}  // namespace reports
