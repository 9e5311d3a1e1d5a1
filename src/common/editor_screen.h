#pragma once

#include "common/editor_form.h"
#include "common/list_screen.h"

#include <QHash>

#include <functional>

class QBoxLayout;
class QGroupBox;
class RegisterPanel;

// An editor built once from its description (editor_form.h): the header's
// field groups on the left, each line list with its commands and panel on
// the right, "Запис" and "Отказ" below, all inside a scrolling area so that
// it fits a small screen. The header row goes into edit when the editor
// starts; the edit flow stores or discards it with every line written since,
// and asks its close question.
//
// The screen class adds its rules: the steps of its line commands, its
// checks, what it writes before the header row is posted. Each step that
// writes runs through lineStep(), which undoes that step alone when the
// database refuses it and says so in Bulgarian.
class EditorScreen : public ListScreen {
    Q_OBJECT
public:
    explicit EditorScreen(Prompter& prompter, QWidget* parent = nullptr);

    EditFlow& flow() const { return *flow_; }
    ListGrid& lines(size_t i) const { return *lists_.at(i); }
    // A control of the header or of a line's panel, or a button, by its
    // name; a missing one is a programming error (std::logic_error).
    template <typename T>
    T* control(const QString& name) const
    {
        QWidget* found = controls_.value(name);
        auto* typed = qobject_cast<T*>(found ? found : findChild<QWidget*>(name));
        if (!typed)
            missingControl(name);
        return typed;
    }
    bool linePanelOpen() const;

protected:
    // Builds the screen from its description, once the screen's own members
    // it names (its line queries) exist.
    void build(kit::EditorForm form);
    // The header row goes into edit; false (said) when it cannot.
    bool start();
    // Runs `step` as one step of the edit under a savepoint. On a database
    // error the step's writes are undone, `pending` (when given) leaves its
    // insert or edit, and `failure` is said with the client's text.
    bool lineStep(const QString& failure, const std::function<void()>& step, dataset::Dataset* pending = nullptr);
    // "Моля, потвърдете изтриването!" (default "Не"), then the selected row
    // of `rows` deleted as a step.
    bool removeLine(dataset::Dataset& rows);
    // Shows the panel of line list `i`: while it is open no command of any
    // list can start another line, and the lists wait.
    void openLinePanel(size_t i, QWidget* focus = nullptr);
    void closeLinePanel(size_t i);
    RegisterPanel& linePanel(size_t i) const { return *panels_.at(i); }
    // Places for the screen's own widgets: below the header groups, below the lines.
    QBoxLayout* leftColumn() const { return left_; }
    QBoxLayout* rightColumn() const { return right_; }

private:
    QWidget* buildGroup(const kit::HeaderGroup& group);
    QGroupBox* buildLines(size_t i);
    void runCommand(size_t i, const kit::LineCommand& command);
    void panelOk(size_t i);
    void lockLines(bool locked);
    void keep(const QHash<QString, QWidget*>& controls);
    [[noreturn]] void missingControl(const QString& name) const;

    kit::EditorForm form_;
    QHash<QString, QWidget*> controls_;
    std::vector<ListGrid*> lists_;
    std::vector<RegisterPanel*> panels_;  // null for a list without one
    std::vector<QWidget*> lineCommands_;
    EditFlow* flow_ = nullptr;
    QBoxLayout* left_ = nullptr;
    QBoxLayout* right_ = nullptr;
};
