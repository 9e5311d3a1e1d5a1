// Start-up and ending as the operating system sees them: the program as a
// process of its own next to another one on the same folder, its signals, its
// locale and a machine without a display.
#include "app/startup.h"
#include "app/termination.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <csignal>
#include <filesystem>

namespace {

const QString kAlreadyOpen = QStringLiteral("Регистърът вече е отворен в друго копие на програмата!");

// Whether the process has the file open: the embedded engine keeps the
// database file open for as long as it is attached.
bool holdsFile(qint64 pid, const QString& file)
{
    namespace fs = std::filesystem;
    const fs::path target = fs::canonical(file.toStdString());
    std::error_code ec;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
        if (fs::read_symlink(fd.path(), ec) == target)
            return true;
    return false;
}

// The built program, offscreen, in the database's folder (it opens
// ARVENTA.FDB by bare name), once it has attached the database. A signal
// sent from then on may reach it before its event loop runs: it is held
// until the program is ready for it.
class RunningProgram {
public:
    explicit RunningProgram(const testsupport::TestDatabase& db)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(db.folder());
        process.start(QStringLiteral(ARVENTA_PROGRAM), QStringList());
        if (!process.waitForStarted(10000))
            return;
        for (int i = 0; i < 600 && process.state() == QProcess::Running; ++i) {
            if (holdsFile(process.processId(), db.path())) {
                attached = true;
                return;
            }
            QThread::msleep(50);
        }
    }
    ~RunningProgram()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
    // Sends the signal and waits for the end; false when it did not end.
    bool signalAndWait(int signal)
    {
        ::kill(pid_t(process.processId()), signal);
        return process.waitForFinished(30000);
    }
    QString errors() { return QString::fromUtf8(process.readAllStandardError()); }

    QProcess process;
    bool attached = false;
};

bool opensFreely(const QString& database)
{
    try {
        fb::Connection c;
        c.attach(database);
        c.detach();
        return true;
    } catch (const fb::Error& e) {
        ADD_FAILURE() << e.what();
        return false;
    }
}

TEST(TwoCopies, TheSecondCopyOnAHeldRegisterSaysSoAndStopsWithoutAWindow)
{
    testsupport::TestDatabase db;
    RunningProgram first(db);
    ASSERT_TRUE(first.attached) << first.errors().toStdString();

    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    {
        Arventa second = startArventa(exeDir.path(), prompter, db.path());
        EXPECT_EQ(prompter.shown(), QStringList{kAlreadyOpen});
        EXPECT_FALSE(second.main);
        EXPECT_NE(second.exitCode, 0);
        EXPECT_FALSE(second.dm);  // refused before the data module was made
        try {
            fb::Connection c;
            c.attach(db.path());
            ADD_FAILURE() << "the file is held";
        } catch (const fb::Error& e) {
            EXPECT_TRUE(heldByAnotherCopy(e)) << e.what();
        }
    }
    EXPECT_EQ(first.process.state(), QProcess::Running);  // the first copy goes on undisturbed

    ASSERT_TRUE(first.signalAndWait(SIGTERM));
    EXPECT_EQ(first.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.process.exitCode(), 0) << first.errors().toStdString();
    EXPECT_TRUE(opensFreely(db.path()));
}

TEST(Signals, TermAndInterruptEndTheProgramWithZeroAndFreeTheRegister)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        testsupport::TestDatabase db;
        RunningProgram program(db);
        ASSERT_TRUE(program.attached) << program.errors().toStdString();
        ASSERT_TRUE(program.signalAndWait(signal));
        EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.process.exitCode(), 0) << program.errors().toStdString();
        EXPECT_TRUE(opensFreely(db.path()));
    }
}

