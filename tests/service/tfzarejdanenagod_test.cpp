// Loading an archived period from the main window's service menu: the
// connection, the current folder, the year label, the reports.
#include "service/tfzarejdanenagod.h"

#include "app/screen_registry.h"
#include "app/tfmain.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "report_engine/report_project.h"
#include "schema/schema.h"
#include "service/service_test.h"
#include "service/tfbackup.h"
#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

using namespace servicetest;

const QString kDone = QStringLiteral("Зареждане на стар период - приключено!");
const QString kCaption = QStringLiteral("Зареждане на стар период");

// A one-line layout that tells which folder it was printed from.
QByteArray layoutSaying(const QString& text)
{
    return QStringLiteral(
               R"(<report version="1"><title height="10"><text width="150" height="8">%1</text></title></report>)")
        .arg(text)
        .toUtf8();
}

class LoadingTest : public ::testing::Test {
protected:
    LoadingTest()
    {
        seedYear(current.path(), 2015, QStringLiteral("Текущ собственик"));
        QDir::setCurrent(current.folder());
        dm = std::make_unique<TDM>(current.path());
        registerScreens(registry);
        main = std::make_unique<TFMain>(*dm, prompter, registry);
        main->show();
    }
    ~LoadingTest() override
    {
        main.reset();
        dm.reset();
    }

    // An archive folder `name` holding a database of the farming year that
    // starts in `from`, and a layout SprZR.rav naming the folder.
    QString makeArchive(const QString& name, int from)
    {
        testsupport::TestDatabase source;
        seedYear(source.path(), from, QStringLiteral("Собственик %1").arg(from));
        const QString folder = QDir(archives.path()).filePath(name);
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString file = QDir(folder).filePath(QStringLiteral("ARVENTA.FDB"));
        EXPECT_TRUE(QFile::copy(source.path(), file));
        EXPECT_TRUE(writeFile(QDir(folder).filePath(QStringLiteral("SprZR.rav")), layoutSaying(name)));
        return file;
    }
    // Opens the loading screen from the menu and loads `file` (empty: the dialog is cancelled).
    void load(const QString& file)
    {
        main->runCommand(QStringLiteral("mZarejdaneGod"));
        auto* screen = main->mdiArea()->findChild<TFZarejdanenagod*>();
        ASSERT_TRUE(screen);
        prompter.answerPath(QDir::toNativeSeparators(file));
        QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("BitBtn2")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool screenOpen() const { return registry.instance(QStringLiteral("TFZarejdanenagod")) != nullptr; }
    QLabel* label() const { return main->findChild<QLabel*>(QStringLiteral("labStopGod")); }
    bool labelShown() const
    {
        auto* toolBar = main->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
        return toolBar->actions().last()->isVisible();
    }
    int firmYear() const { return dm->TFirma.field("TOYEAR").asDate().year(); }
    void allCursorsOpen() const
    {
        for (dataset::Dataset* c : dm->tableCursors())
            EXPECT_TRUE(c->isOpen()) << c->name().toStdString();
    }
    // What SprZR.rav of the current folder prints.
    QString printed()
    {
        testsupport::ScriptedOutputChooser chooser;
        reports::ReportProject project(QStringLiteral("SprZR.rav"), prompter, nullptr);
        project.setOutputChooser(chooser);
        const QString pdf = QDir(archives.path()).filePath(QStringLiteral("out.pdf"));
        chooser.answerPdf(pdf);
        if (!project.execute())
            return {};
        return testsupport::pdfLines(pdf).value(0);
    }

    CurrentFolderGuard folderGuard;
    testsupport::TestDatabase current;
    QTemporaryDir archives;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
    ScreenRegistry registry;
    std::unique_ptr<TFMain> main;
};

TEST_F(LoadingTest, AnArchiveReplacesTheConnectionTheFolderAndTheLabelAndASecondOneReplacesThat)
{
    const QString first = makeArchive(QStringLiteral("2009_2010"), 2009);
    const QString second = makeArchive(QStringLiteral("2012_2013"), 2012);
    ASSERT_EQ(firmYear(), 2016);
    EXPECT_FALSE(labelShown());

    load(QString());  // the dialog cancelled: nothing changes
    EXPECT_EQ(prompter.shown(), (QStringList{kCaption, QStringLiteral("Зареждане на стар период - прекратено!")}));
    EXPECT_FALSE(screenOpen());
    EXPECT_EQ(firmYear(), 2016);
    EXPECT_FALSE(labelShown());

    prompter.clearShown();
    load(first);
    EXPECT_EQ(prompter.shown(), (QStringList{kCaption, kDone}));
    EXPECT_FALSE(screenOpen());
    EXPECT_EQ(dm->IBDatabase1.fileName(), QDir::toNativeSeparators(first));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(first).absolutePath());
    allCursorsOpen();
    EXPECT_EQ(firmYear(), 2010);
    dm->THora.first();
    EXPECT_EQ(dm->THora.field("IME").asString(), QStringLiteral("Собственик 2009"));
    EXPECT_TRUE(labelShown());
    EXPECT_EQ(label()->text(), QStringLiteral("          Стопанска година: 2009/2010"));
    EXPECT_EQ(printed(), QStringLiteral("2009_2010"));
    main->resize(1280, 300);  // room for the label beside the buttons
    testsupport::keepScreenshot(main->grab().toImage(), QStringLiteral("TFMain-labStopGod"));

