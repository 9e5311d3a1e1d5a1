#include "common/number_field.h"

#include "common/prompter.h"
#include "dataset/dataset.h"
#include "dataset/field.h"
#include "fb/decimal.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QValidator>

#include <cmath>
#include <limits>

namespace {

bool isPoint(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLocale().decimalPoint().at(0);
}

// Takes what can be part of a number, as a whole: a paste holding a letter
// is refused, never kept in part.
class NumberTextValidator : public QValidator {
public:
    explicit NumberTextValidator(NumberField* field) : QValidator(field), field_(field) {}

    State validate(QString& input, int&) const override
    {
        const bool negative = field_->domain().least < 0;
        int points = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QChar c = input[i];
            if (c.isDigit() && c.unicode() < 128)
                continue;
            if (isPoint(c) && ++points == 1)
                continue;
            if (c == QLatin1Char('-') && negative && i == 0)
                continue;
            return Invalid;
        }
        return Acceptable;
    }

private:
    NumberField* field_;
};

// The typed digits, the point made a full stop; nothing when they are no number.
std::optional<fb::Decimal> exactNumber(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^-?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    QString plain = text.trimmed();
    plain.replace(QLocale().decimalPoint(), QLatin1String("."));
    if (!form.match(plain).hasMatch())
        return std::nullopt;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    if (plain.startsWith(QLatin1Char('.')) || plain.startsWith(QLatin1String("-.")))
        plain.insert(plain.indexOf(QLatin1Char('.')), QLatin1Char('0'));
    if (plain.endsWith(QLatin1Char('.')))
        plain.chop(1);
    // Eighteen digits are all a decimal holds; more are out of every domain.
    if (plain.count(QRegularExpression(QStringLiteral("\\d"))) > 18)
        return fb::Decimal{std::numeric_limits<std::int64_t>::max(), 0};
    return fb::Decimal::parse(plain);
}

}  // namespace

std::optional<double> typedNumber(const QString& text)
{
    const auto exact = exactNumber(text);
    if (!exact)
        return std::nullopt;
    return exact->toDouble();
}

QString numberRefusal(const dataset::Domain& domain, const QString& text)
{
    if (text.trimmed().isEmpty())
        return {};
    const auto exact = exactNumber(text);
    if (!exact)
        return domain.message();
    if (exact->scale > domain.decimals && !domain.rounds) {
        // "12,50" has two decimals written but none that counts.
        if (!(exact->rescaled(domain.decimals) == *exact))
            return domain.message();
    }
    const double stored =
        exact->scale > domain.decimals ? exact->rescaled(domain.decimals).toDouble() : exact->toDouble();
    return domain.holds(stored) ? QString() : domain.message();
}

std::optional<double> domainValue(const dataset::Domain& domain, const QString& text)
{
    if (!numberRefusal(domain, text).isEmpty())
        return std::nullopt;
    const auto exact = exactNumber(text);
    if (!exact)
        return std::nullopt;
    return exact->scale > domain.decimals ? exact->rescaled(domain.decimals).toDouble() : exact->toDouble();
}

QString shownNumber(const dataset::Domain& domain, double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // Areas always show their three decimals; other figures as short as
    // they are ("40", "0,25"), never with more decimals than they take.
    if (domain.rounds)
        return locale.toString(value, 'f', domain.decimals);
    const double rounded = fb::Decimal::fromDouble(value, domain.decimals).toDouble();
    return locale.toString(rounded, 'g', 15);
}

NumberField::NumberField(const dataset::Domain& domain, QWidget* parent) : QLineEdit(parent), domain_(domain)
{
    setValidator(new NumberTextValidator(this));
    setAlignment(Qt::AlignRight);
    setMaxLength(24);
}

void NumberField::setDomain(const dataset::Domain& domain)
{
    domain_ = domain;
}

void NumberField::setValue(std::optional<double> value)
{
    const QString shown = value ? shownNumber(domain_, *value) : QString();
    if (text() != shown)
        setText(shown);
}

void NumberField::keyPressEvent(QKeyEvent* event)
{
    // Either point types the locale's, so a number always reads the Bulgarian way.
    const QString typed = event->text();
    if (typed == QLatin1String(".") || typed == QLatin1String(",")) {
        if (!isReadOnly())
            insert(locale().decimalPoint());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumberField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    // A number out of range is said at once; a text that is no number yet
    // (a lone point) is left to the save, where the screen may have words of
    // its own for it.
    if (const QString message = refusal(); !message.isEmpty() && typedNumber(text()) && isEnabled() && !isReadOnly())
        emit refusedOnLeaving(message);
}

bool numberRefused(NumberField* field, Prompter& prompter)
{
    const QString message = field->refusal();
    if (message.isEmpty())
        return false;
    field->setFocus(Qt::OtherFocusReason);
    prompter.message(message);
    return true;
}

// ---------------------------------------------------------------- NumberFieldBinder

NumberFieldBinder::NumberFieldBinder(NumberField* edit, dataset::Dataset& dataset, const QString& field)
    : FieldBinder(edit, dataset, field), edit_(edit)
{
    connect(edit, &QLineEdit::textEdited, this, [this] {
        if (edit_->isBlank()) {
            write(fb::Value());
            return;
        }
        const std::optional<double> v = edit_->value();
        if (!v)
            return;  // kept on screen; the save refuses it
        const dataset::Field* f = this->field();
        const bool whole = f && f->dataType() == dataset::DataType::Integer;
        write(whole ? fb::Value(qlonglong(std::llround(*v))) : fb::Value(*v));
    });
    follow();
}

void NumberFieldBinder::show()
{
    if (showing_)
        return;
    const dataset::Field* f = field();
    const fb::Value v = f ? f->value() : fb::Value();
    const std::optional<double> value = v.isNull() ? std::nullopt : std::optional<double>(v.toDouble());
    // A text that already means the field's value stays as typed ("12,5" for 12,500).
    if (edit_->value() == value && (value || edit_->isBlank()))
        return;
    // A field with a display format shows as the grid shows it ("#0.000").
    if (value && !f->displayFormat().isEmpty())
        edit_->setText(f->displayText());
    else
        edit_->setValue(value);
}
