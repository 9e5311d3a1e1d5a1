#include "registers/lookup_list.h"

#include "dataset/binders.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

LookupList::LookupList(Prompter& prompter, const Spec& spec, QWidget* parent) : ListScreen(prompter, parent)
{
    setWindowTitle(spec.caption);
    // A fixed border with only the window menu and the close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);

    auto* group = new QGroupBox(spec.caption, this);
    group->setObjectName(QStringLiteral("gb") + spec.name);
    QTableView* view = grid(QStringLiteral("jvdbgrid") + spec.name, group);
    view->setMinimumSize(320, 220);
    ListGrid& list = addList(view, spec.list, {{spec.nameField, spec.columnTitle}});
    QPushButton* add = button(QStringLiteral("bitDob"), QStringLiteral("Добавяне"), group);
    QPushButton* correct = button(QStringLiteral("bitKor"), QStringLiteral("Корекция"), group);
    QPushButton* remove = button(QStringLiteral("bitDel"), QStringLiteral("Изтриване"), group);
    auto* commands = new QVBoxLayout;
    commands->addWidget(add);
    commands->addWidget(correct);
    commands->addWidget(remove);
    commands->addStretch();
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(view);
    groupLayout->addLayout(commands);

    QPushButton* exit = button(QStringLiteral("bitExit"), QStringLiteral("Изход"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    QWidget* panel = makePanel(spec);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(exit, 0, Qt::AlignRight);
    layout->addWidget(panel);
    // A fixed border: the panel's place is kept while it is hidden.
    QSizePolicy keep = panel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    panel->setSizePolicy(keep);
    setFixedSize(sizeHint());

    flow_ = &addFlow(spec.list, panel);
    flow_->setList(list, spec.keyField);
    flow_->setFirstField(name_);
    flow_->lockWhileEditing(view);
    flow_->setClosing(spec.closing);
    // A name of blanks counts as entered.
    flow_->checks = {{[this] { return !name_->text().isEmpty(); }, spec.emptyName}};
    dataset::Dataset& users = spec.users;
    const QString usersField = spec.usersField;
    flow_->guards = {
        {[this, &users, usersField] { return users.locate(usersField, flow_->selectedKey()); }, spec.inUse}};
    flow_->connectButtons(add, correct, remove, findChild<QPushButton*>(QStringLiteral("bitZapis")),
                          findChild<QPushButton*>(QStringLiteral("bitOtkaz")));
}

QWidget* LookupList::makePanel(const Spec& spec)
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panel") + spec.name);
    auto* label = new QLabel(spec.label, panel);
    label->setObjectName(QStringLiteral("labNaim"));
    name_ = new QLineEdit(panel);
    name_->setObjectName(QStringLiteral("dbedNaim"));
    label->setBuddy(name_);
    new dataset::LineEditBinder(name_, spec.list, spec.nameField);
    auto* layout = new QHBoxLayout(panel);
    layout->addWidget(label);
    layout->addWidget(name_, 1);
    layout->addWidget(button(QStringLiteral("bitZapis"), QStringLiteral("Запис"), panel));
    layout->addWidget(button(QStringLiteral("bitOtkaz"), QStringLiteral("Отказ"), panel));
    return panel;
}