    prompter.clearShown();
    load(second);
    EXPECT_EQ(prompter.shown(), (QStringList{kCaption, kDone}));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(second).absolutePath());
    allCursorsOpen();
    EXPECT_EQ(firmYear(), 2013);
    EXPECT_EQ(label()->text(), QStringLiteral("          Стопанска година: 2012/2013"));
    EXPECT_EQ(printed(), QStringLiteral("2012_2013"));
}

// Neither a file that is not a Firebird database nor another program's
// database is taken for an archive: the program stays on its database, and
// the other database is not upgraded into a register.
TEST_F(LoadingTest, AFileThatDoesNotOpenLeavesTheProgramOnItsDatabase)
{
    const QString folder = QDir(archives.path()).filePath(QStringLiteral("2011_2012"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString broken = QDir(folder).filePath(QStringLiteral("ARVENTA.FDB"));
    ASSERT_TRUE(writeFile(broken, QByteArray(16384, '\x5a')));
    QString clientText;
    try {
        fb::Connection probe;
        probe.attach(broken);
    } catch (const fb::Error& e) {
        clientText = e.message();
    }
    ASSERT_FALSE(clientText.isEmpty());
    const QString other = QDir(archives.path()).filePath(QStringLiteral("OTHER.FDB"));
    {
        fb::Connection created;
        created.create(other);
        created.detach();
    }
    const QString before = QDir::currentPath();
    const QString notArchive =
        QStringLiteral("Старият период не е зареден.\nИзбраният файл не е архив на регистъра.\n\n");

    load(broken);
    EXPECT_EQ(prompter.shown(), (QStringList{kCaption, notArchive + clientText}));
    EXPECT_TRUE(screenOpen());  // the user may choose another file
    prompter.clearShown();
    auto* screen = main->mdiArea()->findChild<TFZarejdanenagod*>();
    prompter.answerPath(QDir::toNativeSeparators(other));
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("BitBtn2")), Qt::LeftButton);
    EXPECT_EQ(prompter.shown(),
              (QStringList{kCaption,
                           notArchive + QStringLiteral("В базата липсват таблиците FIRMA, HORA, ZEMQ, DOG DANNI.")}));
    EXPECT_TRUE(screenOpen());
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(dm->IBDatabase1.fileName(), current.path());
    EXPECT_TRUE(dm->IBDatabase1.isConnected());
    allCursorsOpen();
    EXPECT_EQ(firmYear(), 2016);
    EXPECT_FALSE(labelShown());
    EXPECT_EQ(testsupport::countRows(other, QStringLiteral("rdb$relations where coalesce(rdb$system_flag, 0) = 0")), 0);

    // An archive a newer program made is not loaded either.
    const QString newer = makeArchive(QStringLiteral("2013_2014"), 2013);
    testsupport::runSql(newer, {QStringLiteral("insert into arventa_schema (version) values (99)")});
    prompter.clearShown();
    prompter.answerPath(QDir::toNativeSeparators(newer));
    QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("BitBtn2")), Qt::LeftButton);
    EXPECT_EQ(prompter.shown(),
              (QStringList{kCaption, QStringLiteral("Старият период не е зареден.\nАрхивът е от по-нова версия на "
                                                    "програмата (версия на данните 99, а тази програма познава до "
                                                    "версия %1).")
                                         .arg(schema::kVersion)}));
    EXPECT_EQ(dm->IBDatabase1.fileName(), current.path());
    EXPECT_EQ(firmYear(), 2016);
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFZarejdanenagod"));
}

