#include "common/register_form.h"

#include "common/number_field.h"

#include <QLocale>

#include <stdexcept>

namespace kit {

const PanelValues::Entry& PanelValues::operator[](const QString& control) const
{
    const auto found = entries_.find(control);
    if (found == entries_.end())
        throw std::logic_error("no panel control " + control.toStdString());
    return *found;
}

Check Check::filled(const QString& control, const QString& message)
{
    return {[control](const PanelValues& v) { return v.filled(control); }, message};
}

Check Check::chosen(const QString& control, const QString& message)
{
    return {[control](const PanelValues& v) { return v.chosen(control); }, message};
}

Check Check::number(const QString& control, const QString& message)
{
    return {[control](const PanelValues& v) {
                const QString text = v.text(control).trimmed();
                return text.isEmpty() || typedNumber(text).has_value();
            },
            message};
}

const Check* firstFailing(const std::vector<Check>& checks, const PanelValues& values)
{
    for (const Check& c : checks)
        if (!c.passes(values))
            return &c;
    return nullptr;
}

}  // namespace kit
