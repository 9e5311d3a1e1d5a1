#include "dataset/binders.h"

#include "dataset/dataset.h"
#include "dataset/dataset_model.h"
#include "dataset/formats.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTableView>

namespace dataset {

namespace {

// Whether a bound control may write into the dataset now: a row is being
// inserted or edited, or a browsing dataset goes into edit by itself.
bool takesValues(const Dataset& d)
{
    return d.isEditing() || (d.state() == State::Browse && d.autoEdit());
}

}  // namespace

void setDigitsOnly(QLineEdit* edit)
{
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

// ---------------------------------------------------------------- FieldBinder

FieldBinder::FieldBinder(QObject* widget, Dataset& dataset, const QString& field)
    : QObject(widget), dataset_(&dataset), fieldName_(field)
{
}

void FieldBinder::follow()
{
    connect(dataset_, &Dataset::currentChanged, this, [this] { show(); });
    connect(dataset_, &Dataset::stateChanged, this, [this] { show(); });
    connect(dataset_, &Dataset::fieldChanged, this, [this](int index) {
        const Field* f = field();
        if (f && f->index() == index && !showing_)
            show();
    });
    show();
}

Field* FieldBinder::field() const
{
    return dataset_ ? dataset_->findField(fieldName_) : nullptr;
}

bool FieldBinder::write(const fb::Value& value)
{
    Field* f = field();
    if (!f || !takesValues(*dataset_))
        return false;
    showing_ = true;  // the widget already shows what it writes
    f->setValue(value);
    showing_ = false;
    return true;
}

// ---------------------------------------------------------------- LineEditBinder

LineEditBinder::LineEditBinder(QLineEdit* edit, Dataset& dataset, const QString& field, bool digitsOnly)
    : FieldBinder(edit, dataset, field), edit_(edit)
{
    if (const Field* f = this->field(); f && f->size() > 0)
        edit->setMaxLength(f->size());
    if (digitsOnly)
        setDigitsOnly(edit);
    connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!write(text.isEmpty() ? fb::Value() : fb::Value(text)))
            show();
    });
    follow();
}

void LineEditBinder::show()
{
    const Field* f = field();
    const QString text = f ? (f->dataType() == DataType::Text ? f->asString() : f->displayText()) : QString();
    if (edit_->text() != text)
        edit_->setText(text);
}

// ---------------------------------------------------------------- LabelBinder

LabelBinder::LabelBinder(QLabel* label, Dataset& dataset, const QString& field)
    : FieldBinder(label, dataset, field), label_(label)
{
    follow();
}

void LabelBinder::show()
{
    const Field* f = field();
    label_->setText(f ? f->displayText() : QString());
}

// ---------------------------------------------------------------- MaskEditBinder

MaskEditBinder::MaskEditBinder(QLineEdit* edit, Dataset& dataset, const QString& field)
    : FieldBinder(edit, dataset, field), edit_(edit)
{
    if (const Field* f = this->field(); f && !f->editMask().isEmpty())
        edit->setInputMask(formats::inputMask(f->editMask()));
    connect(edit, &QLineEdit::textEdited, this, &MaskEditBinder::store);
    follow();
}

void MaskEditBinder::store()
{
    const Field* f = field();
    if (!f)
        return;
    // What is left of a blank mask is its separators alone.
    QString digits = edit_->text();
    digits.remove(QRegularExpression(QStringLiteral("[^0-9]")));
    fb::Value v;
    if (!digits.isEmpty())
        v = f->dataType() == DataType::Date ? fb::Value(formats::dateFromMasked(edit_->text()))
                                            : fb::Value(edit_->text());
    // An unfinished date is kept on screen and stored once it is whole.
    if (f->dataType() == DataType::Date && !digits.isEmpty() && v.isNull())
        return;
    if (!write(v))
        show();
}

void MaskEditBinder::show()
{
    if (showing_)
        return;
    const Field* f = field();
    QString text;
    if (f)
        text = f->dataType() == DataType::Date ? formats::maskedDate(f->asDate()) : f->asString();
    if (edit_->text() != text)
        edit_->setText(text);
}

// ---------------------------------------------------------------- CheckBoxBinder

CheckBoxBinder::CheckBoxBinder(QCheckBox* box, Dataset& dataset, const QString& field, fb::Value checked,
                               fb::Value unchecked)
    : FieldBinder(box, dataset, field), box_(box), checked_(std::move(checked)), unchecked_(std::move(unchecked))
{
    connect(box, &QCheckBox::clicked, this, [this](bool on) {
        if (!write(on ? checked_ : unchecked_))
            show();
    });
    follow();
}

void CheckBoxBinder::show()
{
    const Field* f = field();
    box_->setChecked(f && f->value() == checked_);
}

// ---------------------------------------------------------------- RadioGroupBinder

RadioGroupBinder::RadioGroupBinder(QButtonGroup* group, Dataset& dataset, const QString& field,
                                   std::vector<fb::Value> values)
    : FieldBinder(group, dataset, field), group_(group), values_(std::move(values))
{
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id < 0 || size_t(id) >= values_.size() || !write(values_[size_t(id)]))
            show();
    });
    follow();
}

void RadioGroupBinder::show()
{
    const Field* f = field();
    const fb::Value v = f ? f->value() : fb::Value();
    group_->setExclusive(false);
    for (QAbstractButton* b : group_->buttons()) {
        const int id = group_->id(b);
        b->setChecked(id >= 0 && size_t(id) < values_.size() && values_[size_t(id)] == v);
    }
    group_->setExclusive(true);
}

