#pragma once

#include "common/register_form.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// The rules of the firm record that are plain computations: the farming
// year, the VAT number proposal, the identifier checks on leaving a field
// and the data a save needs.
namespace firma {

// The farming year is sound when the second date falls in the calendar year
// after the first; days and months are free. A missing date never is.
bool isFarmingYear(const QDate& fromYear, const QDate& toYear);

// The VAT number proposed on entering its field: "BG" and the identifier,
// when an identifier is typed and no VAT number is stored yet.
std::optional<QString> proposedVat(const QString& ein, const QString& storedVat);

// The firm's identifier may be a company code or, for a natural person or a
// sole trader, a personal or foreigner's number.
bool isFirmIdentifier(const QString& ein);
// The responsible person's personal or foreigner's number.
bool isPersonalNumber(const QString& egn);

// The save checks in their order, over the screen's controls: the period
// first, then every required entry ("Моля попълнете всички данни!"): the
// identifier; the name when it may be typed, and no name when it may not;
// the court registration, address, seat, responsible person's number and
// kind of producer. Yes to the close question runs the same.
const std::vector<kit::Check>& saveChecks();
// The checks on leaving the identifiers (refusing) and the second date (a warning).
const std::vector<kit::LeaveCheck>& leaveChecks();

}  // namespace firma
