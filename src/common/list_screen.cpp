#include "common/list_screen.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace {

// A grid shows at least this many rows: a window squeezed smaller scrolls
// inside instead.
constexpr int kLeastRows = 5;

// A grid that asks for room for a number of rows and for its columns as
// they were fitted, so that a window opens showing its list.
class ListView : public QTableView {
public:
    ListView(int rows, QWidget* parent) : QTableView(parent), rows_(std::max(rows, kLeastRows)) {}

    QSize sizeHint() const override
    {
        int width = 2 * frameWidth() + 4;
        for (int c = 0; c < horizontalHeader()->count(); ++c)
            width += columnWidth(c);
        return {std::clamp(width, 320, 1500), heightFor(rows_)};
    }
    // The least rows, and below them the horizontal scroll bar a narrow grid may need.
    QSize minimumSizeHint() const override
    {
        return {QTableView::minimumSizeHint().width(),
                heightFor(kLeastRows) + horizontalScrollBar()->sizeHint().height()};
    }

private:
    int heightFor(int rows) const
    {
        return 2 * frameWidth() + horizontalHeader()->sizeHint().height() +
               rows * verticalHeader()->defaultSectionSize() + 4;
    }
    int rows_;
};

}  // namespace

ListScreen::ListScreen(Prompter& prompter, QWidget* parent) : Screen(parent), prompter_(prompter)
{
}

ListGrid& ListScreen::addList(QTableView* view, dataset::Dataset& rows, std::vector<ListColumn> columns)
{
    auto* list = new ListGrid(view, rows, std::move(columns), prompter_);
    lists_.push_back(list);
    return *list;
}

EditFlow& ListScreen::addFlow(dataset::Dataset& cursor, QWidget* panel)
{
    auto* flow = new EditFlow(prompter_, cursor, panel, this);
    flows_.push_back(flow);
    return *flow;
}

QPushButton* ListScreen::button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent ? parent : this);
    b->setObjectName(name);
    return b;
}

QTableView* ListScreen::grid(const QString& name, QWidget* parent, int visibleRows)
{
    auto* view = new ListView(visibleRows, parent ? parent : this);
    view->setObjectName(name);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QHBoxLayout* ListScreen::commandRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons)
        row->addWidget(b);
    row->addStretch();
    return row;
}

bool ListScreen::closeCheck()
{
    for (EditFlow* flow : flows_)
        if (!flow->closeCheck())
            return false;
    return true;
}

void ListScreen::aboutToClose()
{
    for (ListGrid* list : lists_)
        list->release();
}

void ListScreen::keyPressEvent(QKeyEvent* event)
{
    QWidget* focus = QApplication::focusWidget();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focus && (focus == this || isAncestorOf(focus))) {
        if (auto* b = qobject_cast<QAbstractButton*>(focus); b && b->isEnabled()) {
            b->click();
            return;
        }
        for (ListGrid* list : lists_) {
            if (list->hasFilterBox(focus)) {
                list->filter();
                return;
            }
        }
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        for (EditFlow* flow : flows_)
            if (flow->isEditing())
                return;
        closeWindow();
        return;
    }
    Screen::keyPressEvent(event);
}
