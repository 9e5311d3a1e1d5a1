#include "workbook/control.h"

#include "workbook/workbook_error.h"
#include "workbook/xml_part.h"

namespace transfers {

namespace {

constexpr qsizetype kMaxConstant = 255;

}  // namespace

QString textConstant(const QString& text)
{
    QString doubled = text;
    doubled.replace(u'"', QLatin1String("\"\""));
    return u'"' + doubled + u'"';
}

std::optional<QString> parseTextConstant(const QString& formula)
{
    const QString f = formula.startsWith(u'=') ? formula.mid(1) : formula;
    if (f.size() < 2 || !f.startsWith(u'"') || !f.endsWith(u'"'))
        return std::nullopt;
    const QString inner = f.mid(1, f.size() - 2);
    QString text;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'"') {
            if (i + 1 >= inner.size() || inner[i + 1] != u'"')
                return std::nullopt;  // a lone quote ends the constant: this is an expression
            ++i;
        }
        text += inner[i];
    }
    return text;
}

QString Control::text() const
{
    const auto t = parseTextConstant(xml::unescapeText(xml::text(node_)));
    if (!t)
        throw WorkbookError(QStringLiteral("Името \"%1\" не е поле на формуляра").arg(name_));
    return *t;
}

void Control::setText(const QString& text)
{
    if (text.size() > kMaxConstant)
        throw WorkbookError(
            QStringLiteral("Текстът за поле \"%1\" е по-дълъг от %2 знака").arg(name_).arg(kMaxConstant));
    xml::setText(node_, textConstant(text));
}

}  // namespace transfers
