#pragma once

#include <QString>

#include <optional>
#include <vector>

// The rules of an owner's record that are plain computations: the warning
// on leaving the identifier, the country the drop-down proposes, the save
// checks in their order and what a save stores as foreign-person flag and
// country.
namespace hora {

// The foreign-person flag as HORA.CHFL holds it.
inline const QString kForeign = QStringLiteral("да");
inline const QString kNotForeign = QStringLiteral("не");
// The country of every owner who is not a foreign person.
inline const QString kBulgaria = QStringLiteral("BG");

// The warning shown on leaving a non-empty identifier: a foreign person's
// must be a foreigner's personal number, anyone else's a personal number or
// a company code. Only a warning: the identifier stays and can be saved.
std::optional<QString> identifierWarning(bool foreign, const QString& identifier);

// The country the drop-down selects when the panel is filled and when the
// foreign-person box is clicked: "BG" for an owner who is not foreign, and
// the owner's stored country over that when he has one. Nothing: the
// drop-down stays as it is (a foreign person with no country yet).
std::optional<QString> countryToSelect(bool foreign, const QString& storedCountry);

// What the panel shows when "Запис" is pressed.
struct Entries {
    bool municipalityChosen = false;
    bool settlementChosen = false;
    QString name;
    bool foreign = false;
    bool countryChosen = false;
    QString identifier;
};

// One save check: when `passes` says no, `message` is shown and the save stops.
struct Check {
    bool (*passes)(const Entries&);
    QString message;
};
// The save checks in their order.
const std::vector<Check>& saveChecks();
// The message of the first check that fails; nothing when all pass.
std::optional<QString> saveRefusal(const Entries& e);

// CHFL and KOD_COUNTRY as "Запис" stores them: a foreign person gets the
// chosen country, anyone else "BG" whatever the drop-down shows.
struct Country {
    QString chfl;
    QString kodCountry;
};
Country storedCountry(bool foreign, const QString& chosenCountry);

}  // namespace hora
