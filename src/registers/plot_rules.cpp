#include "registers/plot_rules.h"

#include "common/input_helpers.h"

#include <QLocale>

#include <algorithm>

namespace plot {

fb::Decimal shown(double value)
{
    return fb::Decimal::fromDouble(value, 3);
}

QString shownText(double value)
{
    return QLocale().toString(shown(value).toDouble(), 'f', 3);
}

QString allocationRefusal(const Allocation& a)
{
    if (shown(a.plotArea) < shown(a.sharesArea))
        return QStringLiteral("Грешка в частите!");
    if (shown(a.plotEqualised) < shown(a.sharesEqualised))
        return QStringLiteral("Грешка в частите на приравнената площ!");
    return {};
}

QStringList allocationNotices(const Allocation& a)
{
    QStringList out;
    if (shown(a.sharesArea) < shown(a.plotArea))
        out << QStringLiteral("Не е разпределен целия имот!");
    if (shown(a.sharesEqualised) < shown(a.plotEqualised))
        out << QStringLiteral("Не е разпределна цялата приравнена площ!");
    return out;
}

double typedOrZero(const QString& text)
{
    return typedArea(text).value_or(0.0);
}

bool equalisedSharesTyped(const std::vector<double>& coefficients)
{
    return std::any_of(coefficients.begin(), coefficients.end(), [](double c) { return c != 1.0; });
}

}  // namespace plot
