#include "registers/firma_rules.h"

#include "common/identifiers.h"

namespace firma {

bool isFarmingYear(const QDate& fromYear, const QDate& toYear)
{
    return fromYear.isValid() && toYear.isValid() && toYear.year() == fromYear.year() + 1;
}

std::optional<QString> proposedVat(const QString& ein, const QString& storedVat)
{
    if (ein.isEmpty() || !storedVat.isEmpty())
        return std::nullopt;
    return QStringLiteral("BG") + ein;
}

bool isFirmIdentifier(const QString& ein)
{
    return CheckEIK(ein) || CheckEGN(ein) || CheckLNCh(ein);
}

bool isPersonalNumber(const QString& egn)
{
    return CheckEGN(egn) || CheckLNCh(egn);
}

bool isComplete(const Entries& e)
{
    if (e.ein.isEmpty())
        return false;
    if (e.nameEnabled == e.name.isEmpty())
        return false;
    for (const QString* required : {&e.fd, &e.os, &e.adress, &e.oblast, &e.obshtina, &e.nasMqsto, &e.egnMol, &e.vzp})
        if (required->isEmpty())
            return false;
    return true;
}

}  // namespace firma
