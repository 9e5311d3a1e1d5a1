#include "common/register_panel.h"

#include "common/date_field.h"
#include "common/number_field.h"
#include "common/text_input.h"
#include "dataset/binders.h"
#include "dataset/dataset.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

using kit::FieldSpec;

// A label longer than this wraps, so that one long label does not make its
// whole column of the panel wide.
constexpr int kLongestLabel = 20;

}  // namespace

RegisterPanel::RegisterPanel(const QString& name, dataset::Dataset& row, std::vector<FieldSpec> fields,
                             const QString& saveName, const QString& cancelName, QWidget* parent,
                             const QString& saveCaption)
    : QWidget(parent), row_(row), fields_(std::move(fields))
{
    setObjectName(name);
    auto* grid = new QGridLayout(this);
    std::vector<const FieldSpec*> order;
    for (const FieldSpec& spec : fields_)
        order.push_back(&spec);
    std::stable_sort(order.begin(), order.end(), [](const FieldSpec* a, const FieldSpec* b) {
        return std::tie(a->row, a->col) < std::tie(b->row, b->col);
    });
    std::vector<QWidget*> tabOrder;
    int lastRow = 0;
    for (const FieldSpec* spec : order) {
        QWidget* control = addControl(*spec);
        if (spec->kind == FieldSpec::Kind::Check) {
            grid->addWidget(control, spec->row, spec->col, 1, spec->span + 1);
        } else {
            auto* label = new QLabel(spec->label, this);
            label->setObjectName(spec->labelName);
            label->setBuddy(control);
            label->setWordWrap(spec->label.size() > kLongestLabel);
            grid->addWidget(label, spec->row, spec->col);
            if (QPushButton* beside = addButtonBeside(*spec)) {
                auto* both = new QHBoxLayout;
                both->addWidget(control, 1);
                both->addWidget(beside);
                grid->addLayout(both, spec->row, spec->col + 1, 1, spec->span);
            } else {
                grid->addWidget(control, spec->row, spec->col + 1, 1, spec->span);
            }
            // A wider window gives its room to the controls, not to the labels.
            grid->setColumnStretch(spec->col + 1, 1);
        }
        if (control->focusPolicy() != Qt::NoFocus)
            tabOrder.push_back(control);
        if (!spec->button.isEmpty())
            tabOrder.push_back(controls_.value(spec->button));
        lastRow = std::max(lastRow, spec->row);
    }
    addButtons(grid, lastRow + 1, saveName, cancelName, saveCaption, tabOrder);
    for (size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void RegisterPanel::addButtons(QGridLayout* grid, int row, const QString& saveName, const QString& cancelName,
                               const QString& saveCaption, std::vector<QWidget*>& tabOrder)
{
    if (saveName.isEmpty())
        return;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    save_ = new QPushButton(saveCaption, this);
    save_->setObjectName(saveName);
    buttons->addWidget(save_);
    tabOrder.push_back(save_);
    if (!cancelName.isEmpty()) {
        cancel_ = new QPushButton(QStringLiteral("Отказ"), this);
        cancel_->setObjectName(cancelName);
        buttons->addWidget(cancel_);
        tabOrder.push_back(cancel_);
    }
    // A click leaves the focus where it is: "Запис" runs the leave checks
    // itself, and "Отказ" throws the row away unchecked. A line's panel's
    // one button takes the focus, so that leaving its last field does what
    // leaving it does.
    if (cancel_) {
        save_->setFocusPolicy(Qt::TabFocus);
        cancel_->setFocusPolicy(Qt::TabFocus);
    }
    grid->addLayout(buttons, row, 0, 1, grid->columnCount());
}

QPushButton* RegisterPanel::addButtonBeside(const FieldSpec& spec)
{
    if (spec.button.isEmpty())
        return nullptr;
    auto* b = new QPushButton(QStringLiteral("..."), this);
    b->setObjectName(spec.button);
    b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("......")) + 16);
    controls_.insert(spec.button, b);
    return b;
}

QWidget* RegisterPanel::addEdit(const FieldSpec& spec)
{
    const bool bound = !spec.column.isEmpty();
    auto* edit = new QLineEdit(this);
    if (spec.kind == FieldSpec::Kind::Masked) {
        if (bound)
            new dataset::MaskEditBinder(edit, row_, spec.column);
    } else if (bound) {
        new dataset::LineEditBinder(edit, row_, spec.column, spec.kind == FieldSpec::Kind::Digits);
    } else if (spec.kind == FieldSpec::Kind::Digits) {
        dataset::setDigitsOnly(edit);
    }
    if (!spec.pattern.isEmpty())
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(spec.pattern), edit));
    else if (spec.kind == FieldSpec::Kind::Text)
        acceptWindows1251Only(edit);
    if (spec.length > 0)
        edit->setMaxLength(spec.length);
    if (spec.minimumWidth > 0)
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * spec.minimumWidth);
    return edit;
}

