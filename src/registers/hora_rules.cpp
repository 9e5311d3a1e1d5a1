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

namespace {

const kit::Check kMunicipality =
    kit::Check::chosen(QStringLiteral("jvdblcObshtina"), QStringLiteral("Изберете община!"));
const kit::Check kSettlement =
    kit::Check::chosen(QStringLiteral("jvdblcGrad"), QStringLiteral("Изберете населено място!"));

}  // namespace

const std::vector<kit::Check>& saveChecks()
{
    static const std::vector<kit::Check> checks = {
        kMunicipality,
        kSettlement,
        kit::Check::filled(QStringLiteral("dbedIme"), QStringLiteral("Няма дани!")),
        // A foreign person needs a country, anyone else an identifier.
        {[](const kit::PanelValues& v) {
             return !v.checked(QStringLiteral("chbCHFL")) || v.chosen(QStringLiteral("jvdblcCountry"));
         },
         QStringLiteral("Въведете държава!")},
        {[](const kit::PanelValues& v) {
             return v.checked(QStringLiteral("chbCHFL")) || v.filled(QStringLiteral("dbedEGN"));
         },
         QStringLiteral("Няма данни!")},
    };
    return checks;
}

const std::vector<kit::Check>& closingChecks()
{
    static const std::vector<kit::Check> checks = {
        kMunicipality,
        kSettlement,
        {[](const kit::PanelValues& v) {
             return v.filled(QStringLiteral("dbedEGN")) && v.filled(QStringLiteral("dbedIme"));
         },
         QStringLiteral("Няма дани!")},
    };
    return checks;
}

Country storedCountry(bool foreign, const QString& chosenCountry)
{
    if (foreign)
        return {kForeign, chosenCountry};
    return {kNotForeign, kBulgaria};
}

}  // namespace hora
