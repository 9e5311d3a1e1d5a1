#include "app/termination.h"

#include "app/startup.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

void endWithoutSaving(Arventa& program)
{
    if (program.dm)
        program.dm->IBDatabase1.rollbackAll();
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
