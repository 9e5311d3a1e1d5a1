#pragma once

// The statements of the owner's payout screen, composed from the shared rent
// SQL. Each takes the owner as the parameter :id_sobstv (the receipt lines
// take the receipt as :ID). The owner's share rows are built from his own
// contract lines only, so every statement reads a handful of rows whatever
// the size of the register.

#include <QString>

namespace rent::payout {

// QueryPritImoti: the owner's contract lines that count in the farming year,
// with the plot, its names and the share they bind. A plot without a mode of
// use is not listed.
QString ownedPlots();

// QueryPolR: the rent due per rent type: COUNT_REC, SOK (the due quantity:
// the quantities of the type's due rows of dueRows(), each rounded there to
// stotinki for money or whole units for goods, added up), SOP (the due
// value), NAIM_VR, ID_VR, ME, ID_SOBSTV.
QString dueByType();

// QueryIzplatenaRenta: what the owner has been handed out this year per
// goods: COUNT_IZPR, SUM_OF_KOL, ID_RK, RK, ID_HORA, ME.
QString handedOut();

// QueryOpisRD: the owner's goods receipts.
QString goodsReceipts();

// QueryOpisRKO: the owner's cash payments of the year (past-years payments
// are not listed), SUMA rounded to stotinki.
QString cashPayments();

// Pravila: one row per counting contract line of the owner, with DT and
// ZEML both 0 when no rule with lines covers the line's area and contract
// type.
QString ruleCheck();

// QueryRPR: the due rows of the receipt panel, one per rule line the owner's
// land earns on (rent type, cadastral area, contract type), over all his
// counting contracts there: OK the due quantity, RAZL what is still to hand
// out of it after everything received on that rule line (read in the
// receipts' own transaction, so a receipt being built counts), EC, NAIM_VR,
// ME, ID_VRK, ID_ZEML, NAIM_NM, ID_DT, TIP, ID_SOBSTV, COUNT_REC.
QString dueRows();

// QueryRealR: the lines of the receipt :ID in the order they were added,
// numbered from 1 (RED), with the names of their goods (RK) and contract
// type (TD).
QString receiptLines();

// QueryRR: the goods on the receipt :ID_RD, numbered in goods-id order
// (NOMER from 1), with the quantities handed out (SK).
QString printedGoods();

// QueryHora: the owner's row, for the printed receipts.
QString ownerRow();

}  // namespace rent::payout
