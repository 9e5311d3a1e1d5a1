// arventa-export as a script runs it: what it writes, and what a failed run
// leaves (the form as it was, no file of its own), refusals naming the
// folder or the file, and files a run writes readable by their owner only.
#include "declaration_test_data.h"
#include "unwritable.h"

#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

QFile::Permissions access(const QString& path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

class ExportCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::runSql(db_.path(), declarationtest::kFirm + declarationtest::kPayments + declarationtest::kLand);
        for (const char* layout : {"TransferNevalidni.rav", "TransferNevalidniDekl70.rav"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/") + QLatin1String(layout),
                                    work_.filePath(QLatin1String(layout))));
        form_ = out_.filePath(QStringLiteral("справка.xlsx"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/DeklNAP.xlsx"), form_));
        QFile::setPermissions(form_, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    // Runs the tool in the working folder (the layouts are there); its exit code.
    int run(QStringList args)
    {
        args << QStringLiteral("--database") << db_.path();
        QProcess p;
        p.setWorkingDirectory(work_.path());
        p.start(QStringLiteral(ARVENTA_EXPORT_EXE), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        errors_ = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    }
    // Files of the output folder, hidden ones (a staged file) too.
    QStringList outputFiles(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    testsupport::TestDatabase db_;
    QTemporaryDir work_, out_;
    QString form_, errors_;
};

TEST_F(ExportCommand, AFailedRunLeavesTheFormAsItWasAndNoPdf)
{
    const QByteArray blank = bytesOf(form_);
    const QString pdf = out_.filePath(QStringLiteral("невалидни.pdf"));
    // The print fails after the form was filled: its layout is not there.
    QFile::remove(work_.filePath(QStringLiteral("TransferNevalidni.rav")));
    EXPECT_EQ(run({QStringLiteral("nap"), form_, QStringLiteral("--invalid"), pdf}), 1);
    EXPECT_EQ(bytesOf(form_), blank);
    EXPECT_EQ(outputFiles(out_.path()), QStringList{QStringLiteral("справка.xlsx")});

    // A folder the PDF cannot go to is named before anything is filled.
    const QString folder = out_.filePath(QStringLiteral("заключена"));
    ASSERT_TRUE(QDir(out_.path()).mkdir(QStringLiteral("заключена")));
    {
        Unwritable locked(folder);
        if (locked.works()) {
            EXPECT_EQ(
                run({QStringLiteral("nap"), form_, QStringLiteral("--invalid"), folder + QStringLiteral("/x.pdf")}), 1);
            EXPECT_TRUE(errors_.contains(QStringLiteral("Папката „%1“ не може да бъде записана.").arg(folder)))
                << errors_.toStdString();
            EXPECT_EQ(bytesOf(form_), blank);
        }
    }
    const QString nowhere = out_.filePath(QStringLiteral("няма/x.pdf"));
    EXPECT_EQ(run({QStringLiteral("nap"), form_, QStringLiteral("--invalid"), nowhere}), 1);
    EXPECT_TRUE(errors_.contains(QStringLiteral("Папката „%1“").arg(out_.filePath(QStringLiteral("няма")))))
        << errors_.toStdString();
    EXPECT_EQ(bytesOf(form_), blank);
}

TEST_F(ExportCommand, AnExistingPdfIsReplacedOnlyWithForceAndWhatIsWrittenIsTheOwnersAlone)
{
    const QByteArray blank = bytesOf(form_);
    const QString pdf = out_.filePath(QStringLiteral("невалидни.pdf"));
    ASSERT_TRUE(QFile(pdf).open(QIODevice::WriteOnly));
    EXPECT_EQ(run({QStringLiteral("nap"), form_, QStringLiteral("--invalid"), pdf}), 1);
    EXPECT_TRUE(errors_.contains(QStringLiteral("Файлът „%1“ вече съществува; с --force той се заменя.").arg(pdf)))
        << errors_.toStdString();
    EXPECT_EQ(bytesOf(pdf), QByteArray());
    EXPECT_EQ(bytesOf(form_), blank);

    EXPECT_EQ(run({QStringLiteral("nap"), form_, QStringLiteral("--invalid"), pdf, QStringLiteral("--force")}), 0)
        << errors_.toStdString();
    EXPECT_TRUE(bytesOf(pdf).startsWith("%PDF"));
    EXPECT_NE(bytesOf(form_), blank);
    EXPECT_EQ(access(pdf), kOwnerOnly);
    EXPECT_EQ(access(form_), kOwnerOnly);
    EXPECT_EQ(outputFiles(out_.path()), (QStringList{QStringLiteral("невалидни.pdf"), QStringLiteral("справка.xlsx")}));
}

TEST_F(ExportCommand, DeclarationsRefuseAFolderThatCannotBeMadeAndFilesAlreadyThere)
{
    const QString file = out_.filePath(QStringLiteral("файл"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    EXPECT_EQ(run({QStringLiteral("dekl69"), QStringLiteral("--folder"), file}), 1);
    EXPECT_TRUE(errors_.contains(QStringLiteral("Данните не са прехвърлени.\nПапката „%1/Dekl69“ не може да бъде "
                                                "създадена.")
                                     .arg(file)))
        << errors_.toStdString();

    const QString dekl70 = out_.filePath(QStringLiteral("Dekl70"));
    ASSERT_EQ(run({QStringLiteral("dekl70"), QStringLiteral("--folder"), out_.path()}), 0) << errors_.toStdString();
    const QStringList written = outputFiles(dekl70);
    ASSERT_EQ(written, QStringList{QStringLiteral("00134.xlsx")});
    const QString declaration = QDir(dekl70).filePath(written.front());
    EXPECT_EQ(access(declaration), kOwnerOnly);  // it names the owners with their personal numbers

    const QByteArray first = bytesOf(declaration);
    const QString pdf = out_.filePath(QStringLiteral("без договор.pdf"));
    EXPECT_EQ(
        run({QStringLiteral("dekl70"), QStringLiteral("--folder"), out_.path(), QStringLiteral("--invalid"), pdf}), 1);
    EXPECT_TRUE(errors_.contains(QStringLiteral("Файлът „%1“ вече съществува").arg(declaration)))
        << errors_.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(bytesOf(declaration), first);

    EXPECT_EQ(run({QStringLiteral("dekl70"), QStringLiteral("--folder"), out_.path(), QStringLiteral("--invalid"), pdf,
                   QStringLiteral("--force")}),
              0)
        << errors_.toStdString();
    EXPECT_EQ(outputFiles(dekl70), written);  // nothing staged is left beside it
    EXPECT_EQ(access(pdf), kOwnerOnly);
}

}  // namespace
