#pragma once

#include "common/list_statement.h"

#include <QDate>
#include <QString>

#include <optional>

// The contracts' own rules and statements, shared by the contracts
// register, the number dialog and the contract editor.
namespace contract {

inline const QString kInForce = QStringLiteral("Действащ");
inline const QString kTerminated = QStringLiteral("Прекратен");
// A contract number is typed as at most this many digits.
constexpr int kNumberLength = 6;

// The number proposed for a new contract: the number of the contract made
// last, read as a whole number, plus one. Nothing when that number is not
// a digit string or the next one would not fit the dialog.
std::optional<QString> proposedNumber(const QString& lastNumber);

// A lease period is right when it does not end before it begins; a period
// with a date missing is the required-fields check's business.
bool periodIsRight(const QDate& from, const QDate& to);

// A termination may not fall before the contract's date (the same day passes).
bool terminationDateIsRight(const QDate& termination, const QDate& contractDate);

// The sum of the lines' areas as the editor shows it: three decimals and " дка".
QString areaTotalText(double total);

// The register's list: every contract, numbered as numbers (9 before 10),
// with the names of its kind and type.
ListStatement registerStatement();

// The editor's plot list over every plot with a form of management and a
// mode of permanent use, and its three prefix filters.
ListStatement plotListStatement();
inline const FilterCondition kAreaStarts{QStringLiteral(" (upper(nas_mqsto.naim_nm) starting with upper(")};
inline const FilterCondition kLocalityStarts{QStringLiteral(" (upper(mestnost.naim_mestn) starting with upper(")};
inline const FilterCondition kPlotNumberStarts{QStringLiteral(" (upper(zemq.imot_no) starting with upper(")};

// The owners' shares of one plot (:id_zemq), with the number of the
// contract each is in.
QString sharesStatement();
// The lines of one contract (:id_dog) with their plot and owner.
QString linesStatement();
// The owners of one contract's lines (:id_dog) who have a goods receipt,
// one row per owner and contract type.
QString ownersWithReceiptsStatement();

}  // namespace contract
