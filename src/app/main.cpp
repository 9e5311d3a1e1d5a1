// The program: starts in the process's current folder, where ARVENTA.FDB is.
#include "app/startup.h"
#include "common/prompter.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtPrompter prompter;
    Arventa program = startArventa(QCoreApplication::applicationDirPath(), prompter);
    if (!program.main)
        return 0;
    return app.exec();
}
