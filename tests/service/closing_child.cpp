// A year closing in a process of its own that is killed (SIGKILL: nothing
// flushed, nothing cleaned up) when the run reaches the step it is given,
// as a power cut or a killed program would leave it. A step the run never
// reaches lets it end; what it shows the user is printed, one message a line.
//
//   closing_child DATABASE PROGRAM_FOLDER STEP
#include "common/prompter.h"
#include "dm/tdm.h"
#include "service/tfpreklgod.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <csignal>
#include <cstdio>

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
    if (argc != 4) {
        std::fprintf(stderr, "usage: closing_child DATABASE PROGRAM_FOLDER STEP\n");
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const int killAt = std::atoi(argv[3]);
    QDir::setCurrent(QFileInfo(database).absolutePath());
    TDM dm(database);
    PrintingPrompter prompter;
    TFPreklgod screen(dm, prompter, QString::fromLocal8Bit(argv[2]), [killAt](int step) {
        if (step == killAt) {
            std::fflush(stdout);
            std::raise(SIGKILL);
        }
    });
    screen.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    return 0;
}
