#include "dm/domains.h"

#include "dataset/usage_error.h"

namespace dm {

namespace {

using dataset::Domain;

// Decares, three decimals, rounded as typed areas always were.
Domain area(const char* name, double most = 99999.999)
{
    return {
        .name = QString::fromUtf8(name), .unit = QStringLiteral("дка"), .decimals = 3, .most = most, .rounds = true};
}
Domain money(const char* name, double most, bool aboveZero)
{
    return {.name = QString::fromUtf8(name),
            .unit = QStringLiteral("лв"),
            .decimals = 2,
            .most = most,
            .aboveLeast = aboveZero};
}
Domain wholeNumber(const char* name, double least, double most, const char* unit = "")
{
    return {.name = QString::fromUtf8(name), .unit = QString::fromUtf8(unit), .least = least, .most = most};
}
Domain aboveZero(const char* name, int decimals, double most)
{
    return {.name = QString::fromUtf8(name), .decimals = decimals, .most = most, .aboveLeast = true};
}

// The largest number a receipt carries: a column of integers holds more.
constexpr double kLargestNumber = 2147483647;
// An equalised area is an area times a coefficient of at most 10.
constexpr double kLargestEqualised = 999999.999;

}  // namespace

const std::vector<FieldDomain>& fieldDomains()
{
    static const std::vector<FieldDomain> table = {
        // Land: the plot's figures are sums of its categories, so they take more than one category.
        {"KATEGORIQ", "PLOSHT", {}, area("Площ")},
        {"ZEMQ", "PLOSHT", {}, area("Площ", kLargestEqualised)},
        {"ZEMQ", "PRPLOSHT", {}, area("Приравнена площ", kLargestEqualised)},
        {"ZEMQ", "POLPL", {}, area("Поливна площ")},
        {"ZEMQ", "KOMASIP", {}, area("Площ")},
        {"SOBSTV", "REDPLOSHT", {}, area("Дка")},
        {"SOBSTV", "PRREDPL", {}, area("Пр. дка", kLargestEqualised)},
        {"ISTORIQ", "PLOSHT", {}, area("Въведете дка")},
        {"DOGHORAZEMI", "REDPLOSHT", {}, area("Площ")},
        {"CATEGORY_COEFFICIENT", "COEFFICIENT", {}, aboveZero("Коефициент", 4, 10)},
        // Rent rules: per decare, money in leva or goods in whole units, and a price per unit.
        {"VIDRENTAKOL", "KOL", {}, money("Кол-во на дка", 9999.99, true)},
        {"VIDRENTAKOL", "KOL", "goods", {.name = QStringLiteral("Кол-во на дка"), .most = 9999, .aboveLeast = true}},
        {"VIDRENTAKOL", "EC", {}, aboveZero("Коефициент", 5, 999.99999)},
        {"VID_RENTA", "ED_CENA", {}, aboveZero("Единична цена", 5, 999.99999)},
        // Receipts and payments: numbers of one series, quantities handed out.
        {"RAZP DANNI", "NOM", {}, wholeNumber("Разписка №", 1, kLargestNumber)},
        {"RAZP_PARI", "NOMER", {}, wholeNumber("Разписка №", 1, kLargestNumber)},
        {"RAZP_PARI", "SUMA", {}, money("Сума", 99999999.99, true)},
        {"RAZP RENTA", "KOL", {}, money("Количество", 9999999.99, true)},
        {"RAZP RENTA",
         "KOL",
         "goods",
         {.name = QStringLiteral("Количество"), .unit = QStringLiteral("кг"), .most = 9999999, .aboveLeast = true}},
        {"RAZP RENTA", "STOINOST", {}, money("Стойност", 99999999.99, false)},
        // Contract numbers are digits kept as text.
        {"DOG DANNI", "NOMER", {}, wholeNumber("Договор №", 1, 999999)},
    };
    return table;
}

const dataset::Domain* columnDomain(const QString& table, const QString& column)
{
    for (const FieldDomain& d : fieldDomains())
        if (d.use.isEmpty() && d.table.compare(table, Qt::CaseInsensitive) == 0 &&
            d.column.compare(column, Qt::CaseInsensitive) == 0)
            return &d.domain;
    return nullptr;
}

const dataset::Domain& domain(const QString& table, const QString& column, const QString& use)
{
    for (const FieldDomain& d : fieldDomains())
        if (d.use == use && d.table.compare(table, Qt::CaseInsensitive) == 0 &&
            d.column.compare(column, Qt::CaseInsensitive) == 0)
            return d.domain;
    throw dataset::UsageError(QStringLiteral("no domain for %1.%2 %3").arg(table, column, use));
}

}  // namespace dm
