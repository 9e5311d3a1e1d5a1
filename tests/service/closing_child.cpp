// A year closing in a process of its own that is killed (SIGKILL: nothing
// flushed, nothing cleaned up) when the run reaches the step it is given,
// as a power cut or a killed program would leave it; with a delay, that long
// after the step while the run goes on (step -1: the copies begin; -2: the
// click that starts the run). A step the run never reaches lets it end; what it shows the user
// is printed, one message a line, and the time each step was reached (ms
// since the start) goes to standard error.
//
//   closing_child DATABASE PROGRAM_FOLDER STEP [DELAY_MS]
#include "common/prompter.h"
#include "dm/tdm.h"
#include "service/tfpreklgod.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <QElapsedTimer>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

// Tells every message on standard output; there is no question in the run.
class PrintingPrompter : public Prompter {
public:
    void message(const QString& text) override { std::printf("%s\n", text.toUtf8().constData()); }
    bool confirm(const QString&, Default) override { return true; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: closing_child DATABASE PROGRAM_FOLDER STEP [DELAY_MS]\n");
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const int killAt = std::atoi(argv[3]);
    const int delay = argc == 5 ? std::atoi(argv[4]) : -1;
    QElapsedTimer clock;  // from the click
    // The kill comes from another thread while the run goes on, as from outside.
    const auto killLater = [delay] {
        std::thread([delay] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            std::fflush(stdout);
            std::raise(SIGKILL);
        }).detach();
    };

    QDir::setCurrent(QFileInfo(database).absolutePath());
    TDM dm(database);
    PrintingPrompter prompter;
    TFPreklgod screen(dm, prompter, QString::fromLocal8Bit(argv[2]), [&](int step) {
        std::fprintf(stderr, "step %d: %lld ms\n", step, static_cast<long long>(clock.elapsed()));
        if (step != killAt)
            return;
        if (delay >= 0) {
            killLater();
            return;
        }
        std::fflush(stdout);
        std::raise(SIGKILL);
    });
    clock.start();
    if (killAt == -2 && delay >= 0)
        killLater();
    screen.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    std::fprintf(stderr, "end: %lld ms\n", static_cast<long long>(clock.elapsed()));
    return 0;
}
