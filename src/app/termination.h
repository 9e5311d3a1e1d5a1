#pragma once

#include <functional>
#include <memory>

struct Arventa;
class QSocketNotifier;

// What SIGTERM and SIGINT do: no questions, every running transaction area of
// the connection, the data module's and the screens' own, is rolled back
// (rows not saved are dropped), and the event loop ends with 0; the module
// then detaches with nothing left to commit.
void endWithoutSaving(Arventa& program);

// Keeps SIGTERM and SIGINT waiting until a TerminationWatch is armed. Called
// first thing in main(), before any thread exists, so that every thread the
// toolkit and the database client make inherits it and only the main thread
// ever takes the signals.
void holdTerminationSignals();

// Turns SIGTERM and SIGINT into a call on the GUI thread: the handler only
// writes a byte to a pipe, whose notifier makes the call from the event loop.
// One at a time; the signals get their former handlers back with the object.
class TerminationWatch {
public:
    explicit TerminationWatch(std::function<void()> onSignal);
    ~TerminationWatch();
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

    // Installs the handler and lets the held signals through on this thread.
    // The database client puts handlers of its own in on its first attach;
    // they still call the one before them, but also start shutting the engine
    // down on a thread of theirs, under whatever the program is doing. So
    // this is called once the data module has tried to connect, and replaces
    // them.
    void arm();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onSignal_;
    bool armed_ = false;
};
