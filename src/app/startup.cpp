#include "app/startup.h"

#include "common/prompter.h"
#include "fb/error.h"
#include "service/closing_recovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// "Database already opened with engine instance, incompatible with current"
// (isc_already_opened): the file is held by another process's engine.
constexpr long kAlreadyOpened = 335545107L;

const QString kAlreadyOpen = QStringLiteral("Регистърът вече е отворен в друго копие на програмата!");

}  // namespace

bool heldByAnotherCopy(const fb::Error& error)
{
    return error.has(kAlreadyOpened);
}

Arventa startArventa(const QString& executableFolder, Prompter& prompter, const QString& databaseFile,
                     const std::function<void()>& connected)
{
    Arventa program;
    program.dm = std::make_unique<TDM>(databaseFile);
    if (connected)
        connected();
    if (program.dm->connectError() && heldByAnotherCopy(*program.dm->connectError())) {
        // Every screen would fail with the engine's English text; a window
        // full of errors helps nobody, and the other copy keeps working.
        prompter.message(kAlreadyOpen);
        program.exitCode = 1;
        return program;
    }
    if (!service::recoverBrokenClosing(executableFolder, *program.dm, prompter))
        return program;
    program.registry = std::make_unique<ScreenRegistry>();
    registerScreens(*program.registry);
    program.main = std::make_unique<TFMain>(*program.dm, prompter, *program.registry);
    program.main->showMaximized();
    return program;
}

void useBulgarianLocale()
{
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
}

std::unique_ptr<QTranslator> installQtBulgarian()
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Bulgarian, QLocale::Bulgaria), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

std::optional<QString> missingDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    return QStringLiteral(
        "arventa: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
        "start it from a desktop session, or under a virtual one: xvfb-run -a ./arventa\n"
        "arventa: няма графичен дисплей; стартирайте програмата в графична среда.");
}