// The domain is the described one, or else the bound column's; either way
// its message names the field by the label the user sees.
QWidget* RegisterPanel::addNumber(const FieldSpec& spec)
{
    const dataset::Field* column = spec.column.isEmpty() ? nullptr : row_.findField(spec.column);
    dataset::Domain domain = spec.domain                  ? *spec.domain
                             : column && column->domain() ? *column->domain()
                                                          : dataset::Domain{.name = {}, .most = 999999999};
    QString name = spec.label;
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    auto* number = new NumberField(domain.named(name.trimmed()), this);
    if (column)
        new NumberFieldBinder(number, row_, spec.column);
    if (spec.minimumWidth > 0)
        number->setMinimumWidth(number->fontMetrics().averageCharWidth() * spec.minimumWidth);
    connect(number, &NumberField::refusedOnLeaving, this, &RegisterPanel::refusedNumberLeft);
    return number;
}

// The buttons in a row; the one whose value the row holds is checked.
QWidget* RegisterPanel::addRadio(const FieldSpec& spec)
{
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(box);
    std::vector<fb::Value> values;
    for (const FieldSpec::Choice& choice : spec.choices) {
        auto* button = new QRadioButton(choice.text, box);
        button->setObjectName(choice.name);
        group->addButton(button, static_cast<int>(values.size()));
        row->addWidget(button);
        values.push_back(choice.value);
    }
    row->addStretch();
    if (!spec.column.isEmpty())
        new dataset::RadioGroupBinder(group, row_, spec.column, std::move(values));
    return box;
}

QWidget* RegisterPanel::addControl(const FieldSpec& spec)
{
    const bool bound = !spec.column.isEmpty();
    QWidget* control = nullptr;
    switch (spec.kind) {
        case FieldSpec::Kind::Text:
        case FieldSpec::Kind::Digits:
        case FieldSpec::Kind::Masked:
            control = addEdit(spec);
            break;
        case FieldSpec::Kind::Number: {
            control = addNumber(spec);
            break;
        }
        case FieldSpec::Kind::Date: {
            auto* date = new DateField(this);
            if (bound)
                new DateFieldBinder(date, row_, spec.column);
            connect(date, &DateField::impossibleDate, this, &RegisterPanel::impossibleDateLeft);
            control = date;
            break;
        }
        case FieldSpec::Kind::Check: {
            auto* box = new QCheckBox(spec.label, this);
            if (bound)
                new dataset::CheckBoxBinder(box, row_, spec.column, spec.checked, spec.unchecked);
            control = box;
            break;
        }
        case FieldSpec::Kind::Shown: {
            auto* label = new QLabel(this);
            if (bound)
                new dataset::LabelBinder(label, row_, spec.column);
            control = label;
            break;
        }
        case FieldSpec::Kind::Radio:
            control = addRadio(spec);
            break;
        case FieldSpec::Kind::Lookup: {
            auto* combo = new QComboBox(this);
            combo->setMinimumContentsLength(spec.minimumWidth > 0 ? spec.minimumWidth : 20);
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            new dataset::LookupComboBinder(combo, *spec.list, spec.listKey, spec.listShows, bound ? &row_ : nullptr,
                                           spec.column);
            control = combo;
            break;
        }
    }
    control->setObjectName(spec.name);
    controls_.insert(spec.name, control);
    return control;
}

kit::PanelValues RegisterPanel::values() const
{
    kit::PanelValues out;
    for (const FieldSpec& spec : fields_) {
        QWidget* w = controls_.value(spec.name);
        kit::PanelValues::Entry e;
        e.enabled = w->isEnabled();
        if (auto* date = qobject_cast<DateField*>(w)) {
            e.text = date->text();
            e.date = date->date();
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            e.text = edit->text();
            if (spec.kind == FieldSpec::Kind::Masked) {
                // What is left of a blank mask is its separators alone.
                QString digits = e.text;
                digits.remove(QRegularExpression(QStringLiteral("[^0-9A-Za-z]")));
                if (digits.isEmpty())
                    e.text.clear();
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            e.chosen = combo->currentIndex() >= 0;
            e.text = e.chosen ? combo->currentText() : QString();
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            e.checked = box->isChecked();
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            e.text = label->text();
        } else if (auto* group = w->findChild<QButtonGroup*>(); group && group->checkedButton()) {
            e.chosen = true;
            e.text = group->checkedButton()->text();
        }
        out.set(spec.name, e);
    }
    return out;
}

NumberField* RegisterPanel::refusedNumber() const
{
    for (const FieldSpec& spec : fields_)
        if (auto* number = qobject_cast<NumberField*>(controls_.value(spec.name));
            number && number->isEnabled() && !number->refusal().isEmpty())
            return number;
    return nullptr;
}

DateField* RegisterPanel::impossibleDate() const
{
    for (const FieldSpec& spec : fields_)
        if (auto* date = qobject_cast<DateField*>(controls_.value(spec.name)); date && date->holdsImpossibleDate())
            return date;
    return nullptr;
}
