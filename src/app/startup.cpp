#include "app/startup.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "service/archive_files.h"
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

// The database as the user knows it: a file by its full path, a server's by its name.
QString shownName(const QString& database)
{
    return QDir::toNativeSeparators(fb::Connection::resolve(database));
}

QString notOpened(const QString& database)
{
    return QStringLiteral("Базата данни „%1“ не може да бъде отворена.").arg(shownName(database));
}

// What the user is told when the database must not be opened; empty when it may.
std::optional<QString> refusal(fb::Connection& probe, const QString& database)
{
    using Kind = service::RegisterFault::Kind;
    const std::optional<service::RegisterFault> fault = service::registerFault(probe, database);
    if (!fault)
        return std::nullopt;
    switch (fault->kind) {
        case Kind::DoesNotOpen:
            if (heldByAnotherCopy(*fault->error))
                return kAlreadyOpen;
            return failure::text(notOpened(database), *fault->error);
        case Kind::Foreign:
            return failure::text(QStringLiteral("Базата данни „%1“ не е регистър на тази програма; "
                                                "програмата няма да я променя.")
                                     .arg(shownName(database)),
                                 fault->detail);
        case Kind::Newer:
            return QStringLiteral(
                       "Регистърът „%1“ е от по-нова версия на програмата %2.\n"
                       "Отворете го с по-новата програма.")
                .arg(shownName(database), service::newerVersions(fault->detail));
    }
    return std::nullopt;
}

}  // namespace

bool heldByAnotherCopy(const fb::Error& error)
{
    return error.has(kAlreadyOpened);
}

Arventa startArventa(const QString& executableFolder, Prompter& prompter, const QString& databaseFile,
                     const std::function<void()>& connected)
{
    Arventa program;
    // Asked before the data module connects, since connecting upgrades an
    // older register: a file that is not one must never be written to.
    // A window whose every screen fails helps nobody; the program ends.
    // The check's attachment is held until the data module's is made: the
    // engine then opens the file once.
    fb::Connection probe;
    if (const auto why = refusal(probe, databaseFile)) {
        prompter.message(*why);
        program.exitCode = 1;
        return program;
    }
    program.dm = std::make_unique<TDM>(databaseFile);
    try {
        probe.detach();
    } catch (const fb::Error&) {
        // Only the check's attachment: the data module has its own.
    }
    if (connected)
        connected();
    if (const auto& error = program.dm->connectError()) {
        // Another copy took the file in between, or the upgrade failed.
        prompter.message(heldByAnotherCopy(*error) ? kAlreadyOpen : failure::text(notOpened(databaseFile), *error));
        program.exitCode = 1;
        return program;
    }
    if (!service::recoverBrokenClosing(executableFolder, *program.dm, prompter)) {
        program.exitCode = 1;
        return program;
    }
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
