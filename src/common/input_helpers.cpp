#include "common/input_helpers.h"

#include "dataset/formats.h"
#include "fb/decimal.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <cmath>

void setDateMask(QLineEdit* edit, const QLocale& locale)
{
    edit->setInputMask(dataset::formats::inputMask(kDateMask, locale));
}

namespace {

class DecimalKeys : public QObject {
public:
    DecimalKeys(QLineEdit* edit, std::function<bool()> decimals) : QObject(edit), edit_(edit), decimals_(decimals) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != edit_ || event->type() != QEvent::KeyPress)
            return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text != QLatin1String(".") && text != QLatin1String(","))
            return false;
        if (!decimals_ || decimals_())
            edit_->insert(QLocale().decimalPoint());
        return true;
    }

private:
    QLineEdit* edit_;
    std::function<bool()> decimals_;
};

class BackspaceDiscarded : public QObject {
public:
    explicit BackspaceDiscarded(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace;
    }
};

}  // namespace

void discardBackspace(QLineEdit* edit)
{
    edit->installEventFilter(new BackspaceDiscarded(edit));
}

void setDecimalKeys(QLineEdit* edit, std::function<bool()> decimals)
{
    edit->installEventFilter(new DecimalKeys(edit, std::move(decimals)));
}

QString threeDecimals(double value, const QLocale& locale)
{
    QString text = QString::asprintf("%8.3f", value);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

std::optional<double> readNumber(const QString& text, const QLocale& locale)
{
    bool ok = false;
    double value = locale.toDouble(text.trimmed(), &ok);
    // A clerk types the full stop as often as the comma: either is the point.
    if (!ok && locale.decimalPoint() != QLatin1String(".") && !text.contains(locale.decimalPoint())) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(text.trimmed(), &ok);
    }
    if (!ok)
        return std::nullopt;
    return value;
}

double roundThreeDecimals(double value, const QLocale& locale)
{
    // What "%8.3f" writes always reads back in the same locale.
    return readNumber(threeDecimals(value, locale), locale).value_or(value);
}

std::optional<double> typedArea(const QString& text, const QLocale& locale)
{
    const std::optional<double> value = readNumber(text, locale);
    if (!value)
        return std::nullopt;
    // Plain decimal text is rounded as written (1,2345 gives 1,235), not as
    // the nearest binary number, which may lie just below the half.
    QString plain = text.trimmed();
    plain.replace(locale.decimalPoint(), QLatin1String("."));
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    if (const auto exact = fb::Decimal::parse(plain); exact && std::abs(exact->toDouble() - *value) < 1e-9)
        return exact->rescaled(3).toDouble();
    return roundThreeDecimals(*value, locale);
}
