#include "bench/bench.h"

namespace bench {

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        rentDue,
        {"startup", "DB: process start to the main window shown with every shared cursor open", startup},
        {"owners",
         "DB: the owners register: open (the list read), filter by name, clear, sort by two titles, search, "
         "correct and cancel, correct and save",
         owners},
        {"land",
         "DB: the land browser: open, move through 50 areas and their first locality, filter by province, clear", land},
        {"layers", "DB: the engine alone, the statement layer and the dataset on the HORA cursor and the owners list",
         layers},
        {"plot", "DB: the plot editor on a plot with six shares: open, an owner picker, save unchanged", plot},
        {"contract",
         "DB: the contract editor on its largest contract: open (every plot listed), the plot filters, add and "
         "take out a line",
         contract},
        reportCase,
        {"property-reports",
         "DB [--print OUT.pdf]: the property and owner reports: each opened, filtered, sorted, moved through; "
         "with --print only the print of every owner with his plots",
         propertyReports},
        rentGoodsCase,
        {"payout",
         "DB: the payout screen of the owner with the most contract lines: open, a goods receipt of two lines "
         "saved and the rent list read again on him (the receipt is deleted at the end)",
         payout},
        {"closing",
         "DB: the year closing of a copy of DB in a temporary program folder: its time (file copies included), "
         "peak memory and what was carried over",
         closing},
        closingKillsCase,
        {"journal",
         "DB [--changes N]: the journal of changes: N corrections of owners and plots made first (timed), then the "
         "journal opened, filtered by an owner, by today and by a kind, and cleared",
         journal},
        serverArchiveCase,
        receiptNumbersCase,
        rentListCase,
        pastRentCase,
        declarationsCase,
        surveyCardCase,
        registerExportCase,
        registerImportCase,
    };
    return all;
}

}  // namespace bench
