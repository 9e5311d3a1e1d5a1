#pragma once

// The rent arithmetic, written once as SQL text. Every rent, payout, closing
// and declaration query is composed from these pieces with plain string
// building; the database does the decimal arithmetic with the casts written
// here, and the program only adds up what it displays.
//
// Names the pieces give their results (kept by the screens and reports):
//   HDZ   contracted shares in force, per owner, area, contract type and state
//   RR    goods receipts per owner (RRP/RRS when split into money and goods)
//   RP    cash payments of the year per owner
//   PKOL  quantity received per owner and rule line
//   VRS/VRP  the goods lines / the money line of each rule

#include <QString>

namespace schema::rent {

// Rent type 1 is money; every other type is goods in whole units.
constexpr int kMoneyType = 1;

// The largest stored figures the statements' exact decimals can multiply and
// add: a rule line's quantity per decare and its price, a share's area. The
// screens take far less; a row beyond these (stored before they checked, or
// by hand) is left out of every rent figure and named by the notices below,
// so that one absurd row never makes the lists fail for everyone.
constexpr double kComputableRuleQuantity = 100000;
constexpr double kComputablePrice = 10000;
constexpr double kComputableArea = 10000000;

// The rule lines the statements compute with, under the table's own name:
// "from " + computableRuleLines() stands where "from vidrentakol" would.
QString computableRuleLines();
// The rule lines left out: the settlement of their area (naim_nm), the
// contract type (tip) and the rent type (naim_vr).
QString uncomputableRuleLines();
// The owners (egn, ime) with a share or contract line left out, and its plot (imot_no).
QString uncomputableShares();

// The farming-year contract condition: the contract (with FIRMA cross-joined)
// is not terminated, or was terminated strictly inside the farming year, and
// its term overlaps the farming year by calendar year. An empty state or date
// makes the contract not count.
QString farmingYearCondition();

// Which columns the contracted-shares block carries besides the owner, area,
// settlement name, contract type and state it always groups by.
struct SharesOptions {
    bool owner = false;           // joins HORA: hora.egn, hora.ime
    bool representative = false;  // hora.predst as well (implies owner)
    bool contractType = false;    // joins DOGTIP: dogtip.tip
    // The contract lines summed per contract, owner and area (a select of the
    // columns of contractLines); computed now when empty. The rent-due cache
    // offers its kept ones (keptContractLines), which a screen that reads one
    // owner's rows at a time can use once it has brought them up to date.
    QString lines = {};
};

// The select of HDZ: one row per owner (id_sobstv), cadastral area (id_zeml),
// contract type (id_dt) and contract state (systoqnie), with the contracted
// area ZDPl and the equalised area ZPl on which rent is computed.
QString contractedShares(const SharesOptions& options = {});

// One row per owner (id_sobstv): his whole contracted area in the farming year
// (ZDPl, ZPl), whether a rule covers it or not.
QString contractedAreaPerOwner();

// ZP: the contracted area of the farming year per cadastral area (id_zeml)
// and contract type (id_dt) over all owners together: the contracted area
// ZPD_plosht and the equalised area ZP_plosht, with the settlement's name
// (naim_nm) when asked. Read from the contract lines summed per contract,
// owner and area (`lines`, a select of the columns of contractLines, such as
// the rent-due cache's keptContractLines); computed now when empty.
QString areaPerCadastralArea(bool settlementName, const QString& lines = {});

// The rules that apply to HDZ: the from-clause from DOGTIP through the rule of
// the row's area and contract type to the derived table `hdzSelect` as HDZ.
// With `withLines` each rule line (vidrentakol) and its rent type (vid_renta)
// are joined as well; land without a rule or under a rule without lines earns
// nothing and drops out.
QString rulesThatApply(const QString& hdzSelect, bool withLines = true);

// The goods lines (VRS, kol rounded to whole units) or the money line (VRP,
// kol rounded to stotinki) of every rule, with ec and id_rz.
QString goodsLinesOfRules();
QString moneyLineOfRules();

enum class Form { Money, Goods };

// The due quantity of a rule line for an HDZ row, in the type's unit. The
// per-decare quantity is rounded first: to stotinki for money, to whole units
// for goods. `line` names the rule-line relation, `shares` the HDZ relation.
QString dueQuantity(Form form, const QString& line = QStringLiteral("vidrentakol"),
                    const QString& shares = QStringLiteral("HDZ"));

// The due value of a rule line for an HDZ row, in leva: for money the rate per
// decare is rounded to stotinki before it is multiplied by the area; for goods
// the due quantity is rounded to whole units before it is priced.
QString dueValue(Form form, const QString& line = QStringLiteral("vidrentakol"),
                 const QString& shares = QStringLiteral("HDZ"));

// The due value of the rule lines of one rent type summed over the group and
// rounded to stotinki once; the group must be per <line>.id_vrk.
QString dueValuePerType(const QString& line = QStringLiteral("vidrentakol"));

enum class ReceiptLines { All, Money, Goods };

struct ReceiptOptions {
    ReceiptLines lines = ReceiptLines::All;
    // Names the columns: <prefix>_kol (quantity) and <prefix>_pari (value).
    QString prefix = QStringLiteral("RR");
};

// Goods receipts of the year per owner (id_hora). A line whose rent type,
// receipt header or goods row is missing does not count.
QString goodsReceipts(const ReceiptOptions& options = {});

// Cash payments of the year per owner (id_hora, RP_sum). Payments of
// past-years rent (PMG 1) never count here.
QString cashPayments();

// What each owner (id_hora) has received against each rule line (id_vr,
// id_dt, id_zeml): SK, quantities of every goods handed out for it added up.
QString receivedPerRuleLine();

// The contract lines with the owners' shares they bind, summed per contract
// (id_dog), owner (id_sobstv) and cadastral area of the plot (id_zeml, empty
// when the plot or its locality is missing): ZDPl and ZPl. `owners`, when
// given, is a select of distinct owner ids (id_hora) the rows are restricted
// to. The rent-due cache keeps these rows too.
QString contractLines(const QString& owners = {});

// Where ownerFigures reads the contract lines summed per contract and owner:
// selects of the columns of contractLines. Rows without an area may be left
// out of `byArea` and need no id_zeml in `all`.
struct LineSums {
    QString byArea;  // per contract, owner and area: the rent due
    QString all;     // per contract and owner: the contracted area
};

// The line sums computed now.
LineSums computedLineSums();

// The rent list's figures of each owner with contracted land under a rule
// line in the farming year: id_sobstv, count_rec (the rent types due), ZDPl
// and ZPl (all his contracted land, empty when none of its lines has an
// area), SOP (the rent due, rounded to stotinki once per rent type). The
// rent-due cache stores exactly these rows.
QString ownerFigures(const LineSums& lines);

// The rest of the rent due in the farming year that each owner (id_sobstv)
// still has to receive, for owners whose rest is positive. Columns:
//   id_sobstv, egn, ime    the owner (owners missing from HORA drop out)
//   ZDPl, ZPl              his contracted and equalised area under a rule,
//                          each contracted-shares row counted once
//   SOK, SOKP              goods due (all goods added up, each per-decare
//                          quantity rounded to a whole unit) and money due
//   SOP                    the rent due: the money line of each rule counted
//                          once per contracted-shares row, each goods line
//                          once, and the whole value rounded to stotinki once
//   RR_pari, RRS_kol, RRS_pari, RP_sum   goods receipts' money lines, goods
//                          lines (quantity, value) and cash payments of the
//                          year (past-years payments never count); empty
//                          when the owner has none
//   OSTATYK                SOP less all of them
// The unpaid-rent report lists exactly these rows, and year closing carries
// exactly these rests into ONR: both must read the same statement.
QString unpaidRest();

// The due part of unpaidRest, per owner with contracted land under a rule
// in the farming year: id_sobstv, ZDPl, ZPl, SOK, SOKP and SOP as above,
// read from `lines` (a select of the columns of contractLines, such as the
// rent-due cache's kept ones; computed now when empty).
QString unpaidDue(const QString& lines = {});

// unpaidRest over `due`, a select of the columns of unpaidDue (the rent-due
// cache keeps them): names, receipts and cash payments are joined to it as
// they stand.
QString unpaidRestOver(const QString& due);

// The rent list: one row per owner with contracted land under a rule, with
// COUNT_REC, ID_SOBSTV, EGN, IME, PREDST, ZDPL, ZPL, SOP (rent due), RR, RP,
// IZPL (paid) and OSTATYK (rest). The owner's columns are Q1.<name> in lower
// case; the screen puts its filter (" WHERE " and a condition on them) between
// the base and the order line, and may replace the order line.
struct RentListStatement {
    QString base;
    QString order;
    QString text() const { return base + order; }
};

// The rent list over figures computed now.
RentListStatement rentList();

// The rent list over `figures`, a select of the columns of ownerFigures:
// names, receipts and cash payments are joined to it as they stand.
RentListStatement rentListOver(const QString& figures);

}  // namespace schema::rent
