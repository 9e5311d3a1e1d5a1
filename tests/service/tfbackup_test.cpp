// The backup screen as its user meets it: the folder, the refusals, the copy.
#include "service/tfbackup.h"

#include "service/service_test.h"
#include "support/screen_test.h"
#include "transfers/unwritable.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>

namespace {

using namespace servicetest;

class TFBackupTest : public testsupport::ScreenTest<TFBackup> {
protected:
    TFBackup& open()
    {
        QDir::setCurrent(db.folder());  // the program's working folder
        return show(new TFBackup(module(), prompter, [this] { return day; }));
    }
    void allCursorsOpen()
    {
        for (dataset::Dataset* c : dm->tableCursors())
            EXPECT_TRUE(c->isOpen()) << c->name().toStdString();
    }
    QString backupOf(const QDate& d) const { return QDir(target.path()).filePath(backupFolderName(d)); }

    CurrentFolderGuard folderGuard;
    QTemporaryDir target;
    QDate day{2024, 3, 15};
};

TEST(BackupFolderName, IsTheShortDateWithoutPathSeparators)
{
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    const QString name = backupFolderName(QDate(2024, 3, 15));
    EXPECT_TRUE(name.startsWith(QStringLiteral("Archive_")));
    EXPECT_EQ(name.mid(8), QLocale().toString(QDate(2024, 3, 15), QLocale::ShortFormat));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // 3/15/24
    EXPECT_EQ(backupFolderName(QDate(2024, 3, 15)), QStringLiteral("Archive_3.15.24"));
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
}

TEST_F(TFBackupTest, RefusalsLeaveTheConnectionAndTheFoldersAlone)
{
    open();
    // A firm without a farming year: the file alone.
    EXPECT_EQ(control<QLabel>("labBaza")->text(),
              QStringLiteral("Ще бъде копирана базата „%1“.").arg(QDir::toNativeSeparators(db.path())));
    EXPECT_EQ(edit("edFileName")->text(), QString());
    click("BitBtn2");
    edit("edFileName")->setText(QDir::toNativeSeparators(target.path() + QStringLiteral("/missing")));
    click("BitBtn2");
    EXPECT_EQ(prompter.shown(),
              (QStringList{QStringLiteral("Изберете директория!"), QStringLiteral("Невалидна директория!")}));
    EXPECT_FALSE(QFileInfo::exists(target.path() + QStringLiteral("/missing")));  // not made
    EXPECT_EQ(control<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_TRUE(dm->IBDatabase1.isConnected());
    allCursorsOpen();

    // "..." offers the typed folder; a cancelled dialog keeps the text.
    prompter.clearShown();
    prompter.answerPath(QString());
    click("btnOpen");
    prompter.answerPath(target.path());
    click("btnOpen");
    EXPECT_EQ(prompter.shown(),
              (QStringList{QStringLiteral("Изберете директория ..."), QStringLiteral("Изберете директория ...")}));
    EXPECT_EQ(edit("edFileName")->text(), QDir::toNativeSeparators(target.path()));
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFBackup"));
}

TEST_F(TFBackupTest, ACopyOfTheDayHoldsTheSameRowsAndASecondOneIsRefused)
{
    seedYear(db.path(), 2009, QStringLiteral("Иван Петров"));
    open();
    // The screen names what it copies before anything is copied.
    EXPECT_EQ(control<QLabel>("labBaza")->text(),
              QStringLiteral("Ще бъде копирана базата „%1“ за стопанска 2009/2010 година.")
                  .arg(QDir::toNativeSeparators(db.path())));
    // A row saved through the shared cursors is in the copy.
    dm->THora.append();
    dm->THora.field("IME").setValue(QStringLiteral("Мария Колева"));
    dm->THora.post();
    dm->IBTHora.commit();
    dm->THora.open();

    edit("edFileName")->setText(QDir::toNativeSeparators(target.path()));
    click("BitBtn2");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Създадено е архивно копие!")});
    const QString copy = QDir(backupOf(day)).filePath(QStringLiteral("ARVENTA.FDB"));
    ASSERT_TRUE(QFileInfo(copy).isFile());
    EXPECT_EQ(QDir(backupOf(day)).entryList(QDir::Files), QStringList{QStringLiteral("ARVENTA.FDB")});
    EXPECT_EQ(testsupport::countRows(copy, QStringLiteral("HORA")), 2);
    EXPECT_EQ(testsupport::countRows(copy, QStringLiteral("HORA where IME = 'Мария Колева'")), 1);
    EXPECT_EQ(testsupport::countRows(copy, QStringLiteral("FIRMA where extract(year from TOYEAR) = 2010")), 1);
    EXPECT_TRUE(dm->IBDatabase1.isConnected());
    allCursorsOpen();
    EXPECT_EQ(control<QProgressBar>("ProgressBar1")->value(), 0);

    prompter.clearShown();
    click("BitBtn2");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Има създаден архив!")});
    day = day.addDays(1);
    click("BitBtn2");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Създадено е архивно копие!"));
    EXPECT_TRUE(QFileInfo(QDir(backupOf(day)).filePath(QStringLiteral("ARVENTA.FDB"))).isFile());
    EXPECT_TRUE(QFileInfo(copy).isFile());  // the first day's backup is untouched
}

// A folder that takes no new folder: the backup is not made, and why is said below.
TEST_F(TFBackupTest, AFolderThatCannotBeWrittenIsSaidUnderTheRefusal)
{
    open();
    edit("edFileName")->setText(QDir::toNativeSeparators(target.path()));
    {
        Unwritable readOnly(target.path());
        if (!readOnly.works())
            GTEST_SKIP() << "writes cannot be refused here";
        click("BitBtn2");
    }
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Архива не е създаден!\n\n"
                                                           "Папката „%1“ не може да бъде създадена!")
                                                .arg(QDir::toNativeSeparators(backupOf(day)))});
    EXPECT_FALSE(QFileInfo::exists(backupOf(day)));
    EXPECT_EQ(control<QProgressBar>("ProgressBar1")->value(), 0);
    EXPECT_TRUE(dm->IBDatabase1.isConnected());
    allCursorsOpen();
}

TEST_F(TFBackupTest, ClosingPutsTheRememberedFolderBack)
{
    open();
    QDir::setCurrent(target.path());
    click("BitBtn3");
    EXPECT_TRUE(closed());
    EXPECT_EQ(QDir::currentPath(), QDir(db.folder()).canonicalPath());
}

}  // namespace
