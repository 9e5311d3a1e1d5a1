#include "common/register_screen.h"

#include "common/date_field.h"
#include "common/number_field.h"
#include "common/input_helpers.h"
#include "common/list_sums.h"
#include "common/prompter.h"
#include "common/register_panel.h"
#include "common/text_input.h"
#include "dataset/database.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "schema/schema.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace {

using kit::RegisterForm;

bool within(const QWidget* widget, const QWidget* w)
{
    return w && (w == widget || widget->isAncestorOf(w));
}

}  // namespace

RegisterScreen::RegisterScreen(Prompter& prompter, kit::RegisterForm form, QWidget* parent)
    : ListScreen(prompter, parent), form_(std::move(form))
{
    setObjectName(form_.kind);
    setWindowTitle(form_.caption);
    if (form_.modal) {
        // A fixed border with only the window menu and the close box.
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
        setWindowModality(Qt::ApplicationModal);
    }
    if (form_.layout != RegisterForm::Layout::SingleRow)
        buildList();
    // A screen that only reads has neither panel nor flow.
    QWidget* panel = form_.cursor ? buildPanel() : nullptr;
    std::vector<QWidget*> more;
    for (const kit::ListSpec& spec : form_.moreLists)
        more.push_back(buildMoreList(spec));
    arrange(browse_, panel, more);
    if (form_.cursor)
        declareFlow();
    connect(qApp, &QApplication::focusChanged, this, &RegisterScreen::focusMoved);
}

// The controls go after this destructor, and the focus moves as they go.
RegisterScreen::~RegisterScreen()
{
    disconnect(qApp, nullptr, this, nullptr);
}

dataset::Dataset* RegisterScreen::listRows() const
{
    return list_ ? &list_->rows() : nullptr;
}

void RegisterScreen::missingControl(const QString& name) const
{
    throw std::logic_error(QStringLiteral("%1: no control %2 of that kind").arg(objectName(), name).toStdString());
}

// ---------------------------------------------------------------- building

QPushButton* RegisterScreen::commandButton(const QString& name, const QString& caption, QWidget* parent)
{
    QPushButton* b = button(name, caption, parent);
    controls_.insert(name, b);
    return b;
}

// A list's grid over its rows: a shared cursor, or the screen's own query
// read through the area named or a read transaction of the screen's own.
ListGrid* RegisterScreen::makeList(const kit::ListSpec& spec)
{
    dataset::Dataset* rows = spec.cursor;
    if (!rows) {
        dataset::TransactionArea* area = spec.area;
        if (!area) {
            const QString name = spec.areaName.isEmpty() ? QStringLiteral("IBT") + spec.query : spec.areaName;
            ownAreas_.push_back(std::make_unique<dataset::TransactionArea>(database(), name, spec.areaOptions));
            area = ownAreas_.back().get();
        }
        queries_.push_back(std::make_unique<dataset::Dataset>(*area, spec.query));
        rows = queries_.back().get();
        rows->setFetchOnDemand(spec.readOnDemand);
    }
    QTableView* view = grid(spec.grid, this, spec.visibleRows);
    controls_.insert(spec.grid, view);
    ListGrid* list = &addList(view, *rows, spec.columns);
    if (!spec.statement.base.isEmpty()) {
        list->setStatement(spec.statement);
        list->setCommitOnReread(spec.commitOnReread);
        list->setBeforeRead(spec.beforeRead);
    }
    if (spec.direction)
        list->setSort(spec.sort, *spec.direction, spec.marker, spec.sortOnDoubleClick);
    if (!spec.masterParam.isEmpty() && list_)
        list->follow(list_->rows(), spec.masterParam, spec.masterField);
    return list;
}

dataset::Database& RegisterScreen::database() const
{
    return form_.cursor ? form_.cursor->area().database() : *form_.database;
}

// The sums under a list, in a row of their own; null when it has none.
QWidget* RegisterScreen::buildSums(const kit::ListSpec& spec, ListGrid& list, QWidget* parent)
{
    if (spec.sums.empty())
        return nullptr;
    auto* sums = new ListSums(list.rows(), spec.sums, parent);
    if (!spec.statement.sums.isEmpty())
        sums->readFrom(list);
    for (QLabel* label : sums->labels())
        controls_.insert(label->objectName(), label);
    return sums;
}

