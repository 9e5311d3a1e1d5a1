#pragma once

#include "fb/decimal.h"

#include <QString>

#include <functional>
#include <vector>

namespace dataset {
class Dataset;
}

// The income declaration for the revenue agency: the rent paid to each
// owner in the first calendar year of the farming year, written into an
// empty copy of the agency's form (forms/DeklNAP.xlsx) one line per owner
// through the form's macros. The screen TFDeklNAP and the command line
// arventa-export both write it through here.
namespace transfers::income_declaration {

// One row per owner paid in the calendar year of FIRMA.FROMYEAR: goods
// receipts and cash payments dated in that year, plus what the last year
// closing kept in OIR. Owners without a country row are left out. Columns
// ID_HORA, CHFL, KOL2 ('0' local, '1' foreign, empty when unknown), EGN,
// IME, KOD_COUNTRY, COUNTRY_NAME, ADRES, SUMA_OIR, SUM_RR, SUM_RP, IZPL.
QString paymentsStatement();

// Whether an owner can go into the form: an empty identifier can, any
// other must be a valid EGN or LNCh (a company number cannot).
bool transferable(const QString& egn);

struct Payment {
    QString kol2, egn, ime, kodCountry, countryName, adres;
    fb::Decimal izpl;
};
// Every row of the payments query, opened when it is closed.
std::vector<Payment> paymentsOf(dataset::Dataset& query);

// The payer in the form's header: a natural person by his EGN and name,
// anything else by its company number and name.
struct Payer {
    QString id, name, address;
};
// From the firm's row (FIRMA: ID_VZP, EGN_MOL, MOL, EIN, NAIM_FIRMA, ADRESS).
Payer payerOf(const dataset::Dataset& firm);

// The refusals, as the screen shows them.
inline const QString kNoFile = QStringLiteral("Не е изберан файл!");
inline const QString kWrongWorkbook = QStringLiteral("Не е избран коректния файл!");
inline const QString kFilled = QStringLiteral("В документа има попълнени данни, изберете празен файл!");
inline const QString kDone = QStringLiteral("Данните са прехвърлени успешно!");
// What a user is told first when the transfer or the reading before it failed.
inline const QString kFailed = QStringLiteral("Данните не са прехвърлени.");
inline const QString kPaymentsNotRead = QStringLiteral("Изплатените суми не са прочетени.");
inline const QString kIncomeKind =
    QStringLiteral("Рента, аренда или друго възмездно предоставяне за ползване на земеделска земя");

struct Result {
    // Empty when the form was filled and saved, else the refusal.
    QString refusal;
    // For each payment, whether it was written (a skipped owner is not).
    std::vector<bool> written;
};

// Progress in percent of the whole, as each step ends.
using Progress = std::function<void(int percent)>;

// Fills the form at `path` and saves it in place. A workbook without the
// sheet "SprFL" or with a payer already in E4 is refused and left as it
// was; so is any file when a step fails (WorkbookError with its message).
// Amounts are typed with the user's decimal separator.
Result transfer(const QString& path, const Payer& payer, const std::vector<Payment>& payments,
                const Progress& progress = {});

}  // namespace transfers::income_declaration
