// The report project as screens use it: finding the file, the messages of
// what cannot run, and what executing does to the datasets it reads.
#include "report_engine/report_project.h"
#include "report_engine/report_test.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QApplication>
#include <QWidget>

using reporttest::ReportTest;

namespace {

const char* const kList = R"(<report version="1">
  <detail connection="rvdsQ" height="5"><field name="N" width="20" height="5"/><field name="T" x="20" width="40" height="5"/></detail>
  <summary height="5"><text width="20" height="5">Брой:</text><total function="count" x="20" width="20" height="5"/></summary>
</report>)";

const char* const kRows =
    "select 1 as N, 'едно' as T from rdb$database union all select 2, 'две' from rdb$database "
    "union all select 3, 'три' from rdb$database";

// A one-page report's text without the stamp at its foot, which it must end in.
QString withoutFoot(const QString& text)
{
    const QString foot = QStringLiteral(" Отпечатано на %1 стр. 1 от 1")
                             .arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    EXPECT_TRUE(text.endsWith(foot)) << text.toStdString();
    return text.endsWith(foot) ? text.chopped(foot.size()) : text;
}

class ProjectTest : public ReportTest {
protected:
    std::unique_ptr<reports::ReportProject> project(const QString& file)
    {
        auto p = std::make_unique<reports::ReportProject>(file, prompter_, nullptr);
        p->setOutputChooser(chooser_);
        return p;
    }
    QString executeToText(reports::ReportProject& p)
    {
        chooser_.answerPdf(path(QStringLiteral("out.pdf")));
        if (!p.execute())
            return {};
        return withoutFoot(pdfText(path(QStringLiteral("out.pdf"))).simplified());
    }
};

TEST_F(ProjectTest, FilesThatCannotRunAreMessagesNamingTheFile)
{
    auto missing = project(QStringLiteral("SprZR.rav"));
    EXPECT_FALSE(missing->open());
    EXPECT_FALSE(missing->execute());  // the output is never asked for
    const QString where = QDir::toNativeSeparators(QDir::currentPath());
    const QString text = QStringLiteral("Файлът на справката „SprZR.rav“ не е намерен в папката „%1“!").arg(where);
    EXPECT_EQ(prompter_.shown(), (QStringList{text, text}));
    prompter_.clearShown();

    writeLayout(QStringLiteral("Broken.rav"), "<report version=\"1\">\n<title height=\"5\">\n<text width=\"1\">");
    EXPECT_FALSE(project(QStringLiteral("Broken.rav"))->open());
    ASSERT_EQ(prompter_.shown().size(), 1);
    EXPECT_TRUE(prompter_.shown()[0].startsWith(QStringLiteral("Файлът на справката „Broken.rav“ е повреден.\n\n")));
    EXPECT_TRUE(prompter_.shown()[0].endsWith(QStringLiteral("(ред 3)")));
    prompter_.clearShown();

    // Layouts that read what is not there say so before any output is made.
    auto q = query(QStringLiteral("Q"), QString::fromUtf8(kRows));
    writeLayout(QStringLiteral("List.rav"), kList);
    auto unbound = project(QStringLiteral("List.rav"));
    chooser_.answerPdf(path(QStringLiteral("never.pdf")));
    EXPECT_FALSE(unbound->execute());
    unbound->bindConnection(QStringLiteral("rvdsQ"), *q);
    writeLayout(QStringLiteral("Field.rav"), R"(<report version="1"><detail connection="rvdsQ" height="5">
        <field name="NAIM" width="20" height="5"/></detail></report>)");
    auto noField = project(QStringLiteral("Field.rav"));
    noField->bindConnection(QStringLiteral("rvdsQ"), *q);
    chooser_.answerPdf(path(QStringLiteral("never.pdf")));
    EXPECT_FALSE(noField->execute());
    writeLayout(QStringLiteral("Tall.rav"), R"(<report version="1"><page size="A5"/>
        <detail connection="rvdsQ" height="300"/></report>)");
    auto tall = project(QStringLiteral("Tall.rav"));
    tall->bindConnection(QStringLiteral("rvdsQ"), *q);
    chooser_.answerPdf(path(QStringLiteral("never.pdf")));
    EXPECT_FALSE(tall->execute());
    EXPECT_EQ(
        prompter_.shown(),
        (QStringList{
            QStringLiteral("Справката „List.rav“ чете връзката „rvdsQ“, която не е свързана с данни!"),
            QStringLiteral("Справката „Field.rav“ не може да бъде изпълнена.\n\nВръзката „rvdsQ“ няма поле „NAIM“."),
            QStringLiteral("Справката „Tall.rav“ не може да бъде изпълнена.\n\nЛента с височина 300 мм не се "
                           "побира на страницата (място 185 мм)."),  // A5 less its margins and the stamp at its foot
        }));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("never.pdf"))));
    EXPECT_FALSE(q->isOpen());

    // A file that cannot be written is not reported as printed.
    prompter_.clearShown();
    chooser_.answerPdf(path(QStringLiteral("no/such/folder/out.pdf")));
    EXPECT_FALSE(unbound->execute());
    chooser_.answerHtml(path(QStringLiteral("no/such/folder/out.html")));
    EXPECT_FALSE(unbound->execute());
    EXPECT_EQ(prompter_.shown(),
              (QStringList{QStringLiteral("Файлът „%1“ не може да бъде записан!")
                               .arg(QDir::toNativeSeparators(path(QStringLiteral("no/such/folder/out.pdf")))),
                           QStringLiteral("Файлът „%1“ не може да бъде записан!")
                               .arg(QDir::toNativeSeparators(path(QStringLiteral("no/such/folder/out.html"))))}));
}

