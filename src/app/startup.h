#pragma once

#include "app/screen_registry.h"
#include "dm/tdm.h"
#include "app/tfmain.h"

#include <memory>

class Prompter;

// The running program: the data module, the screens it can open and the
// main window (empty when start-up stopped). Members end in reverse order,
// so the window goes before the module.
struct Arventa {
    std::unique_ptr<TDM> dm;
    std::unique_ptr<ScreenRegistry> registry;
    std::unique_ptr<TFMain> main;
};

// Starts the program in this order: the data module (which connects and
// opens the shared cursors, quietly when it cannot); then, if a folder
// "TEMP" is beside the executable, a year closing broke off: the message is
// shown and no main window is made; otherwise the main window, maximised.
Arventa startArventa(const QString& executableFolder, Prompter& prompter,
                     const QString& databaseFile = QStringLiteral("ARVENTA.FDB"));
