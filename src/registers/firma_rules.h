#pragma once

#include <QDate>
#include <QString>

#include <optional>

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

// What the screen shows when it is saved, as text.
struct Entries {
    QString ein;
    QString name;
    bool nameEnabled = true;  // disabled for a natural person
    QString fd, os, adress, oblast, obshtina, nasMqsto, egnMol, vzp;
};

// The name is filled when it may be typed and empty when it may not; the
// identifier, court registration, address, seat, responsible person's number
// and kind of producer are all filled.
bool isComplete(const Entries& e);

}  // namespace firma