TEST(Signals, EndingWithoutSavingDropsRowsNotYetCommittedAndAsksNothing)
{
    testsupport::TestDatabase db;
    testsupport::runSql(db.path(),
                        {QStringLiteral("insert into HORA (EGN, IME) values ('7001010011', 'Петър Иванов')")});
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    {
        Arventa program = startArventa(exeDir.path(), prompter, db.path());
        ASSERT_TRUE(program.main);
        TDM& dm = *program.dm;
        dm.THora.first();
        dm.THora.edit();
        dm.THora.field(QStringLiteral("IME")).setValue(QStringLiteral("Петър Иванов Петров"));
        dm.THora.post();
        dm.THora.append();
        dm.THora.field(QStringLiteral("EGN")).setValue(QStringLiteral("7102020023"));
        dm.THora.field(QStringLiteral("IME")).setValue(QStringLiteral("Анна Петрова"));
        dm.THora.post();
        ASSERT_TRUE(dm.IBTHora.isActive());

        QTimer::singleShot(0, [&] { endWithoutSaving(program); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_FALSE(dm.IBTHora.isActive());
    }  // the module detaches as the program object goes, as at the end of main()
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("HORA")), 1);
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("HORA where IME = 'Петър Иванов'")), 1);
}

TEST(Locale, StartUpSpeaksBulgarianWhateverTheEnvironmentSays)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // as LANG=en_US.UTF-8 would
    useBulgarianLocale();
    const QLocale locale;
    EXPECT_EQ(locale.toString(12345.5, 'f', 2).toStdString(), QStringLiteral("12\u00A0345,50").toStdString());
    EXPECT_EQ(locale.toDouble(QStringLiteral("12,5")), 12.5);
    EXPECT_EQ(locale.toString(QDate(2025, 3, 7), QLocale::ShortFormat).toStdString(), "7.03.25 г.");
    EXPECT_EQ(locale.monthName(3), QStringLiteral("март"));
    EXPECT_EQ(locale.firstDayOfWeek(), Qt::Monday);

    const QString qm =
        QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath)).filePath(QStringLiteral("qtbase_bg.qm"));
    const std::unique_ptr<QTranslator> translator = installQtBulgarian();
    if (!QFile::exists(qm)) {
        EXPECT_FALSE(translator);  // then Qt's own English texts stay, and nothing breaks
        return;
    }
    ASSERT_TRUE(translator);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отказ"));
}

TEST(NoDisplay, TheProgramAndRunScriptSayADisplayIsNeededAndTouchNothing)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));

    QTemporaryDir folder;
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder.path());
    program.start(QStringLiteral(ARVENTA_PROGRAM), QStringList());
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);  // not Qt's abort
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_TRUE(program.readAllStandardError().contains("xvfb-run")) << "a way to get a display is named";
    EXPECT_TRUE(QDir(folder.path()).isEmpty());

    // run.sh in a copy of the source tree whose setup step only leaves a mark:
    // the check must come before setup, build and the working folder.
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("scripts")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_SOURCE_DIR "/scripts/run.sh"), root.filePath("scripts/run.sh")));
    QFile setup(root.filePath("scripts/setup.sh"));
    ASSERT_TRUE(setup.open(QIODevice::WriteOnly));
    setup.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/../setup-ran\"\nexit 3\n");
    setup.close();
    setup.setPermissions(setup.permissions() | QFile::ExeOwner);
    const auto runScript = [&](const QProcessEnvironment& e) {
        QProcess run;
        run.setProcessEnvironment(e);
        run.start(QStringLiteral("bash"), {root.filePath("scripts/run.sh")});
        EXPECT_TRUE(run.waitForFinished(30000));
        return std::make_pair(run.exitCode(), QString::fromUtf8(run.readAllStandardError()));
    };
    const auto [code, errors] = runScript(env);
    EXPECT_NE(code, 0);
    EXPECT_TRUE(errors.contains(QStringLiteral("xvfb-run -a scripts/run.sh"))) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(root.filePath("setup-ran")));
    EXPECT_FALSE(QFile::exists(root.filePath("dist")));

    // With a platform named, the script goes on to its setup step.
    QProcessEnvironment offscreen = env;
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    EXPECT_EQ(runScript(offscreen).first, 3);
    EXPECT_TRUE(QFile::exists(root.filePath("setup-ran")));
}

}  // namespace
