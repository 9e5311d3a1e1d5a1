#include "common/date_field.h"

#include "common/prompter.h"
#include "dataset/dataset.h"
#include "dataset/field.h"
#include "dataset/formats.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QValidator>

#include <algorithm>

namespace {

// "dd.MM.yyyy" is ten characters; a longer text cannot be a date.
constexpr int kLongestDate = 10;

bool isSeparator(QChar c, QChar localeSeparator)
{
    return c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('-') || c == localeSeparator;
}

// Keeps the digits and separators of what is typed or pasted, each
// separator turned into the locale's, and drops the rest (blanks, letters,
// the "г." a pasted date may end with, and so the point after it). Whether
// the text is a real date is told when the user leaves the field, not here:
// half a date must be typeable.
class DateTextValidator : public QValidator {
public:
    explicit DateTextValidator(QWidget* field) : QValidator(field), field_(field) {}

    State validate(QString& input, int& pos) const override
    {
        const QChar sep = dataset::formats::dateSeparator(field_->locale());
        QString kept;
        int keptPos = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
            if (!digit && !isSeparator(c, sep))
                continue;
            kept.append(digit ? c : sep);
            if (i < pos)
                ++keptPos;
        }
        if (kept.count(sep) > 2 && kept.endsWith(sep)) {
            kept.chop(1);
            keptPos = std::min(keptPos, int(kept.size()));
        }
        if (kept.size() > kLongestDate)
            return Invalid;
        input = kept;
        pos = keptPos;
        return Acceptable;
    }

private:
    QWidget* field_;
};

}  // namespace

QDate typedDate(const QString& text, const QLocale& locale)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QChar sep = dataset::formats::dateSeparator(locale);
    QString plain = text.trimmed();
    for (QChar& c : plain)
        if (isSeparator(c, sep))
            c = QLatin1Char('.');
    // Eight digits without separators are day, month and year: "06102024".
    static const QRegularExpression digitsOnly(QStringLiteral("^\\d{8}$"));
    if (digitsOnly.match(plain).hasMatch())
        plain = plain.left(2) + QLatin1Char('.') + plain.mid(2, 2) + QLatin1Char('.') + plain.mid(4);
    const QRegularExpressionMatch m = form.match(plain);
    if (!m.hasMatch())
        return {};
    // An impossible day or month gives an invalid date, never another date.
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

QString shownDate(const QDate& date, const QLocale& locale)
{
    return dataset::formats::maskedDate(date, locale);
}

// ---------------------------------------------------------------- DateField

DateField::DateField(QWidget* parent) : QLineEdit(parent), button_(new QToolButton(this))
{
    setValidator(new DateTextValidator(this));
    button_->setArrowType(Qt::DownArrow);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);
    button_->setToolTip(QStringLiteral("Календар"));
    setTextMargins(0, 0, button_->sizeHint().width(), 0);
    connect(button_, &QToolButton::clicked, this, &DateField::showCalendar);
    connect(this, &QObject::objectNameChanged, this,
            [this](const QString& name) { button_->setObjectName(name + QStringLiteral("Calendar")); });
    connect(this, &QLineEdit::textEdited, this, &DateField::typed);
}

QString DateField::impossibleDateMessage()
{
    return QStringLiteral("Невалидна дата!");
}

QDate DateField::date() const
{
    return typedDate(text(), locale());
}

void DateField::setDate(const QDate& date)
{
    setText(shownDate(date, locale()));
}

bool DateField::isBlank() const
{
    return text().trimmed().isEmpty();
}

bool DateField::holdsImpossibleDate() const
{
    return !isBlank() && !date().isValid();
}

void DateField::typed(const QString&)
{
    const QDate d = date();
    if (d.isValid() || isBlank())
        emit dateEdited(d);
}

void DateField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // The calendar or a menu opening over the field, another program's
    // window, or the field going out of sight is not the user leaving it.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason || !isVisible())
        return;
    if (isBlank())
        return;
    const QDate d = date();
    if (!d.isValid()) {
        emit impossibleDate(text());
        return;
    }
    if (const QString shown = shownDate(d, locale()); text() != shown)
        setText(shown);
}

void DateField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F4 || (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier))) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateField::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void DateField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::ReadOnlyChange)
        button_->setEnabled(!isReadOnly());
}

// Inside the frame on the right, over the margin kept free of text.
void DateField::placeButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int width = button_->sizeHint().width();
    button_->setGeometry(rect().width() - frame - width, frame, width, rect().height() - 2 * frame);
}

void DateField::showCalendar()
{
    if (isReadOnly() || !isEnabled())
        return;
    if (!calendar_) {
        calendar_ = new QCalendarWidget(this);
        calendar_->setWindowFlags(Qt::Popup);
        calendar_->setAttribute(Qt::WA_DeleteOnClose);
        calendar_->setGridVisible(true);
        connect(calendar_, &QCalendarWidget::clicked, this, &DateField::picked);
        connect(calendar_, &QCalendarWidget::activated, this, &DateField::picked);
    }
    const QDate d = date();
    calendar_->setSelectedDate(d.isValid() ? d : QDate::currentDate());
    calendar_->adjustSize();
    // Below the field, or above it when the screen ends first.
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen* s = screen()) {
        const QRect room = s->availableGeometry();
        if (at.y() + calendar_->height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - calendar_->height());
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - calendar_->width())));
    }
    calendar_->move(at);
    calendar_->show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

// A click and a double click's activation both arrive: the first one closes.
void DateField::picked(const QDate& date)
{
    if (!calendar_ || !calendar_->isVisible())
        return;
    calendar_->close();
    setDate(date);
    setFocus(Qt::OtherFocusReason);
    emit dateEdited(date);
}

bool refuseImpossibleDate(QWidget* container, Prompter& prompter)
{
    for (DateField* date : container->findChildren<DateField*>()) {
        if (date->isVisibleTo(container) && date->isEnabled() && !date->isReadOnly() && date->holdsImpossibleDate()) {
            date->setFocus(Qt::OtherFocusReason);
            prompter.message(DateField::impossibleDateMessage());
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- DateFieldBinder

DateFieldBinder::DateFieldBinder(DateField* edit, dataset::Dataset& dataset, const QString& field)
    : FieldBinder(edit, dataset, field), edit_(edit)
{
    connect(edit, &DateField::dateEdited, this, [this](const QDate& date) {
        // A text column keeps its date as the field shows it ("05.10.2024").
        const dataset::Field* f = this->field();
        const bool text = f && f->dataType() == dataset::DataType::Text;
        fb::Value v;
        if (date.isValid())
            v = text ? fb::Value(shownDate(date, edit_->locale())) : fb::Value(date);
        if (!write(v))
            show();
    });
    follow();
}

void DateFieldBinder::show()
{
    if (showing_)
        return;
    const dataset::Field* f = field();
    QDate date;
    if (f && f->dataType() == dataset::DataType::Text)
        date = typedDate(f->asString(), edit_->locale());
    else if (f)
        date = f->asDate();
    // A text that already means the field's date stays as typed ("1.10.2024").
    if (edit_->date() != date || (!date.isValid() && !edit_->isBlank()))
        edit_->setDate(date);
}
