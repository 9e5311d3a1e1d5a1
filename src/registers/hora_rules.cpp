#include "registers/hora_rules.h"

#include "common/identifiers.h"

namespace hora {

std::optional<QString> identifierWarning(bool foreign, const QString& identifier)
{
    if (identifier.isEmpty())
        return std::nullopt;
    if (foreign)
        return CheckLNCh(identifier) ? std::nullopt : std::optional<QString>(QStringLiteral("Грешен ЛНЧ!"));
    if (CheckEGN(identifier) || CheckEIK(identifier))
        return std::nullopt;
    return QStringLiteral("Грешен ЕГН/ЕИН!");
}

std::optional<QString> countryToSelect(bool foreign, const QString& storedCountry)
{
    if (!storedCountry.isEmpty())
        return storedCountry;
    if (!foreign)
        return kBulgaria;
    return std::nullopt;
}

const std::vector<Check>& saveChecks()
{
    static const std::vector<Check> checks = {
        {[](const Entries& e) { return e.municipalityChosen; }, QStringLiteral("Изберете община!")},
        {[](const Entries& e) { return e.settlementChosen; }, QStringLiteral("Изберете населено място!")},
        {[](const Entries& e) { return !e.name.isEmpty(); }, QStringLiteral("Няма дани!")},
        // A foreign person needs a country, anyone else an identifier.
        {[](const Entries& e) { return !e.foreign || e.countryChosen; }, QStringLiteral("Въведете държава!")},
        {[](const Entries& e) { return e.foreign || !e.identifier.isEmpty(); }, QStringLiteral("Няма данни!")},
    };
    return checks;
}

std::optional<QString> saveRefusal(const Entries& e)
{
    for (const Check& c : saveChecks())
        if (!c.passes(e))
            return c.message;
    return std::nullopt;
}

Country storedCountry(bool foreign, const QString& chosenCountry)
{
    if (foreign)
        return {kForeign, chosenCountry};
    return {kNotForeign, kBulgaria};
}

}  // namespace hora
