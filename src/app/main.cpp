// The program: starts in the process's current folder, where ARVENTA.FDB is.
#include "app/startup.h"
#include "app/termination.h"
#include "common/prompter.h"

#include <QApplication>
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
    QApplication app(argc, argv);
    const std::unique_ptr<QTranslator> qtBulgarian = installQtBulgarian();
    QtPrompter prompter;
    Arventa program;
    TerminationWatch watch([&program] { endWithoutSaving(program); });
    program = startArventa(QCoreApplication::applicationDirPath(), prompter, QStringLiteral("ARVENTA.FDB"),
                           [&watch] { watch.arm(); });
    if (!program.main)
        return program.exitCode;
    return app.exec();
}
