// The folder and file work the service screens share.
#include "service/archive_files.h"
#include "service/service_test.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using namespace servicetest;

TEST(ArchiveFilesTest, ADatabaseCopyIsCheckedAndABadOneLeavesNothing)
{
    testsupport::TestDatabase db;
    seedYear(db.path(), 2009, QStringLiteral("Иван Петров"));
    QTemporaryDir target;
    const QString copy = QDir(target.path()).filePath(QStringLiteral("ARVENTA.FDB"));

    ASSERT_TRUE(writeFile(copy, "an older file of the same name"));
    EXPECT_EQ(service::copyDatabase(db.path(), copy), std::nullopt);  // replaced
    EXPECT_EQ(QFileInfo(copy).size(), QFileInfo(db.path()).size());
    EXPECT_EQ(testsupport::countRows(copy, QStringLiteral("HORA where IME = 'Иван Петров'")), 1);

    // Not a database: copied, refused by the engine, and removed again.
    const QString junk = QDir(target.path()).filePath(QStringLiteral("JUNK.FDB"));
    ASSERT_TRUE(writeFile(junk, QByteArray(8192, 'x')));
    const QString junkCopy = QDir(target.path()).filePath(QStringLiteral("sub/JUNK.FDB"));
    ASSERT_TRUE(service::makeFolder(QFileInfo(junkCopy).path()));
    EXPECT_TRUE(service::copyDatabase(junk, junkCopy).has_value());
    EXPECT_FALSE(QFileInfo::exists(junkCopy));

    EXPECT_EQ(service::copyDatabase(QDir(target.path()).filePath(QStringLiteral("NONE.FDB")), copy),
              QStringLiteral("Файлът „%1“ не е намерен!")
                  .arg(QDir::toNativeSeparators(QDir(target.path()).filePath(QStringLiteral("NONE.FDB")))));
    EXPECT_TRUE(
        service::copyDatabase(db.path(), QDir(target.path()).filePath(QStringLiteral("no/folder/A.FDB"))).has_value());
}

TEST(ArchiveFilesTest, LayoutsPresentAreCopiedAndFoldersComeAndGo)
{
    QTemporaryDir work;
    const QString from = QDir(work.path()).filePath(QStringLiteral("data"));
    const QString to = QDir(work.path()).filePath(QStringLiteral("deep/2009_2010"));
    ASSERT_TRUE(service::makeFolder(from));
    ASSERT_TRUE(service::makeFolder(to));  // with its missing parent
    EXPECT_TRUE(service::makeFolder(to));  // already there
    ASSERT_TRUE(writeFile(QDir(from).filePath(QStringLiteral("SprZR.rav")), "new"));
    ASSERT_TRUE(writeFile(QDir(from).filePath(QStringLiteral("Razpiska.rav")), "r"));
    ASSERT_TRUE(writeFile(QDir(from).filePath(QStringLiteral("notes.txt")), "n"));
    ASSERT_TRUE(writeFile(QDir(to).filePath(QStringLiteral("SprZR.rav")), "old"));

    EXPECT_TRUE(service::copyLayouts(from, to).isEmpty());
    QStringList there = QDir(to).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(there, (QStringList{QStringLiteral("Razpiska.rav"), QStringLiteral("SprZR.rav")}));
    QFile replaced(QDir(to).filePath(QStringLiteral("SprZR.rav")));
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    EXPECT_EQ(replaced.readAll(), "new");
    EXPECT_EQ(service::layoutFiles().size(), 17);

    EXPECT_TRUE(service::removeFolder(QDir(work.path()).filePath(QStringLiteral("deep"))));
    EXPECT_FALSE(QFileInfo::exists(to));
    EXPECT_FALSE(service::removeFolder(to));  // nothing there to remove
}

}  // namespace