void RegisterScreen::buildList()
{
    list_ = makeList(form_.list);
    browse_ = buildBrowsePart(list_->view());
}

// A further list in its group, its buttons in a column beside the grid.
QWidget* RegisterScreen::buildMoreList(const kit::ListSpec& spec)
{
    ListGrid* list = makeList(spec);
    moreLists_.push_back(list);
    auto* group = new QGroupBox(spec.group, this);
    group->setObjectName(spec.groupName);
    list->view()->setParent(group);
    auto* buttons = new QVBoxLayout;
    for (const kit::ButtonSpec& b : spec.buttons)
        buttons->addWidget(commandButton(b.name, b.caption, group));
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(list->view(), 1);
    row->addLayout(buttons);
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addLayout(row, 1);
    if (QWidget* sums = buildSums(spec, *list, group))
        inGroup->addWidget(sums);
    return group;
}

// The group around the grid, the command buttons (in a row below it, or in
// a column beside it inside the group), the filter and search groups and
// "Изход".
QWidget* RegisterScreen::buildBrowsePart(QTableView* view)
{
    const kit::ListSpec& spec = form_.list;
    auto* browse = new QWidget(this);
    browse->setObjectName(QStringLiteral("browsePart"));
    QGroupBox* group = spec.group.isEmpty() ? nullptr : new QGroupBox(spec.group, this);
    const bool beside = form_.layout == RegisterForm::Layout::CommandsBeside && group;
    if (beside)
        commandRow_ = new QVBoxLayout;
    else
        commandRow_ = new QHBoxLayout;
    commandRow_->setContentsMargins(0, 0, 0, 0);
    const struct {
        const QString& name;
        const char* caption;
    } commands[] = {
        {form_.commands.add, "Добавяне"}, {form_.commands.correct, "Корекция"}, {form_.commands.remove, "Изтриване"}};
    for (const auto& c : commands)
        if (!c.name.isEmpty())
            commandRow_->addWidget(commandButton(c.name, QString::fromUtf8(c.caption), beside ? group : browse));
    for (const kit::ButtonSpec& b : spec.buttons)
        commandRow_->addWidget(commandButton(b.name, b.caption, beside ? group : browse));
    commandRow_->addStretch();

    auto* groups = new QHBoxLayout;
    if (!spec.filters.empty())
        groups->addWidget(buildFilterGroup(browse), 1);
    if (!spec.searchBox.isEmpty())
        groups->addWidget(buildSearchGroup(browse));
    if (!form_.commands.exit.isEmpty()) {
        QPushButton* exit = commandButton(form_.commands.exit, QStringLiteral("Изход"), browse);
        connect(exit, &QPushButton::clicked, this, &RegisterScreen::closeWindow);
        if (groups->isEmpty())
            groups->addStretch();
        groups->addWidget(exit, 0, Qt::AlignBottom);
    }

    listPart_ = view;
    if (group) {
        group->setObjectName(spec.groupName);
        auto* inGroup = new QHBoxLayout(group);
        inGroup->addWidget(view, 1);
        if (beside)
            inGroup->addLayout(commandRow_);
        listPart_ = group;
    }
    auto* layout = new QVBoxLayout(browse);
    layout->setContentsMargins(0, 0, 0, 0);
    if (QWidget* sums = buildSums(spec, *list_, browse))
        layout->addWidget(sums);
    if (!beside)
        layout->addLayout(commandRow_);
    layout->addLayout(groups);
    return browse;
}

QGroupBox* RegisterScreen::buildFilterGroup(QWidget* parent)
{
    auto* filter = new QGroupBox(QStringLiteral("Филтриране"), parent);
    auto* row = new QHBoxLayout(filter);
    for (const kit::FilterSpec& f : form_.list.filters) {
        QLineEdit* box = f.date ? new DateField(filter) : new QLineEdit(filter);
        box->setObjectName(f.name);
        controls_.insert(f.name, box);
        acceptWindows1251Only(box);
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 24);
        row->addWidget(new QLabel(f.label, filter));
        row->addWidget(box, 1);
        list_->addFilterBox(box, f.condition);
    }
    QPushButton* show = commandButton(QStringLiteral("butFilterShow"), QStringLiteral("Филтрирай"), filter);
    QPushButton* clear = commandButton(QStringLiteral("butFilterClear"), QStringLiteral("Изчисти"), filter);
    row->addWidget(show);
    row->addWidget(clear);
    list_->connectFilter(show, clear);
    return filter;
}

