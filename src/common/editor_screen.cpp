#include "common/editor_screen.h"

#include "common/failure.h"
#include "common/number_field.h"
#include "common/prompter.h"
#include "common/register_panel.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"
#include "fb/savepoint.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace kit {

FieldSpec field(FieldSpec::Kind kind, const char* name, const char* label, const char* column, int row, int col)
{
    return FieldSpec{.name = QLatin1String(name),
                     .label = QString::fromUtf8(label),
                     .column = QLatin1String(column),
                     .kind = kind,
                     .row = row,
                     .col = col};
}

LineCommand command(const char* name, const char* caption, std::function<void()> step, bool needsLine,
                    const QString& noLine, std::vector<EditFlow::Guard> guards)
{
    return {QLatin1String(name), QString::fromUtf8(caption), std::move(step), needsLine, noLine, std::move(guards)};
}

FieldSpec lookupField(const char* name, const char* label, int row, dataset::Dataset& list, const char* key,
                      const char* shows, const char* button)
{
    FieldSpec f = field(FieldSpec::Kind::Lookup, name, label, key, row);
    f.list = &list;
    f.listKey = QLatin1String(key);
    f.listShows = QLatin1String(shows);
    f.minimumWidth = 24;
    f.button = QLatin1String(button);
    return f;
}

FieldSpec radioField(const char* name, const char* label, const char* column, int row,
                     std::vector<FieldSpec::Choice> choices)
{
    FieldSpec f = field(FieldSpec::Kind::Radio, name, label, column, row);
    f.choices = std::move(choices);
    return f;
}

std::vector<FieldSpec> pairedFields(std::initializer_list<std::tuple<const char*, const char*, const char*>> fields,
                                    std::initializer_list<const char*> dates)
{
    std::vector<FieldSpec> out;
    int i = 0;
    for (const auto& [name, label, column] : fields) {
        const bool date = std::any_of(dates.begin(), dates.end(),
                                      [c = column](const char* d) { return QLatin1String(d) == QLatin1String(c); });
        out.push_back(
            field(date ? FieldSpec::Kind::Date : FieldSpec::Kind::Text, name, label, column, i / 2, (i % 2) * 2));
        ++i;
    }
    return out;
}

}  // namespace kit

EditorScreen::EditorScreen(Prompter& prompter, QWidget* parent) : ListScreen(prompter, parent)
{
}

void EditorScreen::build(kit::EditorForm form)
{
    form_ = std::move(form);
    setObjectName(form_.kind);
    setWindowTitle(form_.caption);
    auto* content = new QWidget;
    auto* left = new QVBoxLayout;
    for (const kit::HeaderGroup& group : form_.groups)
        left->addWidget(buildGroup(group));
    auto* right = new QVBoxLayout;
    for (size_t i = 0; i < form_.lines.size(); ++i)
        right->addWidget(buildLines(i));
    left_ = left;
    right_ = right;
    auto* columns = new QHBoxLayout(content);
    columns->addLayout(left);
    columns->addLayout(right, 1);
    left->addStretch();

    // What does not fit the window scrolls; "Запис" and "Отказ" stay in sight.
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("editorArea"));
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* save = button(form_.save, QStringLiteral("Запис"));
    QPushButton* cancel = button(form_.cancel, QStringLiteral("Отказ"));
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    flow_ = &addFlow(*form_.header, nullptr);
    if (!form_.firstField.isEmpty())
        flow_->setFirstField(controls_.value(form_.firstField));
    if (!form_.closePanelFirst.isEmpty())
        flow_->checks.push_back({[this] { return !linePanelOpen(); }, form_.closePanelFirst});
    flow_->connectButtons(nullptr, nullptr, nullptr, save, cancel);
}

void EditorScreen::keep(const QHash<QString, QWidget*>& controls)
{
    for (auto c = controls.begin(); c != controls.end(); ++c)
        controls_.insert(c.key(), c.value());
}

QWidget* EditorScreen::buildGroup(const kit::HeaderGroup& group)
{
    auto* panel = new RegisterPanel(group.name, *form_.header, group.fields, {}, {});
    panel->layout()->setContentsMargins(0, 0, 0, 0);
    keep(panel->controls());
    if (group.caption.isEmpty())
        return panel;
    auto* box = new QGroupBox(group.caption);
    (new QVBoxLayout(box))->addWidget(panel);
    return box;
}

