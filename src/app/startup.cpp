#include "app/startup.h"

#include "common/prompter.h"
#include "fb/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

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

void endWithoutSaving(Arventa& program)
{
    if (program.dm) {
        // The module's areas, found through their cursors: every area has at least one.
        std::vector<dataset::TransactionArea*> areas;
        std::vector<dataset::Dataset*> cursors = program.dm->tableCursors();
        cursors.push_back(&program.dm->QueryRD);
        cursors.push_back(&program.dm->QueryRP);
        for (dataset::Dataset* c : cursors)
            if (std::find(areas.begin(), areas.end(), &c->area()) == areas.end())
                areas.push_back(&c->area());
        for (dataset::TransactionArea* area : areas) {
            if (!area->isActive())
                continue;
            try {
                area->rollback();
            } catch (const fb::Error&) {
                // The attachment is broken then; nothing of it can be committed either.
            }
        }
    }
    QCoreApplication::exit(0);
}

namespace {

int signalPipe[2] = {-1, -1};
struct sigaction formerTerm, formerInt;

extern "C" void onTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

sigset_t terminationSignals()
{
    sigset_t termination;
    sigemptyset(&termination);
    sigaddset(&termination, SIGTERM);
    sigaddset(&termination, SIGINT);
    return termination;
}

}  // namespace

void holdTerminationSignals()
{
    const sigset_t termination = terminationSignals();
    ::pthread_sigmask(SIG_BLOCK, &termination, nullptr);
}

TerminationWatch::TerminationWatch(std::function<void()> onSignal) : onSignal_(std::move(onSignal))
{
    if (signalPipe[0] >= 0)
        throw std::logic_error("one TerminationWatch at a time");
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot make the signal pipe");
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        onSignal_();
    });
}

void TerminationWatch::arm()
{
    if (armed_)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &formerTerm);
    ::sigaction(SIGINT, &action, &formerInt);
    armed_ = true;
    const sigset_t termination = terminationSignals();
    ::pthread_sigmask(SIG_UNBLOCK, &termination, nullptr);
}

TerminationWatch::~TerminationWatch()
{
    if (armed_) {
        ::sigaction(SIGTERM, &formerTerm, nullptr);
        ::sigaction(SIGINT, &formerInt, nullptr);
    }
    notifier_.reset();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}
