#pragma once

#include "common/list_statement.h"

#include <QString>

namespace dataset {
class Dataset;
}

// What the rent rules screen reads and works out, apart from its widgets.
namespace rent {

// QueryRZ, the rules: each rule with its contract type's name (TIP) and its
// cadastral area's settlement (NAIM_NM, EKATTE), by contract type, and in the
// order they were made within one.
ListStatement rulesList();
// The newest rule the rules list shows: its ID_RZ (nothing when there is none).
QString newestRule();

// QDT, the contract types a rule may be made for: every type some contract
// has (COUNT_DT, ID_DT, TIP), whatever the contract's state or dates.
QString contractTypesOffered();
// QZEML, the cadastral areas a rule of the contract type :id_dt may be made
// for: those where contracts of the type count in the farming year
// (COUNT_ZEML, ID_DT, ID_ZEML, NAIM_NM).
QString areasOffered();

// Whether a receipt line pays rent under the rule of this cadastral area
// and contract type (parameters id_zeml, id_dt): such a rule is frozen.
QString receiptLineOfRule();

// Whether the rule (parameter id_rz) has a line.
QString lineOfRule();
// Whether the rule (parameter id_rz) has a line of the rent type (parameter id_vrk).
QString lineOfRuleAndType();

// The rule's total per decare: KOL × EC summed over its lines in double
// precision, an empty value counting as 0.
double ruleTotal(const dataset::Dataset& lines);

// Whether the rent type is money, whose quantities take decimals; goods
// quantities are whole.
bool isMoney(int rentType);

}  // namespace rent