TEST_F(ProjectTest, ExecutingLeavesEachDatasetAsItWas)
{
    writeLayout(QStringLiteral("List.rav"), kList);
    auto q = query(QStringLiteral("Q"), QString::fromUtf8(kRows));
    auto p = project(QStringLiteral("List.rav"));
    p->bindConnection(QStringLiteral("rvdsQ"), *q);

    // A closed dataset is opened for the run and closed again.
    EXPECT_EQ(executeToText(*p), QStringLiteral("1 едно 2 две 3 три Брой: 3"));
    EXPECT_FALSE(q->isOpen());

    // An open one is read whole and stays on its row.
    q->open();
    q->moveTo(1);
    EXPECT_EQ(executeToText(*p), QStringLiteral("1 едно 2 две 3 три Брой: 3"));
    EXPECT_TRUE(q->isOpen());
    EXPECT_EQ(q->currentRow(), 1);

    // Cancelling the output question reads nothing.
    q->close();
    chooser_.answerCancel();
    EXPECT_FALSE(p->execute());
    EXPECT_FALSE(q->isOpen());

    // Bound again at run time, the connection reads the new dataset; closing the project loads the file anew.
    auto other = query(QStringLiteral("Q2"), QStringLiteral("select 7 as N, 'седем' as T from rdb$database"));
    p->bindConnection(QStringLiteral("rvdsQ"), *other);
    p->close();
    EXPECT_FALSE(p->isOpen());
    EXPECT_EQ(executeToText(*p), QStringLiteral("7 седем Брой: 1"));
    EXPECT_TRUE(prompter_.shown().isEmpty()) << prompter_.shown().join(u'|').toStdString();
}

TEST_F(ProjectTest, PreviewIsAWindowOfItsOwnWithTheTitleAsked)
{
    writeLayout(QStringLiteral("List.rav"), kList);
    auto q = query(QStringLiteral("Q"), QString::fromUtf8(kRows));
    QWidget screen;
    reports::ReportProject p(QStringLiteral("List.rav"), prompter_, &screen);
    p.setOutputChooser(chooser_);
    p.bindConnection(QStringLiteral("rvdsQ"), *q);
    chooser_.answerPreview();
    reports::ExecuteOptions options;
    options.previewTitle = QStringLiteral("Предпринт");
    options.previewMaximised = true;
    options.outputDialogTitle = QStringLiteral("Изходни опции");
    ASSERT_TRUE(p.execute(options));
    EXPECT_EQ(chooser_.asked().at(0).title, QStringLiteral("Изходни опции"));
    QWidget* preview = p.preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Предпринт"));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(q->isOpen());  // the preview holds its own pages
    preview->close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(p.preview(), nullptr);
}

}  // namespace

