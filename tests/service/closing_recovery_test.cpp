// Start-up after a year closing was cut off from outside: the database is
// either wholly closed or untouched, and the leftovers go only when the user says so.
#include "service/closing_recovery.h"

#include "dm/tdm.h"
#include "service/service_test.h"
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace {

using namespace servicetest;

const QString kBroken =
    QStringLiteral("Извършено е неуспешно приключване на период!\nМоля, свържете се с Стелмар ЕООД!");

class ClosingRecovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        seedYear(db.path(), 2009, QStringLiteral("Иван Петров"));
        ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("TEMP")));
        ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("2009_2010")));
        ASSERT_TRUE(QFile::copy(db.path(), in(QStringLiteral("TEMP/ARVENTA.FDB"))));
    }
    QString in(const QString& name) const { return QDir(program.path()).filePath(name); }
    bool recover()
    {
        TDM dm(db.path());
        return service::recoverBrokenClosing(program.path(), dm, prompter);
    }

    testsupport::TestDatabase db;
    QTemporaryDir program;
    testsupport::ScriptedPrompter prompter;
};

TEST_F(ClosingRecovery, AYearNotClosedLosesTheRunsFoldersWhenTheUserAgrees)
{
    prompter.answerNo();
    EXPECT_FALSE(recover());
    EXPECT_EQ(prompter.shown().last(), kBroken);
    EXPECT_TRUE(QFileInfo(in(QStringLiteral("TEMP"))).isDir());
    EXPECT_TRUE(QFileInfo(in(QStringLiteral("2009_2010"))).isDir());

    prompter.clearShown();
    prompter.answerYes();
    EXPECT_TRUE(recover());
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral(
                                    "Приключването на период 2009/2010 е било прекъснато преди да промени данните; "
                                    "годината не е приключена.\nВременната папка TEMP и архивът на годината ще "
                                    "бъдат изтрити. Да продължи ли програмата?")});
    EXPECT_FALSE(QFileInfo::exists(in(QStringLiteral("TEMP"))));
    EXPECT_FALSE(QFileInfo::exists(in(QStringLiteral("2009_2010"))));
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("FIRMA where extract(year from TOYEAR) = 2010")), 1);
}

TEST_F(ClosingRecovery, AClosedYearKeepsItsArchiveAndOnlyTempGoes)
{
    testsupport::runSql(db.path(), {QStringLiteral("update FIRMA set FROMYEAR = '2010-10-01', TOYEAR = '2011-09-30'")});
    prompter.answerYes();
    EXPECT_TRUE(recover());
    EXPECT_EQ(prompter.shown(),
              QStringList{QStringLiteral("Приключването на период 2009/2010 е било прекъснато след като годината е "
                                         "приключена.\nОстава да се изтрие временната папка TEMP. Да продължи ли "
                                         "програмата?")});
    EXPECT_FALSE(QFileInfo::exists(in(QStringLiteral("TEMP"))));
    EXPECT_TRUE(QFileInfo(in(QStringLiteral("2009_2010/."))).isDir());
}

// Cut during its first copy the run leaves TEMP empty, or with the copier's
// half-written file, or with a copy that does not open: nothing was changed.
TEST(ClosingRecoveryDuringCopies, ATempWithoutAWholeCopyIsRecognisedAndGoesWhenTheUserAgrees)
{
    const QString question = QStringLiteral(
        "Приключването на период 2009/2010 е било прекъснато при копирането на файловете, преди да промени данните; "
        "годината не е приключена.\nВременната папка TEMP ще бъде изтрита. Да продължи ли програмата?");
    testsupport::TestDatabase db;
    seedYear(db.path(), 2009, QStringLiteral("Иван Петров"));
    QFile source(db.path());
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray head = source.read(65536);
    const std::vector<std::pair<const char*, QByteArray>> leftovers = {
        {nullptr, {}}, {"qt_temp.Xy12Ab", head}, {"ARVENTA.FDB", {}}, {"ARVENTA.FDB", head}};
    for (const auto& [name, content] : leftovers) {
        SCOPED_TRACE(name ? name : "empty");
        QTemporaryDir program;
        const QDir temp(QDir(program.path()).filePath(QStringLiteral("TEMP")));
        ASSERT_TRUE(temp.mkpath(QStringLiteral(".")));
        if (name) {
            ASSERT_TRUE(writeFile(temp.filePath(QLatin1String(name)), content));
        }
        testsupport::ScriptedPrompter prompter;
        TDM dm(db.path());
        prompter.answerNo();
        EXPECT_FALSE(service::recoverBrokenClosing(program.path(), dm, prompter));
        EXPECT_EQ(prompter.shown(), (QStringList{question, kBroken}));
        EXPECT_TRUE(temp.exists());

        prompter.clearShown();
        prompter.answerYes();
        EXPECT_TRUE(service::recoverBrokenClosing(program.path(), dm, prompter));
        EXPECT_EQ(prompter.shown(), QStringList{question});
        EXPECT_FALSE(temp.exists());
    }
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("FIRMA where extract(year from TOYEAR) = 2010")), 1);

    // The year's archive is made after TEMP's copy: with it there and no
    // copy in TEMP, what happened cannot be told, and nothing is touched.
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("TEMP")));
    ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("2009_2010")));
    testsupport::ScriptedPrompter prompter;
    TDM dm(db.path());
    EXPECT_FALSE(service::recoverBrokenClosing(program.path(), dm, prompter));
    EXPECT_EQ(prompter.shown(), QStringList{kBroken});
    EXPECT_TRUE(QDir(program.path()).exists(QStringLiteral("TEMP")));
}

}  // namespace
