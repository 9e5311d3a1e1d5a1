#pragma once

#include "app/screen_registry.h"
#include "dm/tdm.h"
#include "app/tfmain.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Prompter;
class QTranslator;
namespace fb {
class Error;
}

// The running program: the data module, the screens it can open and the
// main window (empty when start-up stopped). Members end in reverse order,
// so the window goes before the module.
struct Arventa {
    std::unique_ptr<TDM> dm;
    std::unique_ptr<ScreenRegistry> registry;
    std::unique_ptr<TFMain> main;
    // The process's exit code when start-up stopped before the main window.
    int exitCode = 0;
};

// The embedded engine lets one process at a time open a database file; this
// is the error a second copy of the program gets on the same folder.
bool heldByAnotherCopy(const fb::Error& error);

// Starts the program in this order: the database is checked (it opens, it
// is a register of this program, its version is not newer) and, when it
// fails, what failed is said and nothing more happens (exit code 1: every
// refusal to start has a non-zero code); then the data module (which
// connects, upgrading an older register, and opens the shared cursors);
// then, if a folder "TEMP" is beside the executable, a year closing broke
// off (service/closing_recovery.h): the program goes on only when the user
// lets its leftovers go; otherwise the main window, maximised. `connected`
// runs as soon as the data module has connected, before anything is shown.
Arventa startArventa(const QString& executableFolder, Prompter& prompter,
                     const QString& databaseFile = QStringLiteral("ARVENTA.FDB"),
                     const std::function<void()>& connected = {});

// Bulgarian numbers, dates and calendar for every widget, whatever locale the
// environment gives the process.
void useBulgarianLocale();
// Qt's own Bulgarian texts for its standard dialogs and buttons, installed in
// the application while the returned object lives; empty when Qt's
// translations are not on this machine.
std::unique_ptr<QTranslator> installQtBulgarian();

// Why no window can be shown: Qt was not told which platform to use and there
// is no display to reach (Qt itself would abort with an unhelpful message).
// Empty when there is one.
std::optional<QString> missingDisplay();