QGroupBox* RegisterScreen::buildSearchGroup(QWidget* parent)
{
    const kit::ListSpec& spec = form_.list;
    auto* search = new QGroupBox(QStringLiteral("Търсене"), parent);
    auto* box = new QLineEdit(search);
    box->setObjectName(spec.searchBox);
    controls_.insert(spec.searchBox, box);
    QPushButton* find = commandButton(QStringLiteral("butSearch"), QStringLiteral("Търси"), search);
    list_->setSearch(box, find, spec.searchField, spec.searchFrom);
    if (!spec.searchTakesBackspace)
        discardBackspace(box);
    if (spec.searchLength > 0)
        box->setMaxLength(spec.searchLength);
    auto* row = new QHBoxLayout(search);
    row->addWidget(new QLabel(spec.searchLabel, search));
    row->addWidget(box);
    row->addWidget(find);
    return search;
}

// The panel, its controls and buttons known to the screen by their names.
QWidget* RegisterScreen::buildPanel()
{
    panel_ = new RegisterPanel(form_.panel, *form_.cursor, form_.fields, form_.saveButton, form_.cancelButton, this);
    controls_.insert(form_.panel, panel_);
    controls_.insert(panel_->controls());
    for (QPushButton* b : {panel_->saveButton(), panel_->cancelButton()})
        controls_.insert(b->objectName(), b);
    // A date that does not exist is said so, never turned into another one.
    connect(panel_, &RegisterPanel::impossibleDateLeft, this, [this] {
        if (!checking_ && flow_ && flow_->isEditing())
            prompter().message(DateField::impossibleDateMessage());
    });
    // So is a number its field does not take, and it is never stored.
    connect(panel_, &RegisterPanel::refusedNumberLeft, this, [this](const QString& message) {
        if (!checking_ && flow_ && flow_->isEditing())
            prompter().message(message);
    });
    return panel_;
}

void RegisterScreen::arrange(QWidget* browse, QWidget* panel, const std::vector<QWidget*>& more)
{
    auto* layout = new QVBoxLayout(this);
    if (QWidget* file = buildFileChoice())
        layout->addWidget(file);
    const auto addMore = [&] {
        for (QWidget* list : more)
            layout->addWidget(list, 1);
    };
    if (form_.layout == RegisterForm::Layout::SingleRow) {
        layout->addWidget(panel);
    } else if (!panel) {
        // Only lists: the first, the further ones, then the commands.
        layout->addWidget(listPart_, 1);
        addMore();
        layout->addWidget(browse);
    } else if (form_.layout == RegisterForm::Layout::CommandsBelow) {
        layout->addWidget(listPart_, 1);
        // The panel covers the browsing controls while it is open.
        panel->setAutoFillBackground(true);
        auto* lower = new QGridLayout;
        lower->addWidget(browse, 0, 0, Qt::AlignTop);
        lower->addWidget(panel, 0, 0);
        layout->addLayout(lower);
        addMore();
    } else {
        // The panel's place is kept while it is hidden, so the window keeps its size.
        QSizePolicy keep = panel->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        panel->setSizePolicy(keep);
        if (more.empty()) {
            layout->addWidget(listPart_, 1);
            layout->addWidget(browse);
            layout->addWidget(panel);
        } else {
            // The first list with the panel beside it keeps the size it asks
            // for, the further lists below take the rest, and the row with
            // "Изход" ends the screen.
            auto* top = new QHBoxLayout;
            listPart_->setSizePolicy(QSizePolicy::Fixed, listPart_->sizePolicy().verticalPolicy());
            top->addWidget(listPart_);
            top->addWidget(panel, 0, Qt::AlignBottom);
            top->addStretch();
            layout->addLayout(top);
            addMore();
            layout->addWidget(browse);
        }
    }
    if (QWidget* progress = buildProgress())
        layout->addWidget(progress);
    if (form_.fixedSize)
        layout->setSizeConstraint(QLayout::SetFixedSize);
}

