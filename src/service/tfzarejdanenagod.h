#pragma once

#include "common/screen.h"

#include <QString>

#include <functional>
#include <optional>

class Prompter;
class QProgressBar;
class TDM;

// The farming year an archive folder holds, from its name: the last four
// characters when they are digits (the year closing names the folder of
// 2009/2010 "2009_2010"); empty for any other name.
std::optional<int> archiveYearOfFolder(const QString& folderName);

// "Зареждане на стар период": points the data module's connection at the
// database of an archive folder and makes that folder current, so that
// every screen works, and every report prints, with the archived year until
// the program ends. A file that is not a database of the register, or does
// not open, leaves the program on the database it had.
class TFZarejdanenagod : public Screen {
    Q_OBJECT
public:
    // `showOldPeriod` shows the main window's label of the loaded year.
    using PeriodLabel = std::function<void(int archiveYear)>;
    TFZarejdanenagod(TDM& dm, Prompter& prompter, PeriodLabel showOldPeriod, QWidget* parent = nullptr);

private:
    void load();
    // Whether `file` is a database of this register; says why not.
    bool isRegister(const QString& file);
    // Connects to `file`; on failure says so and connects to the previous
    // database again. True when `file` is open.
    bool switchTo(const QString& file);
    // The loaded year: from the folder's name, else from the loaded firm row.
    std::optional<int> loadedYear(const QString& folder) const;

    TDM& dm_;
    Prompter& prompter_;
    PeriodLabel showOldPeriod_;
    QProgressBar* ProgressBar1_;
};
