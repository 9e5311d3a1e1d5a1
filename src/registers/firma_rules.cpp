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

namespace {

const QString kWrongPeriod = QStringLiteral("Въведете коректен период!");
const QString kMissingData = QStringLiteral("Моля попълнете всички данни!");

bool periodHolds(const kit::PanelValues& v)
{
    return isFarmingYear(v.date(QStringLiteral("jvdbedFromYear")), v.date(QStringLiteral("jvdbedToYear")));
}

}  // namespace

const std::vector<kit::Check>& saveChecks()
{
    static const std::vector<kit::Check> checks = [] {
        std::vector<kit::Check> out = {
            {periodHolds, kWrongPeriod},
            kit::Check::filled(QStringLiteral("dbedEIN"), kMissingData),
            {[](const kit::PanelValues& v) {
                 const QString name = QStringLiteral("dbedNaim");
                 return v.enabled(name) == v.filled(name);
             },
             kMissingData},
        };
        for (const char* required : {"dbedFDNo", "dbedSyd", "dbedAdres", "jvdblcbOblast", "jvdblcbObshtina", "jvdblcNM",
                                     "dbedMOLEGN", "jvdblcbVZP"})
            out.push_back(kit::Check::filled(QLatin1String(required), kMissingData));
        return out;
    }();
    return checks;
}

const std::vector<kit::LeaveCheck>& leaveChecks()
{
    static const std::vector<kit::LeaveCheck> checks = {
        {QStringLiteral("dbedEIN"),
         {[](const kit::PanelValues& v) { return isFirmIdentifier(v.text(QStringLiteral("dbedEIN"))); },
          QStringLiteral("Въведете коректен идентификатор!")}},
        {QStringLiteral("dbedMOLEGN"),
         {[](const kit::PanelValues& v) { return isPersonalNumber(v.text(QStringLiteral("dbedMOLEGN"))); },
          QStringLiteral("Въведеното ЕГН/ЛНЧ е некоректно!")}},
        // Only a warning: the focus moves on.
        {QStringLiteral("jvdbedToYear"), {periodHolds, kWrongPeriod}, false},
    };
    return checks;
}

}  // namespace firma
