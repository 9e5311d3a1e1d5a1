#include "app/startup.h"

#include "common/prompter.h"

#include <QDir>
#include <QFileInfo>

Arventa startArventa(const QString& executableFolder, Prompter& prompter, const QString& databaseFile)
{
    Arventa program;
    program.dm = std::make_unique<TDM>(databaseFile);
    if (QFileInfo(QDir(executableFolder).filePath(QStringLiteral("TEMP"))).isDir()) {
        prompter.message(
            QStringLiteral("Извършено е неуспешно приключване на период!\n"
                           "Моля, свържете се с Стелмар ЕООД!"));
        return program;
    }
    program.registry = std::make_unique<ScreenRegistry>();
    registerScreens(*program.registry);
    program.main = std::make_unique<TFMain>(*program.dm, prompter, *program.registry);
    program.main->showMaximized();
    return program;
}
