#pragma once

#include "common/printing_prompter.h"

#include <QStringList>

#include <vector>

namespace bench {

// Says "Да" to every question (the closing's year, start-up's question
// whether a broken closing's leftovers may go).
class AgreeingPrompter : public PrintingPrompter {
public:
    bool confirm(const QString&, Default) override { return true; }
};

// One benchmark: `run` gets the arguments after the case name (DB first) and
// returns the process exit status.
struct Case {
    const char* name;
    const char* help;
    int (*run)(const QStringList& args);
};

// The cases, one file each.
extern const Case rentDue;             // rent_due.cpp
extern const Case reportCase;          // report.cpp
extern const Case rentGoodsCase;       // rent_goods.cpp
extern const Case receiptNumbersCase;  // receipt_numbers.cpp
extern const Case rentListCase;        // rent_list.cpp
extern const Case pastRentCase;        // past_rent.cpp
extern const Case declarationsCase;    // declarations.cpp
extern const Case surveyCardCase;      // survey_card.cpp
extern const Case closingKillsCase;    // closing_kills.cpp
extern const Case serverArchiveCase;   // server_archive.cpp
extern const Case registerExportCase;  // register_export.cpp
extern const Case registerImportCase;  // register_import.cpp

// Every case, in the order the usage text lists them (cases.cpp).
const std::vector<Case>& cases();

// The process's peak resident memory so far, in megabytes.
long peakMegabytes();

// The processor time of the whole process, the embedded database's threads
// included: on a machine busy with other work a steadier figure than the clock.
qint64 processorMs();

// Milliseconds since the process began (as near as static start-up allows).
qint64 sinceProcessStart();

int startup(const QStringList& args);
int owners(const QStringList& args);
int land(const QStringList& args);
int layers(const QStringList& args);
int plot(const QStringList& args);
int propertyReports(const QStringList& args);
int contract(const QStringList& args);
int payout(const QStringList& args);
int closing(const QStringList& args);
int journal(const QStringList& args);

}  // namespace bench