// ---------------------------------------------------------------- LookupComboBinder

LookupComboBinder::LookupComboBinder(QComboBox* combo, Dataset& list, const QString& keyField,
                                     const QString& displayField, Dataset* bound, const QString& boundField)
    : QObject(combo),
      combo_(combo),
      list_(&list),
      keyField_(keyField),
      displayField_(displayField),
      bound_(bound),
      boundField_(boundField)
{
    combo->setEditable(false);
    combo->installEventFilter(this);
    connect(&list, &Dataset::rowsReset, this, &LookupComboBinder::fill);
    connect(&list, &Dataset::rowInserted, this, &LookupComboBinder::fill);
    connect(&list, &Dataset::rowRemoved, this, &LookupComboBinder::fill);
    connect(&list, &Dataset::rowUpdated, this, &LookupComboBinder::fill);
    if (bound) {
        connect(bound, &Dataset::currentChanged, this, &LookupComboBinder::show);
        connect(bound, &Dataset::stateChanged, this, &LookupComboBinder::show);
        connect(bound, &Dataset::fieldChanged, this, &LookupComboBinder::show);
    } else {
        connect(&list, &Dataset::currentChanged, this, &LookupComboBinder::show);
    }
    connect(combo, &QComboBox::activated, this, &LookupComboBinder::choose);
    fill();
}

void LookupComboBinder::fill()
{
    showing_ = true;
    combo_->clear();
    const Field* display = list_ ? list_->findField(displayField_) : nullptr;
    if (display)
        for (int r = 0; r < list_->rowCount(); ++r)
            combo_->addItem(list_->value(r, display->index()).toString());
    showing_ = false;
    show();
}

void LookupComboBinder::show()
{
    if (showing_ || !list_)
        return;
    int row = list_->currentRow();
    if (bound_) {
        const Field* f = bound_->findField(boundField_);
        const Field* key = list_->findField(keyField_);
        const fb::Value v = f ? f->value() : fb::Value();
        row = (v.isNull() || !key) ? -1 : list_->findRow(key->index(), v);
    }
    combo_->setCurrentIndex(row);
}

void LookupComboBinder::choose(int index)
{
    if (!list_ || index < 0 || index >= list_->rowCount())
        return;
    // A list with a row of its own in edit stays where it is; its details
    // then do not follow, but nothing pending is lost.
    if (!list_->isEditing()) {
        showing_ = true;
        list_->moveTo(index);
        showing_ = false;
    }
    if (bound_) {
        Field* f = bound_->findField(boundField_);
        const Field* key = list_->findField(keyField_);
        if (f && key && takesValues(*bound_))
            f->setValue(list_->value(index, key->index()));
    }
    show();
}

bool LookupComboBinder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == combo_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace) {
        if (bound_) {
            Field* f = bound_->findField(boundField_);
            if (f && takesValues(*bound_))
                f->clear();
        }
        combo_->setCurrentIndex(-1);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- GridBinder

GridBinder::GridBinder(QTableView* view, DatasetModel& model) : QObject(view), view_(view), dataset_(&model.dataset())
{
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line a row, as a register list reads best; long texts are elided.
    view->setWordWrap(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (moving_ || !dataset_ || !current.isValid())
            return;
        if (dataset_->isEditing()) {
            // The row in edit belongs to its edit flow, which alone posts or
            // cancels it: the grid goes back to it once the click is handled
            // (the view still selects the clicked row after this signal).
            QMetaObject::invokeMethod(this, &GridBinder::showCurrent, Qt::QueuedConnection);
            return;
        }
        moving_ = true;
        dataset_->moveTo(current.row());
        moving_ = false;
    });
    connect(dataset_, &Dataset::currentChanged, this, &GridBinder::showCurrent);
    connect(&model, &QAbstractItemModel::modelReset, this, &GridBinder::showCurrent);
    connect(&model, &QAbstractItemModel::modelReset, this, [this, &model] { fitColumns(model); });
    fitColumns(model);
    showCurrent();
}

// Gives each column the width of what its first rows and its title show,
// within bounds, once there are rows: a 13-digit company number is not cut
// while a two-letter column stays narrow. Only the first rows are measured,
// so a list of thousands costs no more than a short one.
void GridBinder::fitColumns(const DatasetModel& model)
{
    if (fitted_ || !dataset_ || model.rowCount() == 0)
        return;
    fitted_ = true;
    constexpr int kMeasuredRows = 200;
    constexpr int kWidestChars = 40;
    const QFontMetrics cells = view_->fontMetrics();
    const QFontMetrics titles = view_->horizontalHeader()->fontMetrics();
    const int widest = cells.averageCharWidth() * kWidestChars;
    const int rows = std::min(model.rowCount(), kMeasuredRows);
    for (int c = 0; c < model.columnCount(); ++c) {
        int width = titles.horizontalAdvance(model.column(c).title) + 28;
        for (int r = 0; r < rows; ++r)
            width = std::max(width, cells.horizontalAdvance(model.index(r, c).data().toString()) + 14);
        view_->setColumnWidth(c, std::min(width, widest));
    }
}

void GridBinder::showCurrent()
{
    if (moving_ || !dataset_)
        return;
    const int row = dataset_->currentRow();
    const QModelIndex current = view_->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    moving_ = true;
    view_->setCurrentIndex(view_->model()->index(row, std::max(current.column(), 0)));
    moving_ = false;
}

}  // namespace dataset
