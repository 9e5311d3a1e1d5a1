#pragma once

#include "common/prompter.h"

#include <QTextStream>

// The Prompter of programs without a window (the benchmarks, the report
// command line): every message goes to standard error, no question is
// answered and no file or folder is chosen.
class PrintingPrompter : public Prompter {
public:
    void message(const QString& text) override { QTextStream(stderr) << text << "\n"; }
    bool confirm(const QString&, Default) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
};
