#include "common/list_screen.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

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

QTableView* ListScreen::grid(const QString& name, QWidget* parent)
{
    auto* view = new QTableView(parent ? parent : this);
    view->setObjectName(name);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
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
