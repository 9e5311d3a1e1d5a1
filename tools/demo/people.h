#pragma once

// Believable Bulgarian owners: names, identifiers that pass the program's own
// checks, addresses, telephones and bank accounts.

#include "demo/random.h"

#include <QString>

namespace demo {

// "Иван Петров Колев": first name, father's name and family name, in the
// female forms for a woman.
QString personName(Random& rnd, bool female);
struct Foreigner {
    QString name;     // as Bulgarian registers write it, in Cyrillic
    QString country;  // COUNTRY.KOD_COUNTRY
};
Foreigner foreignPerson(Random& rnd);
QString companyName(Random& rnd);

// A personal number (ЕГН) of someone born 1932-2001, with the birth date,
// the sex digit and the check digit right.
QString personalNumber(Random& rnd, bool female);
// A foreigner's personal number (ЛНЧ).
QString foreignerNumber(Random& rnd);
// A company code (ЕИК): nine digits, or thirteen for a branch.
QString companyCode(Random& rnd, bool branch);

// "ул. „Васил Левски“ № 12".
QString streetAddress(Random& rnd);
QString phoneNumber(Random& rnd);

struct BankAccount {
    QString bank;
    QString iban;  // 22 characters with correct check digits
    QString bic;
};
BankAccount bankAccount(Random& rnd);

// The n-th of forty usual locality names ("Герена", "Лозята"…), counting round.
QString localityName(int n);

}  // namespace demo
