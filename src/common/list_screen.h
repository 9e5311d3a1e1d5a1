#pragma once

#include "common/edit_flow.h"
#include "common/list_grid.h"
#include "common/screen.h"

#include <initializer_list>
#include <vector>

class QHBoxLayout;
class QPushButton;
class QTableView;

// The base of every list screen: it keeps the screen's lists (ListGrid) and
// edit flows (EditFlow), asks each flow's close question when the screen
// closes, and releases each list's read transaction once it does. A screen
// builds its widgets, makes its lists and flows through addList/addFlow,
// declares their statements, filter boxes, sort form, search field, checks
// and guards, and wires its buttons; the rest is alike for every screen.
class ListScreen : public Screen {
    Q_OBJECT
public:
    explicit ListScreen(Prompter& prompter, QWidget* parent = nullptr);

protected:
    Prompter& prompter() const { return prompter_; }

    // A grid over `rows` (the screen's list query or a shared cursor).
    ListGrid& addList(QTableView* view, dataset::Dataset& rows, std::vector<ListColumn> columns);
    // The add/correct/delete flow of a shared cursor edited in `panel`.
    EditFlow& addFlow(dataset::Dataset& cursor, QWidget* panel);

    // Widgets named as the screens' vocabulary names them, for layouts and tests.
    QPushButton* button(const QString& name, const QString& caption, QWidget* parent = nullptr);
    // A grid opens tall enough for `visibleRows` and wide enough for its columns.
    QTableView* grid(const QString& name, QWidget* parent = nullptr, int visibleRows = 12);
    // A row of command buttons from the left, the rest of the row empty.
    static QHBoxLayout* commandRow(std::initializer_list<QPushButton*> buttons);

    bool closeCheck() override;
    void aboutToClose() override;
    // The keys every list screen answers alike: Enter presses the focused
    // button or filters the list whose filter box has the focus; Esc closes
    // the screen when no flow is editing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    Prompter& prompter_;
    std::vector<ListGrid*> lists_;
    std::vector<EditFlow*> flows_;
};