// ---------------------------------------------------------------- the flow

void RegisterScreen::declareFlow()
{
    QWidget* panel = controls_.value(form_.panel);
    flow_ = &addFlow(*form_.cursor, panel);
    if (list_)
        flow_->setList(*list_, form_.list.key);
    const QString first =
        form_.firstField.isEmpty() && !form_.fields.empty() ? form_.fields.front().name : form_.firstField;
    if (!first.isEmpty())
        flow_->setFirstField(controls_.value(first));
    if (list_)
        flow_->lockWhileEditing(list_->view());
    if (browse_ && form_.layout == RegisterForm::Layout::CommandsBelow)
        flow_->lockWhileEditing(browse_);
    for (const QString& name : {form_.commands.add, form_.commands.correct, form_.commands.remove})
        if (QWidget* w = controls_.value(name))
            flow_->lockWhileEditing(w);
    flow_->setClosing(form_.closing, form_.refusal);

    const auto adapt = [this](const std::vector<kit::Check>& checks) {
        std::vector<EditFlow::Check> out;
        for (const kit::Check& c : checks) {
            QWidget* focus = controls_.value(c.focus);
            out.push_back({[this, passes = c.passes, focus] {
                               const bool passed = passes(values());
                               if (!passed && focus)
                                   focus->setFocus(Qt::OtherFocusReason);  // first the focus, then the message
                               return passed;
                           },
                           c.message});
        }
        return out;
    };
    // The leave checks come first: a wrong entry is never stored because the
    // button that stores it did not take the focus.
    const EditFlow::Check leaving{[this] { return leaveChecksPass(QApplication::focusWidget(), true); }, {}};
    // The numbers' domains come last: a message of the screen's own for an
    // empty field or one that is no number speaks first.
    const EditFlow::Check numbers{[this] { return numbersPass(); }, {}};
    flow_->checks = adapt(form_.checks);
    flow_->checks.insert(flow_->checks.begin(), leaving);
    flow_->checks.push_back(numbers);
    if (!form_.closingChecks.empty()) {
        flow_->closingChecks = adapt(form_.closingChecks);
        flow_->closingChecks.insert(flow_->closingChecks.begin(), leaving);
        flow_->closingChecks.push_back(numbers);
    }
    for (const kit::Guard& g : form_.guards)
        flow_->guards.push_back({[this, g] { return guardHolds(g); }, g.message});

    const auto flowButton = [this](const QString& name) {
        return controls_.value(name) && !form_.commands.screenAddsAndCorrects ? control<QPushButton>(name) : nullptr;
    };
    flow_->connectButtons(
        flowButton(form_.commands.add), flowButton(form_.commands.correct),
        controls_.value(form_.commands.remove) ? control<QPushButton>(form_.commands.remove) : nullptr,
        control<QPushButton>(form_.saveButton), control<QPushButton>(form_.cancelButton));
    // A double click corrects the row like "Корекция", so not for a user
    // whose role may only read it.
    if (list_ && form_.list.doubleClickCorrects)
        connect(list_, &ListGrid::rowDoubleClicked, flow_, [this] {
            if (!readingOnly())
                flow_->correct();
        });
    if (form_.layout == RegisterForm::Layout::SingleRow) {
        // "Запис" and "Отказ" end the one row's edit and close the screen.
        const auto close = [this] {
            if (!closingNow_)
                closeWindow();
        };
        connect(flow_, &EditFlow::saved, this, close);
        connect(flow_, &EditFlow::cancelled, this, close);
    }
}

void RegisterScreen::start()
{
    if (form_.layout == RegisterForm::Layout::SingleRow)
        flow_->editSingleRow();
    else
        list_->reread();
    // A list that follows the first one was read as that one was.
    for (size_t i = 0; i < moreLists_.size(); ++i)
        if (form_.moreLists[i].masterParam.isEmpty())
            moreLists_[i]->reread();
}