// Once an archived period is loaded the caption names it as the label does;
// the backup names the archive's database as the period's, and a list
// printed from a screen names the archive's firm and farming year.
TEST_F(LoadingTest, TheLoadedPeriodIsNamedInTheCaptionTheBackupAndThePrintouts)
{
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Арвента - Агро ООД"));
    main->runCommand(QStringLiteral("mArchive"));
    auto* backup = main->mdiArea()->findChild<TFBackup*>();
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->findChild<QLabel*>(QStringLiteral("labBaza"))->text(),
              QStringLiteral("Ще бъде копирана базата „%1“ за стопанска 2015/2016 година.")
                  .arg(QDir::toNativeSeparators(current.path())));
    backup->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QString file = makeArchive(QStringLiteral("2009_2010"), 2009);
    ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/SprImotiZemlishta.rav"),
                            QDir(QFileInfo(file).absolutePath()).filePath(QStringLiteral("SprImotiZemlishta.rav"))));
    load(file);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Арвента - Агро ООД - Стар период - Стопанска година: 2009/2010"));
    main->runCommand(QStringLiteral("mArchive"));
    backup = main->mdiArea()->findChild<TFBackup*>();
    ASSERT_TRUE(backup);
    EXPECT_EQ(backup->findChild<QLabel*>(QStringLiteral("labBaza"))->text(),
              QStringLiteral("Ще бъде копирана базата „%1“ на заредения стар период за стопанска 2009/2010 година.")
                  .arg(QDir::toNativeSeparators(file)));
    backup->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    testsupport::ScriptedOutputChooser chooser;
    registry.setOutputChooser(chooser);
    const QString pdf = QDir(archives.path()).filePath(QStringLiteral("plots.pdf"));
    chooser.answerPdf(pdf);
    main->runCommand(QStringLiteral("mSprImotiSobstv"));
    Screen* plots = registry.instance(QStringLiteral("TFSprbezhora"));
    ASSERT_TRUE(plots);
    QTest::mouseClick(plots->findChild<QPushButton*>(QStringLiteral("bitPrint")), Qt::LeftButton);
    EXPECT_EQ(testsupport::pdfLines(pdf).last(),
              QStringLiteral("Агро ООД – Стопанска година 2009/2010 – Отпечатано на %1 стр. 1 от 1")
                  .arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))));
    plots->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A second loading replaces the period in the caption.
    load(makeArchive(QStringLiteral("2012_2013"), 2012));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Арвента - Агро ООД - Стар период - Стопанска година: 2012/2013"));
}

TEST(ArchiveYear, ComesFromTheFolderNameOrNotAtAll)
{
    EXPECT_EQ(archiveYearOfFolder(QStringLiteral("2009_2010")), 2010);
    EXPECT_EQ(archiveYearOfFolder(QStringLiteral("old 2015")), 2015);
    EXPECT_EQ(archiveYearOfFolder(QStringLiteral("2009_2010a")), std::nullopt);
    EXPECT_EQ(archiveYearOfFolder(QStringLiteral("010")), std::nullopt);
}

TEST_F(LoadingTest, ADatabaseOutsideAnArchiveFolderIsLabelledWithItsOwnFarmingYear)
{
    const QString file = makeArchive(QStringLiteral("copy of last year"), 2014);
    load(file);
    EXPECT_EQ(firmYear(), 2015);
    EXPECT_EQ(label()->text(), QStringLiteral("          Стопанска година: 2014/2015"));
}

}  // namespace
