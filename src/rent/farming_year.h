#pragma once

#include <QDate>
#include <QString>

#include <optional>

class TDM;

namespace rent {

// The current farming year, FIRMA.FROMYEAR to FIRMA.TOYEAR, both days
// inside it. Receipts and payments of the year are dated inside it.
struct FarmingYear {
    QDate from, to;

    bool contains(const QDate& date) const { return from <= date && date <= to; }
    // The date a new receipt of the year starts with: `today` while it lies
    // in the year, else the year's last day (a receipt written after the
    // year ended, before it was closed, still belongs to it).
    QDate proposedDate(const QDate& today) const { return contains(today) ? today : to; }
    // What is asked before a receipt is dated outside the year, "Не" first.
    QString outsideQuestion(const QDate& date) const;
};

// The farming year as FIRMA holds it now; nothing when either date is
// missing (then no date is proposed or questioned on its account).
std::optional<FarmingYear> farmingYear(TDM& dm);

}  // namespace rent
