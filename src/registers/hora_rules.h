#pragma once

#include "common/register_form.h"

#include <QString>

#include <optional>
#include <vector>

// The rules of an owner's record that are plain computations: the warning
// on leaving the identifier, the country the drop-down proposes, the save
// checks in their order and what a save stores as foreign-person flag and
// country. The checks name the panel's controls.
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

// The save checks in their order, over the panel's controls.
const std::vector<kit::Check>& saveChecks();
// Yes to the close question: a chosen municipality and settlement (so that
// no place the geography lists merely happen to be on is stored), then an
// identifier and a name.
const std::vector<kit::Check>& closingChecks();

// CHFL and KOD_COUNTRY as "Запис" stores them: a foreign person gets the
// chosen country, anyone else "BG" whatever the drop-down shows.
struct Country {
    QString chfl;
    QString kodCountry;
};
Country storedCountry(bool foreign, const QString& chosenCountry);

}  // namespace hora