namespace {

// The command line writes the same report without a window and says what went wrong on standard error.
TEST_F(ProjectTest, CommandLineWritesTheReportOrSaysWhy)
{
    writeLayout(QStringLiteral("List.rav"), kList);
    const auto run = [](const QStringList& args, QString* err = nullptr) {
        QProcess p;
        p.start(QStringLiteral(ARVENTA_REPORT_EXE), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    const QString connection = QStringLiteral("rvdsQ=") + QString::fromUtf8(kRows);
    EXPECT_EQ(run({QStringLiteral("List.rav"), QStringLiteral("--database"), db_.path(), QStringLiteral("--connection"),
                   connection, QStringLiteral("--pdf"), path(QStringLiteral("cli.pdf"))}),
              0);
    EXPECT_EQ(withoutFoot(pdfText(path(QStringLiteral("cli.pdf"))).simplified()),
              QStringLiteral("1 едно 2 две 3 три Брой: 3"));
    EXPECT_EQ(run({QStringLiteral("List.rav"), QStringLiteral("--database"), db_.path(), QStringLiteral("--connection"),
                   connection, QStringLiteral("--html"), path(QStringLiteral("cli.html"))}),
              0);
    EXPECT_TRUE(readText(QStringLiteral("cli.html")).contains(QStringLiteral(">три<")));

    QString err;
    EXPECT_EQ(run({QStringLiteral("List.rav"), QStringLiteral("--pdf"), path(QStringLiteral("x.pdf"))}, &err), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("usage: arventa-report")));
    EXPECT_EQ(run({QStringLiteral("Missing.rav"), QStringLiteral("--database"), db_.path(), QStringLiteral("--pdf"),
                   path(QStringLiteral("x.pdf"))},
                  &err),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("„Missing.rav“ не е намерен")));
    EXPECT_EQ(run({QStringLiteral("List.rav"), QStringLiteral("--database"), db_.path(), QStringLiteral("--connection"),
                   QStringLiteral("rvdsQ=select nothing from nowhere"), QStringLiteral("--pdf"),
                   path(QStringLiteral("x.pdf"))},
                  &err),
              1);
    EXPECT_TRUE(err.startsWith(QStringLiteral("Справката „List.rav“ не е отпечатана.\n\n"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("NOWHERE"))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("x.pdf"))));

    // A report already there stays unless --force is given; a new one is its owner's alone.
    const QStringList again{QStringLiteral("List.rav"),
                            QStringLiteral("--database"),
                            db_.path(),
                            QStringLiteral("--connection"),
                            connection,
                            QStringLiteral("--pdf"),
                            path(QStringLiteral("cli.pdf"))};
    ASSERT_TRUE(QFile::resize(path(QStringLiteral("cli.pdf")), 10));
    EXPECT_EQ(run(again, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("cli.pdf"))) << err.toStdString();
    EXPECT_EQ(QFileInfo(path(QStringLiteral("cli.pdf"))).size(), 10);
    EXPECT_EQ(run(again + QStringList{QStringLiteral("--force")}), 0);
    EXPECT_GT(QFileInfo(path(QStringLiteral("cli.pdf"))).size(), 10);
    EXPECT_EQ(QFile::permissions(path(QStringLiteral("cli.pdf"))) & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());
    EXPECT_EQ(QDir(path(QString())).entryList({QStringLiteral(".arventa-*")}, QDir::Files | QDir::Hidden),
              QStringList{});
}

}  // namespace
