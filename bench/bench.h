#pragma once

#include "common/prompter.h"

#include <QStringList>
#include <QTextStream>

#include <vector>

namespace bench {

// One benchmark: `run` gets the arguments after the case name (DB first) and
// returns the process exit status.
struct Case {
    const char* name;
    const char* help;
    int (*run)(const QStringList& args);
};

// The cases, one file each.
extern const Case rentDue;  // rent_due.cpp

// Every case, in the order the usage text lists them (cases.cpp).
const std::vector<Case>& cases();

// Milliseconds since the process began (as near as static start-up allows).
qint64 sinceProcessStart();

int startup(const QStringList& args);
int owners(const QStringList& args);
int land(const QStringList& args);
int layers(const QStringList& args);

// The benches answer no question and print every message.
class PrintingPrompter : public Prompter {
public:
    void message(const QString& text) override { QTextStream(stderr) << text << "\n"; }
    bool confirm(const QString&, Default) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
};

}  // namespace bench
