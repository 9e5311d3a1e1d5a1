// A database file the program must not work on is refused before the main
// window, with what failed said in Bulgarian, a non-zero exit code and the
// file left exactly as it was.
#include "app/startup.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "schema/schema.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace {

bool write(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

// Starts the program on the database; the message shown, when it refused.
struct Refused {
    QString message;
    bool stopped = false;
};
Refused startOn(const QString& database)
{
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    Arventa program = startArventa(exeDir.path(), prompter, database);
    EXPECT_EQ(prompter.shown().size(), program.main ? 0 : 1);
    return {prompter.shown().value(0), !program.main && !program.dm && program.exitCode != 0};
}

TEST(StartupDatabase, AFileThatDoesNotOpenIsRefusedUntouched)
{
    testsupport::TestDatabase db;
    QFile real(db.path());
    ASSERT_TRUE(real.open(QIODevice::ReadOnly));
    const QByteArray whole = real.readAll();
    QByteArray noise(256 * 1024, '\0');
    QRandomGenerator gen(7);
    gen.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);

    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("ARVENTA.FDB"));
    const QString opening = QStringLiteral("Базата данни „%1“ не може да бъде отворена.").arg(file);
    for (const auto& [name, content] : std::vector<std::pair<const char*, QByteArray>>{
             {"zero bytes", {}},
             {"random bytes", noise},
             {"the first part of a register", whole.left(whole.size() / 2)}}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(write(file, content));
        const Refused refused = startOn(file);
        EXPECT_TRUE(refused.stopped);
        EXPECT_TRUE(refused.message.startsWith(opening + QStringLiteral("\n"))) << refused.message.toStdString();
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), content);
    }
    QFile::remove(file);
    const Refused missing = startOn(file);
    EXPECT_TRUE(missing.stopped);
    EXPECT_TRUE(missing.message.startsWith(opening)) << missing.message.toStdString();
    EXPECT_FALSE(QFile::exists(file));

    // A server that is not there (nothing listens on port 1).
    const Refused server = startOn(QStringLiteral("127.0.0.1/1:arventa"));
    EXPECT_TRUE(server.stopped);
    EXPECT_TRUE(
        server.message.startsWith(QStringLiteral("Базата данни „127.0.0.1/1:arventa“ не може да бъде отворена.\n")))
        << server.message.toStdString();
}

TEST(StartupDatabase, AnotherProgramsDatabaseIsRefusedAndNeverChanged)
{
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("ARVENTA.FDB"));
    {
        fb::Connection c;
        c.create(file, fb::CreateOptions{.forcedWrites = false});
        fb::Transaction tr(c);
        c.executeImmediate(tr, QStringLiteral("create table INVOICES (ID integer)"));
        tr.commit();
    }
    const Refused refused = startOn(file);
    EXPECT_TRUE(refused.stopped);
    EXPECT_EQ(refused.message, QStringLiteral("Базата данни „%1“ не е регистър на тази програма; програмата няма да я "
                                              "променя.\n\nВ базата липсват таблиците FIRMA, HORA, ZEMQ, DOG DANNI.")
                                   .arg(file));
    EXPECT_EQ(testsupport::countRows(file, QStringLiteral("rdb$relations where coalesce(rdb$system_flag, 0) = 0")), 1);
}

TEST(StartupDatabase, ARegisterOfANewerProgramIsRefusedAndAnOlderOneUpgraded)
{
    testsupport::TestDatabase db;
    for (const int newer : {schema::kVersion + 1, 99}) {
        testsupport::runSql(db.path(), {QStringLiteral("update ARVENTA_SCHEMA set VERSION = %1").arg(newer)});
        const Refused refused = startOn(db.path());
        EXPECT_TRUE(refused.stopped);
        EXPECT_EQ(refused.message,
                  QStringLiteral("Регистърът „%1“ е от по-нова версия на програмата (версия на данните %2, а тази "
                                 "програма познава до версия %3).\nОтворете го с по-новата програма.")
                      .arg(db.path())
                      .arg(newer)
                      .arg(schema::kVersion));
        EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("ARVENTA_SCHEMA where VERSION = %1").arg(newer)), 1);
    }
    testsupport::runSql(db.path(),
                        {QStringLiteral("update ARVENTA_SCHEMA set VERSION = %1").arg(schema::kVersion - 1)});
    const Refused older = startOn(db.path());
    EXPECT_FALSE(older.stopped);
    EXPECT_TRUE(older.message.isEmpty());
    EXPECT_EQ(testsupport::selectedText(db.path(), QStringLiteral("select max(VERSION) from ARVENTA_SCHEMA")),
              QString::number(schema::kVersion));
}

}  // namespace
