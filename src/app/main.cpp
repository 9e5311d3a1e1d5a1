// The program: starts in the process's current folder, where ARVENTA.FDB is,
// unless a server's register is named (database_choice.h).
#include "app/database_choice.h"
#include "app/login.h"
#include "app/safety_net.h"
#include "app/startup.h"
#include "app/termination.h"
#include "app/tflogin.h"
#include "common/prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include <cstdio>

int main(int argc, char** argv)
{
    if (const std::optional<QString> why = missingDisplay()) {
        std::fprintf(stderr, "%s\n", why->toUtf8().constData());
        return 1;
    }
    holdTerminationSignals();
    useBulgarianLocale();
    ArventaApplication app(argc, argv);
    const database_choice::Choice database =
        database_choice::choose(QCoreApplication::arguments(), qEnvironmentVariable(database_choice::kVariable));
    if (!database.problem.isEmpty()) {
        std::fprintf(stderr, "arventa: %s\n", database.problem.toUtf8().constData());
        return 2;
    }
    const std::unique_ptr<QTranslator> qtBulgarian = installQtBulgarian();
    QtPrompter prompter;
    // The log of unexpected errors lies beside a register file, else in the working folder.
    const QFileInfo file(database.database);
    SafetyNet net(prompter, file.exists() ? file.absolutePath() : QDir::currentPath());
    app.setSafetyNet(&net);
    // A server's register is opened by a user of its own; the program holds no password.
    if (!logIn(database.database, prompter, loginDialog(database.database)))
        return 1;
    Arventa program;
    TerminationWatch watch([&program] { endWithoutSaving(program); });
    program =
        startArventa(QCoreApplication::applicationDirPath(), prompter, database.database, [&watch] { watch.arm(); });
    if (!program.main)
        return program.exitCode;
    return app.exec();
}