// The grid with its command buttons beside it and its panel, hidden until
// used, below.
QGroupBox* EditorScreen::buildLines(size_t i)
{
    const kit::LineList& spec = form_.lines[i];
    auto* box = new QGroupBox(spec.group);
    QTableView* view = grid(spec.grid, box, spec.visibleRows);
    ListGrid& list = addList(view, *spec.rows, spec.columns);
    if (spec.statement)
        list.setStatement(*spec.statement);
    // Read inside the edit's transaction, which only "Запис" or "Отказ" may end.
    list.setCommitOnReread(false);
    lists_.push_back(&list);
    auto* commands = new QVBoxLayout;
    for (const kit::LineCommand& command : spec.commands) {
        QPushButton* b = button(command.name, command.caption, box);
        connect(b, &QPushButton::clicked, this, [this, i, command] { runCommand(i, command); });
        commands->addWidget(b);
        lineCommands_.push_back(b);
    }
    commands->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(view, 1);
    top->addLayout(commands);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(top);
    RegisterPanel* panel = nullptr;
    if (spec.panel) {
        panel = new RegisterPanel(spec.panel->name, *spec.rows, spec.panel->fields, spec.panel->ok, {}, box,
                                  spec.panel->okCaption);
        panel->layout()->setContentsMargins(0, 0, 0, 0);
        keep(panel->controls());
        connect(panel->saveButton(), &QPushButton::clicked, this, [this, i] { panelOk(i); });
        panel->hide();
        layout->addWidget(panel);
    }
    panels_.push_back(panel);
    return box;
}

bool EditorScreen::start()
{
    try {
        flow_->editSingleRow();
        return true;
    } catch (const fb::Error& e) {
        failure::show(prompter(), QStringLiteral("Записът не може да бъде отворен за корекция."), e);
        return false;
    }
}

void EditorScreen::runCommand(size_t i, const kit::LineCommand& command)
{
    for (const EditFlow::Guard& guard : command.guards) {
        if (guard.inUse()) {
            prompter().message(guard.message);
            return;
        }
    }
    if (command.needsLine && lists_[i]->isEmpty()) {
        prompter().message(command.noLine.isEmpty() ? kNoData : command.noLine);
        return;
    }
    command.step();
}

bool EditorScreen::lineStep(const QString& failure, const std::function<void()>& step, dataset::Dataset* pending)
{
    dataset::TransactionArea& area = form_.header->area();
    try {
        fb::Savepoint savepoint(area.database().connection(), area.transaction());
        try {
            step();
        } catch (const fb::Error&) {
            if (pending)
                pending->cancel();
            throw;
        }
        savepoint.release();
        return true;
    } catch (const fb::Error& e) {
        failure::show(prompter(), failure, e);
        return false;
    }
}

bool EditorScreen::removeLine(dataset::Dataset& rows)
{
    if (!prompter().confirm(kConfirmDelete, Prompter::Default::No))
        return false;
    return lineStep(QStringLiteral("Редът не е изтрит."), [&rows] { rows.remove(); });
}

void EditorScreen::openLinePanel(size_t i, QWidget* focus)
{
    panels_.at(i)->show();
    lockLines(true);
    if (!focus) {
        for (const kit::FieldSpec& spec : form_.lines[i].panel->fields) {
            QWidget* c = controls_.value(spec.name);
            if (c && c->isEnabled()) {
                focus = c;
                break;
            }
        }
    }
    (focus ? focus : panels_[i]->saveButton())->setFocus();
}

void EditorScreen::closeLinePanel(size_t i)
{
    panels_.at(i)->hide();
    lockLines(false);
}

// Stored, the panel closes and the list's first command takes the focus.
void EditorScreen::panelOk(size_t i)
{
    const kit::LinePanel& spec = *form_.lines[i].panel;
    const auto refuse = [this](QWidget* control, const QString& message) {
        if (control)
            control->setFocus();
        prompter().message(message);
    };
    if (const kit::Check* failing = kit::firstFailing(spec.checks, panels_[i]->values()))
        return refuse(controls_.value(failing->focus), failing->message);
    if (NumberField* refused = panels_[i]->refusedNumber())
        return refuse(refused, refused->refusal());
    if (spec.store && !spec.store())
        return;
    closeLinePanel(i);
    if (!form_.lines[i].commands.empty())
        control<QWidget>(form_.lines[i].commands.front().name)->setFocus();
}

// While a line's panel is open, its line is pending: no command may start
// another line and no grid may move away from it.
void EditorScreen::lockLines(bool locked)
{
    for (QWidget* w : lineCommands_)
        w->setEnabled(!locked);
    for (ListGrid* list : lists_)
        list->view()->setEnabled(!locked);
}

bool EditorScreen::linePanelOpen() const
{
    for (const RegisterPanel* panel : panels_)
        if (panel && !panel->isHidden())
            return true;
    return false;
}

void EditorScreen::missingControl(const QString& name) const
{
    throw std::logic_error("the editor " + objectName().toStdString() + " has no control " + name.toStdString());
}