bool RegisterScreen::guardHolds(const kit::Guard& g)
{
    const fb::Value key = flow_->selectedKey();
    if (g.cursor)
        return g.cursor->locate(g.column, key);
    if (!guardArea_)
        guardArea_ = std::make_unique<dataset::TransactionArea>(form_.cursor->area().database(),
                                                                objectName() + QStringLiteral("Guards"),
                                                                fb::TransactionOptions::readCommitted(true));
    guardArea_->ensureStarted();
    fb::Transaction& tr = guardArea_->transaction();
    const fb::Value found = fb::fetchScalar(guardArea_->database().connection(), tr,
                                            QStringLiteral("select first 1 1 from %1 where %2 = ?")
                                                .arg(schema::sqlName(g.table.toLatin1().constData()), g.column),
                                            {key});
    guardArea_->commit();
    return !found.isNull();
}

kit::PanelValues RegisterScreen::values() const
{
    return panel_ ? panel_->values() : kit::PanelValues();
}

QStringList RegisterScreen::descriptionFaults() const
{
    QStringList faults;
    const auto need = [&](const dataset::Dataset& rows, const QString& field, const QString& what) {
        if (!field.isEmpty() && !rows.findField(field))
            faults << QStringLiteral("%1: %2 %3 is not in %4").arg(objectName(), what, field, rows.name());
    };
    for (const kit::FieldSpec& spec : form_.fields) {
        if (form_.cursor)
            need(*form_.cursor, spec.column, QStringLiteral("panel column"));
        if (spec.list) {
            need(*spec.list, spec.listKey, QStringLiteral("drop-down key"));
            need(*spec.list, spec.listShows, QStringLiteral("drop-down column"));
        }
    }
    const auto listFaults = [&](const ListGrid* list, const kit::ListSpec& spec) {
        const dataset::Dataset& rows = list->rows();
        if (!rows.isOpen())
            faults << QStringLiteral("%1: the list %2 did not open").arg(objectName(), rows.name());
        for (const ListColumn& c : spec.columns)
            if (!c.textOf)
                need(rows, c.field, QStringLiteral("list column"));
        need(rows, spec.key, QStringLiteral("list key"));
        need(rows, spec.searchField, QStringLiteral("search field"));
        for (const kit::SumSpec& sum : spec.sums) {
            need(rows, sum.field, QStringLiteral("summed field"));
            need(rows, sum.onceFor, QStringLiteral("summed-once field"));
        }
    };
    if (list_)
        listFaults(list_, form_.list);
    for (size_t i = 0; i < moreLists_.size(); ++i)
        listFaults(moreLists_[i], form_.moreLists[i]);
    QHash<QString, int> names;
    for (const QWidget* w : findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            ++names[w->objectName()];
    for (auto n = names.cbegin(); n != names.cend(); ++n)
        if (n.value() > 1)
            faults << QStringLiteral("%1: %2 widgets are named %3").arg(objectName()).arg(n.value()).arg(n.key());
    return faults;
}

// ---------------------------------------------------------------- keys, size, closing

void RegisterScreen::keyPressEvent(QKeyEvent* event)
{
    QWidget* focus = QApplication::focusWidget();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && list_ && within(this, focus) && focus == controls_.value(form_.list.searchBox) &&
        !qobject_cast<QAbstractButton*>(focus)) {
        list_->search();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && flow_ && flow_->isEditing()) {
        if (form_.layout != RegisterForm::Layout::SingleRow)
            flow_->cancel();
        else
            control<QPushButton>(form_.cancelButton)->click();
        return;
    }
    ListScreen::keyPressEvent(event);
}

// A window opens at the size its content asks for, within the room there is.
void RegisterScreen::showEvent(QShowEvent* event)
{
    ListScreen::showEvent(event);
    if (sized_)
        return;
    sized_ = true;
    if (flow_ && flow_->isEditing())
        if (QWidget* first = controls_.value(form_.firstField.isEmpty() ? form_.fields.front().name : form_.firstField))
            first->setFocus();
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame || form_.fixedSize)
        return;
    QSize wanted = frame->sizeHint().expandedTo(sizeHint() + (frame->size() - size()));
    if (QWidget* area = frame->parentWidget())
        wanted = wanted.boundedTo(area->size());
    frame->resize(wanted);
}

bool RegisterScreen::closeCheck()
{
    closingNow_ = true;
    const bool closes = ListScreen::closeCheck();
    closingNow_ = false;
    return closes;
}
