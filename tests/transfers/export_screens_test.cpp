#include "declaration_test_data.h"
#include "survey_card_test_data.h"
#include "survey_database_reader.h"
#include "workbook_reader.h"

#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "transfers/income_declaration_export.h"
#include "transfers/income_declaration_form.h"
#include "transfers/land_declaration.h"
#include "transfers/survey_card_export.h"
#include "transfers/survey_card_form.h"
#include "transfers/tfak.h"
#include "transfers/tfak_access.h"
#include "transfers/tfdekl69.h"
#include "transfers/tfdekl70.h"
#include "transfers/tfdeklnap.h"
#include "unwritable.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>

namespace ld = transfers::land_declaration;
namespace nap = transfers::income_declaration;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The scripted prompter, also keeping what the file dialog was given; the
// dialog leaves another folder current, as a real one may.
class FilePrompter : public testsupport::ScriptedPrompter {
public:
    QString openFile(const QString& caption, const QString& folder, const QString& filter) override
    {
        asked = {caption, folder, filter};
        QDir::setCurrent(QDir::tempPath());
        return ScriptedPrompter::openFile(caption, folder, filter);
    }
    QStringList asked;
};

// An export screen's test: the layouts' folder current, a program folder of
// its own for the output folders, the firm of the farming year 2024/2025.
template <typename S>
class ExportScreenTest : public testsupport::ScreenTest<S, FilePrompter> {
protected:
    ExportScreenTest() : previous_(QDir::currentPath()) { QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR)); }
    ~ExportScreenTest() override { QDir::setCurrent(previous_); }
    void SetUp() override { testsupport::runSql(this->db.path(), declarationtest::kFirm + rows()); }
    virtual QStringList rows() const = 0;

    QTableView* grid(const char* name) const { return this->template control<QTableView>(name); }
    QString label(const char* name) const { return this->template control<QLabel>(name)->text(); }
    QStringList column(const char* name, int c) const
    {
        QStringList out;
        for (const QString& r : testsupport::gridRows(grid(name)))
            out << r.split(QStringLiteral(" | ")).at(c);
        return out;
    }

    QString previous_;
    QTemporaryDir program_;
    testsupport::ScriptedOutputChooser outputs;
};

class TFDeklNAPTest : public ExportScreenTest<TFDeklNAP> {
protected:
    QStringList rows() const override { return declarationtest::kPayments; }
    TFDeklNAP& open() { return show(new TFDeklNAP(module(), prompter, outputs)); }
    QString emptyForm()
    {
        const QString path = program_.filePath(QStringLiteral("справка.xlsx"));
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + nap::kFileName, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
};

// The list with its total, the transferable column hidden and the year said.
TEST_F(TFDeklNAPTest, ListsThePaymentsAndSaysTheYear)
{
    TFDeklNAP& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Справка - декларация към НАП"));
    EXPECT_EQ(prompter.shown(),
              QStringList{QStringLiteral("Данните ще се формират за счетоводния период, обхващащ 2024 г.")});
    EXPECT_EQ(column("jvdbgridDeklNAP", 2),
              (QStringList{"Агро ЕООД", "Айше", "Ахмед", "Иван", "Мария", "Петър", "Стоян"}));
    EXPECT_EQ(testsupport::gridRows(grid("jvdbgridDeklNAP")).at(1),
              QStringLiteral("да | 1000000001 | Айше | Турция | Истанбул | 40,00 | да | "));
    EXPECT_EQ(label("labSum"), QStringLiteral("335,75 лв"));
    EXPECT_TRUE(grid("jvdbgridDeklNAP")->isColumnHidden(6));
    EXPECT_FALSE(grid("jvdbgridDeklNAP")->isColumnHidden(7));
    EXPECT_FALSE(control<QLabel>("labSumTransf")->isVisible());
    EXPECT_FALSE(control<QProgressBar>("ProgressBar1")->isVisible());
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFDeklNAP"));
}

// "..." offers .xlsx files and keeps the current folder; the transfer fills
// the form and shows what went in; the invalid list prints the company.
TEST_F(TFDeklNAPTest, ChoosesTheFormTransfersAndPrintsTheInvalidOnes)
{
    open();
    const QString form = emptyForm();
    prompter.answerPath(form);
    click("btnOpen");
    prompter.clearShown();
    EXPECT_EQ(prompter.asked.at(2), QStringLiteral("Excel Files (*.xlsx)"));
    EXPECT_EQ(QDir::currentPath(), QDir(QStringLiteral(ARVENTA_LAYOUTS_DIR)).absolutePath());
    EXPECT_EQ(edit("edFileName")->text(), QDir::toNativeSeparators(form));
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{nap::kDone});
    EXPECT_EQ(label("labSumTransf"), QStringLiteral("305,75 лв"));
    EXPECT_TRUE(control<QLabel>("labSumTransf")->isVisible());
    EXPECT_FALSE(grid("jvdbgridDeklNAP")->isColumnHidden(6));
    EXPECT_EQ(column("jvdbgridDeklNAP", 6), (QStringList{"не", "да", "да", "да", "да", "да", "да"}));
    EXPECT_EQ(cellFacts(readWithOpenpyxl(form), nap::kSheetName, "E6")["value"], QJsonValue(6));

    const QString pdf = program_.filePath(QStringLiteral("невалидни.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrintTransferNevalidni");
    EXPECT_TRUE(testsupport::pdfLines(pdf).contains(QStringLiteral("050000009 Агро ЕООД")))
        << testsupport::pdfText(pdf).toStdString();
}

TEST_F(TFDeklNAPTest, RefusesWithoutAFileAndAFilledForm)
{
    open();
    prompter.clearShown();
    click("btnTransfer");
    const QString form = emptyForm();
    edit("edFileName")->setText(form);
    click("btnTransfer");
    prompter.clearShown();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{nap::kFilled});
    EXPECT_FALSE(control<QProgressBar>("ProgressBar1")->isVisible());
}

// A form that cannot be written is named before anything is filled.
TEST_F(TFDeklNAPTest, SaysAFormThatCannotBeWritten)
{
    open();
    const QString form = emptyForm();
    const QByteArray before = fileBytes(form);
    edit("edFileName")->setText(form);
    prompter.clearShown();
    {
        Unwritable readOnly(form);
        if (!readOnly.works())
            GTEST_SKIP() << "writes cannot be refused here";
        click("btnTransfer");
        EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Данните не са прехвърлени.\n"
                                                               "Файлът „%1“ не може да бъде записан.\n\n%2")
                                                    .arg(QDir::toNativeSeparators(form), readOnly.detail())});
    }
    EXPECT_EQ(fileBytes(form), before);
    EXPECT_FALSE(control<QProgressBar>("ProgressBar1")->isVisible());
    EXPECT_FALSE(control<QLabel>("labSumTransf")->isVisible());
}

// A failed run leaves no marks or total of the run before it on screen.
TEST_F(TFDeklNAPTest, AFailedTransferClearsTheMarksAndTheTotalOfTheLastOne)
{
    open();
    const QString form = emptyForm();
    edit("edFileName")->setText(form);
    click("btnTransfer");
    ASSERT_TRUE(control<QLabel>("labSumTransf")->isVisible());
    ASSERT_FALSE(grid("jvdbgridDeklNAP")->isColumnHidden(6));
    prompter.clearShown();
    click("btnTransfer");  // the form is filled now
    EXPECT_EQ(prompter.shown(), QStringList{nap::kFilled});
    EXPECT_FALSE(control<QLabel>("labSumTransf")->isVisible());
    EXPECT_TRUE(grid("jvdbgridDeklNAP")->isColumnHidden(6));
    EXPECT_FALSE(grid("jvdbgridDeklNAP")->isColumnHidden(7));
    EXPECT_EQ(column("jvdbgridDeklNAP", 7), QStringList(7, QString()));
}

// The blank form delivered with the program is never filled: "Не" (the
// default) leaves it as it is; "Да" copies it under a name the user chooses
// outside the program's folder and fills the copy. A link to the delivered
// form is the delivered form.
TEST_F(TFDeklNAPTest, TheDeliveredFormIsNeverFilledButACopyOfItIs)
{
    QTemporaryDir installed, mine;
    const QString delivered = installed.filePath(nap::kFileName);
    ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + nap::kFileName, delivered));
    QFile::setPermissions(delivered, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray blank = fileBytes(delivered);
    show(new TFDeklNAP(module(), prompter, outputs, installed.path()));
    const QString question = QStringLiteral(
        "Файлът „%1“ е празен образец, доставен с програмата, и не се попълва.\n"
        "Желаете ли да го копирате под име по ваш избор и да попълните копието?");

    edit("edFileName")->setText(QDir::toNativeSeparators(delivered));
    prompter.clearShown();
    prompter.answerNo();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{question.arg(QDir::toNativeSeparators(delivered))});
    EXPECT_EQ(prompter.defaults().last(), Prompter::Default::No);
    EXPECT_EQ(fileBytes(delivered), blank);
    EXPECT_FALSE(control<QLabel>("labSumTransf")->isVisible());

    // A copy into the program's folder, or over a file that is there, is refused.
    prompter.clearShown();
    prompter.answerYes();
    prompter.answerPath(installed.path());
    prompter.answerInput(QStringLiteral("копие"));
    click("btnTransfer");
    EXPECT_EQ(prompter.shown().last(),
              QStringLiteral("Копието не може да бъде в папката на програмата. Изберете друга директория!"));
    ASSERT_TRUE(QFile::copy(delivered, mine.filePath(QStringLiteral("стара.xlsx"))));
    prompter.clearShown();
    prompter.answerYes();
    prompter.answerPath(mine.path());
    prompter.answerInput(QStringLiteral("стара.xlsx"));
    click("btnTransfer");
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Файлът „%1“ вече съществува. Изберете друго име!")
                                           .arg(QDir::toNativeSeparators(mine.filePath(QStringLiteral("стара.xlsx")))));
    EXPECT_EQ(fileBytes(mine.filePath(QStringLiteral("стара.xlsx"))), blank);

    // The name without its extension gets the form's.
    prompter.clearShown();
    prompter.answerYes();
    prompter.answerPath(mine.path());
    prompter.answerInput(QStringLiteral("справка 2024"));
    click("btnTransfer");
    const QString copy = mine.filePath(QStringLiteral("справка 2024.xlsx"));
    EXPECT_EQ(prompter.shown(), (QStringList{question.arg(QDir::toNativeSeparators(delivered)),
                                             QStringLiteral("Изберете директория за копието ..."),
                                             QStringLiteral("Име на файла:"), nap::kDone}));
    EXPECT_EQ(edit("edFileName")->text(), QDir::toNativeSeparators(copy));
    EXPECT_EQ(cellFacts(readWithOpenpyxl(copy), nap::kSheetName, "E6")["value"], QJsonValue(6));
    EXPECT_EQ(fileBytes(delivered), blank);
    EXPECT_TRUE(control<QLabel>("labSumTransf")->isVisible());

    const QString link = mine.filePath(QStringLiteral("връзка.xlsx"));
    ASSERT_TRUE(QFile::link(delivered, link));
    edit("edFileName")->setText(link);
    prompter.clearShown();
    prompter.answerNo();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{question.arg(QDir::toNativeSeparators(link))});
    EXPECT_EQ(fileBytes(delivered), blank);
}

class TFDekl69Test : public ExportScreenTest<TFDekl69> {
protected:
    QStringList rows() const override { return declarationtest::kLand; }
    TFDekl69& open() { return show(new TFDekl69(module(), prompter, program_.path())); }
    QString fileOf(const char* ekatte) const
    {
        return QDir::toNativeSeparators(program_.path() + QStringLiteral("/Dekl69/") + QLatin1String(ekatte) +
                                        QStringLiteral(".xlsx"));
    }
};

// The output folder is made, the file follows the area, the sum its plots.
TEST_F(TFDekl69Test, TheFileAndTheSumFollowTheArea)
{
    TFDekl69& s = open();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Данните ще се формират за стопански период: 2024/2025")});
    EXPECT_TRUE(QFileInfo(program_.filePath(QStringLiteral("Dekl69"))).isDir());
    EXPECT_EQ(edit("edFileName")->text(), fileOf("00134"));
    EXPECT_EQ(column("jvdbgridImoti", 0), (QStringList{"000101", "001002", "001002"}));
    EXPECT_EQ(label("labSum"), QStringLiteral("6,234 дка"));
    grid("jvdbgridZeml")->setCurrentIndex(grid("jvdbgridZeml")->model()->index(1, 0));
    EXPECT_EQ(edit("edFileName")->text(), fileOf("03664"));
    EXPECT_EQ(label("labSum"), QStringLiteral("0,000 дка"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFDekl69"));
}

// Written once, then asked before it is written over; no name, no transfer.
TEST_F(TFDekl69Test, TransfersAndAsksBeforeOverwriting)
{
    open();
    prompter.clearShown();
    click("btnTransfer");
    ASSERT_TRUE(QFileInfo::exists(fileOf("00134")));
    const QDateTime written = QFileInfo(fileOf("00134")).lastModified();
    prompter.answerNo();
    click("btnTransfer");
    EXPECT_EQ(QFileInfo(fileOf("00134")).lastModified(), written);
    prompter.answerYes();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), (QStringList{ld::kDone, ld::kOverwrite, ld::kOverwrite, ld::kDone}));
    EXPECT_EQ(prompter.defaults(), QList<Prompter::Default>(2, Prompter::Default::No));
    EXPECT_TRUE(control<QLabel>("labSum")->isVisible());
    prompter.clearShown();
    edit("edFileName")->clear();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{ld::kNoFile});
}

// A folder that cannot be written is named, and nothing is asked of a file in it.
TEST_F(TFDekl69Test, SaysAFolderThatCannotBeWritten)
{
    open();
    click("btnTransfer");
    ASSERT_TRUE(QFileInfo::exists(fileOf("00134")));
    const QDateTime written = QFileInfo(fileOf("00134")).lastModified();
    const QString folder = program_.filePath(QStringLiteral("Dekl69"));
    prompter.clearShown();
    {
        Unwritable readOnly(folder);
        if (!readOnly.works())
            GTEST_SKIP() << "writes cannot be refused here";
        click("btnTransfer");
        grid("jvdbgridZeml")->setCurrentIndex(grid("jvdbgridZeml")->model()->index(1, 0));
        click("btnTransfer");
        const QString text = QStringLiteral("Данните не са прехвърлени.\nПапката „%1“ не може да бъде записана.\n\n%2")
                                 .arg(QDir::toNativeSeparators(folder), readOnly.detail());
        EXPECT_EQ(prompter.shown(), (QStringList{text, text}));
    }
    EXPECT_EQ(QFileInfo(fileOf("00134")).lastModified(), written);
    EXPECT_FALSE(QFileInfo::exists(fileOf("03664")));
    EXPECT_FALSE(control<QProgressBar>("ProgressBar1")->isVisible());
    EXPECT_TRUE(control<QLabel>("labSum")->isVisible());
}

// The output folder could not be made beside the program: why is the program folder's.
TEST_F(TFDekl69Test, SaysAnOutputFolderThatCouldNotBeMade)
{
    Unwritable readOnly(program_.path());
    if (!readOnly.works())
        GTEST_SKIP() << "writes cannot be refused here";
    open();
    prompter.clearShown();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(),
              QStringList{
                  QStringLiteral("Данните не са прехвърлени.\nПапката „%1“ не може да бъде записана.\n\n%2")
                      .arg(QDir::toNativeSeparators(program_.filePath(QStringLiteral("Dekl69"))), readOnly.detail())});
}

class TFDekl70Test : public ExportScreenTest<TFDekl70> {
protected:
    QStringList rows() const override { return declarationtest::kLand; }
    TFDekl70& open() { return show(new TFDekl70(module(), prompter, outputs, program_.path())); }
};

// A plot leased from two owners: two lines, its area once.
TEST_F(TFDekl70Test, ListsEachOwnerAndCountsThePlotOnce)
{
    TFDekl70& s = open();
    EXPECT_EQ(column("jvdbgridImoti", 5), (QStringList{"Иван Петров", "Мария Иванова"}));
    EXPECT_EQ(label("labSum"), QStringLiteral("4,000 дка"));
    EXPECT_TRUE(edit("edFileName")->text().endsWith(QDir::toNativeSeparators(QStringLiteral("Dekl70/00134.xlsx"))));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFDekl70"));
}

TEST_F(TFDekl70Test, PrintsThePlotsWithoutAContractInForce)
{
    open();
    prompter.clearShown();
    const QString pdf = program_.filePath(QStringLiteral("невалидни.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrintTransferNevalidni");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Изтегляне на данните, моля изчакайте!")});
    const QString text = testsupport::pdfText(pdf);
    for (const char* expected : {"003002", "без договор", "003003", "изтекъл договор", "собствена"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("003003")), 1);

    testsupport::runSql(db.path(), {QStringLiteral("delete from ZEMQ where ID_ZEMQ <> 102")});
    prompter.clearShown();
    click("bitPrintTransferNevalidni");
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Изтегляне на данните, моля изчакайте!"),
                                             QStringLiteral("Няма невалидни данни!")}));
}

// The survey card screens over the land of four areas (one without valid plots).
template <typename S>
class SurveyCardScreenTest : public ExportScreenTest<S> {
protected:
    QStringList rows() const override { return surveycardtest::all().mid(declarationtest::kFirm.size()); }
    S& open() { return this->show(new S(this->module(), this->prompter, this->outputs)); }
    QString copyOf(const QString& name, const QString& as)
    {
        const QString path = this->program_.filePath(as);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + name, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    void moveToArea(int row)
    {
        QTableView* areas = this->grid("jvdbgridZeml");
        areas->setCurrentIndex(areas->model()->index(row, 0));
    }
};

using TFAKTest = SurveyCardScreenTest<TFAK>;
using TFAK_accessTest = SurveyCardScreenTest<TFAK_access>;

// The year said, every area listed, the current area's valid plots in
// hectares summed with four decimals.
TEST_F(TFAKTest, ListsTheValidPlotsOfEachAreaInHectares)
{
    TFAK& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Анкетна карта"));
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Данните ще се формират за стопански период: 2024/2025")});
    EXPECT_EQ(column("jvdbgridZeml", 0), (QStringList{"00134", "03664", "04217", "07168"}));
    EXPECT_EQ(
        testsupport::gridRows(grid("jvdbgridImoti")),
        (QStringList{"Горна | 000101 | Ливада | Собствена | 0,1234 | ", "Горна | 001002 | Нива | Собствена | 0,5000 | ",
                     "Горна | 003001 | Нива | Аренда | 0,4000 | "}));
    EXPECT_EQ(label("labSum"), QStringLiteral("1,0234 ха"));
    moveToArea(2);
    EXPECT_TRUE(testsupport::gridRows(grid("jvdbgridImoti")).isEmpty());
    EXPECT_EQ(label("labSum"), QStringLiteral("0,0000 ха"));
    moveToArea(3);
    EXPECT_EQ(label("labSum"), QStringLiteral("1,5833 ха"));
    EXPECT_EQ(label("labSumPolPl"), QStringLiteral("0,2500 ха"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFAK"));
}

// "..." offers .xlsx files; the transfer fills the form, a second is refused.
TEST_F(TFAKTest, TransfersIntoTheChosenFormOnce)
{
    open();
    click("btnTransfer");
    const QString wrong = copyOf(nap::kFileName, QStringLiteral("справка.xlsx"));
    edit("edFileName")->setText(wrong);
    click("btnTransfer");
    const QString form = copyOf(transfers::survey_card::kFormFileName, QStringLiteral("карта.xlsx"));
    prompter.answerPath(form);
    click("btnOpen");
    EXPECT_EQ(prompter.asked.at(2), QStringLiteral("Excel Files (*.xlsx)"));
    EXPECT_EQ(QDir::currentPath(), QDir(QStringLiteral(ARVENTA_LAYOUTS_DIR)).absolutePath());
    prompter.clearShown();
    click("btnTransfer");
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), (QStringList{transfers::survey_card::kDone, transfers::survey_card::kFilled}));
    EXPECT_FALSE(control<QProgressBar>("ProgressBar1")->isVisible());
    EXPECT_TRUE(control<QLabel>("labSum")->isVisible());
    const QJsonObject book = readWithOpenpyxl(form);
    EXPECT_EQ(cellFacts(book, transfers::survey_card::kCardSheet, "I33")["value"], QJsonValue("с. Бучино"));
    EXPECT_EQ(cellFacts(book, transfers::survey_card::kTableSheet, "E6")["value"], QJsonValue(1.25));
}

TEST_F(TFAKTest, RefusesWithoutAFileOrTheFormAndPrintsTheInvalidPlots)
{
    open();
    prompter.clearShown();
    click("btnTransfer");
    edit("edFileName")->setText(copyOf(nap::kFileName, QStringLiteral("справка.xlsx")));
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(),
              (QStringList{QStringLiteral("Не е изберан файл!"), QStringLiteral("Не е избран коректния файл!")}));

    prompter.clearShown();
    const QString pdf = program_.filePath(QStringLiteral("невалидни.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrintTransferNevalidni");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Изтегляне на данните, моля изчакайте!")});
    const QString text = testsupport::pdfText(pdf);
    for (const char* expected : {"003002", "без договор", "003003", "изтекъл договор", "Бистрица", "0,9000"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("001002")));

    testsupport::runSql(db.path(), {QStringLiteral("delete from ZEMQ where ID_ZEMQ in (103, 104, 400)")});
    prompter.clearShown();
    click("bitPrintTransferNevalidni");
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Изтегляне на данните, моля изчакайте!"),
                                             QStringLiteral("Няма невалидни данни!")}));
}

// The survey card's blank forms, in the source tree's forms folder or in the
// program's folder, are offered for copying and never written.
TEST_F(TFAKTest, TheDeliveredFormsAreNotFilled)
{
    open();
    const QString source = QStringLiteral(ARVENTA_FORMS_DIR "/") + transfers::survey_card::kFormFileName;
    const QByteArray blank = fileBytes(source);
    edit("edFileName")->setText(QDir::toNativeSeparators(source));
    prompter.clearShown();
    prompter.answerNo();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(),
              QStringList{QStringLiteral("Файлът „%1“ е празен образец, доставен с програмата, и не се попълва.\n"
                                         "Желаете ли да го копирате под име по ваш избор и да попълните копието?")
                              .arg(QDir::toNativeSeparators(source))});
    EXPECT_EQ(fileBytes(source), blank);
    EXPECT_TRUE(control<QLabel>("labSum")->isVisible());
}

TEST_F(TFAK_accessTest, TheDeliveredSurveyDatabaseIsCopiedAndTheCopyFilled)
{
    QTemporaryDir installed, mine;
    const QString delivered = installed.filePath(QStringLiteral("forms/") + transfers::survey_database::kFileName);
    ASSERT_TRUE(QDir(installed.path()).mkdir(QStringLiteral("forms")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + transfers::survey_database::kFileName, delivered));
    QFile::setPermissions(delivered, QFile::ReadOwner);  // installed read-only
    const QByteArray blank = fileBytes(delivered);
    show(new TFAK_access(module(), prompter, outputs, installed.path()));
    edit("edFileName")->setText(delivered);
    prompter.clearShown();
    prompter.answerYes();
    prompter.answerPath(mine.path());
    prompter.answerInput(QStringLiteral("карта.mde"));
    click("btnTransfer");
    EXPECT_EQ(prompter.shown().last(), transfers::survey_database::kDone);
    const QString copy = mine.filePath(QStringLiteral("карта.mde"));
    EXPECT_EQ(edit("edFileName")->text(), QDir::toNativeSeparators(copy));
    EXPECT_EQ(surveyRows(readSurveyDatabase(copy), QStringLiteral("karta_spisak_nm")).size(), 3);
    EXPECT_EQ(fileBytes(delivered), blank);
    QFile::setPermissions(delivered, QFile::ReadOwner | QFile::WriteOwner);
}

// The number of plots under them; the card written into the chosen survey
// database, a second time refused; the database offered again next time.
TEST_F(TFAK_accessTest, WritesTheSurveyDatabaseEndToEnd)
{
    TFAK_access& s = open();
    EXPECT_EQ(label("labBrImoti"), QStringLiteral("3"));
    moveToArea(3);
    EXPECT_EQ(label("labBrImoti"), QStringLiteral("2"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFAK_access"));
    prompter.clearShown();
    edit("edFileName")->setText(QStringLiteral("   "));
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Не е избран файл!")});

    const QString mde = copyOf(transfers::survey_database::kFileName, QStringLiteral("zp_v15.mde"));
    prompter.answerPath(mde);
    click("btnOpen");
    EXPECT_EQ(prompter.asked.at(2), QStringLiteral("MS Access DB (*.mde)"));
    prompter.clearShown();
    click("btnTransfer");
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), (QStringList{transfers::survey_database::kDone, transfers::survey_database::kFilled}));
    const QJsonObject db = readSurveyDatabase(mde);
    EXPECT_EQ(surveyRows(db, QStringLiteral("karta_spisak_nm")),
              (QJsonArray{QJsonArray{"00134"}, QJsonArray{"03664"}, QJsonArray{"07168"}}));
    EXPECT_EQ(surveyRows(db, QStringLiteral("VHOD_L")).size(), 6);
    EXPECT_EQ(surveyRows(db, QStringLiteral("VHOD_L")).at(4).toArray().at(4), QJsonValue("   1.250"));
    const QJsonArray firm = surveyRows(db, QStringLiteral("blanka_reg")).at(0).toArray();
    EXPECT_EQ(firm.at(1), QJsonValue("050000009"));  // be: the firm's EIN
    EXPECT_EQ((QJsonArray{firm.at(4), firm.at(5), firm.at(6)}), (QJsonArray{"Иван", "", "Иванов"}));
    EXPECT_EQ(firm.at(19), QJsonValue("07168"));  // ekat2: the last area written

    s.close();
    QApplication::processEvents();
    TFAK_access& again = open();
    EXPECT_EQ(again.findChild<QLineEdit*>(QStringLiteral("edFileName"))->text(), QDir::toNativeSeparators(mde));
}

// A file that is not the survey database, and one that cannot be written,
// are said as such; neither is changed.
TEST_F(TFAK_accessTest, SaysAFileThatIsNotTheSurveyDatabaseOrCannotBeWritten)
{
    open();
    const QString foreign = copyOf(nap::kFileName, QStringLiteral("справка.mde"));
    const QByteArray workbook = fileBytes(foreign);
    edit("edFileName")->setText(foreign);
    prompter.clearShown();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Данните не са прехвърлени.\n"
                                                           "Избраният файл не е база данни на анкетната карта.\n\n"
                                                           "file is not a database Unable to execute statement")});
    EXPECT_EQ(fileBytes(foreign), workbook);
    EXPECT_FALSE(control<QProgressBar>("ProgressBar1")->isVisible());

    const QString mde = copyOf(transfers::survey_database::kFileName, QStringLiteral("zp_v15.mde"));
    const QByteArray empty = fileBytes(mde);
    edit("edFileName")->setText(mde);
    prompter.clearShown();
    {
        Unwritable readOnly(mde);
        if (!readOnly.works())
            GTEST_SKIP() << "writes cannot be refused here";
        click("btnTransfer");
        EXPECT_EQ(prompter.shown(),
                  QStringList{QStringLiteral("Данните не са прехвърлени.\n"
                                             "Файлът „%1“ е само за четене и не може да бъде попълнен.\n\n%2")
                                  .arg(QDir::toNativeSeparators(mde), readOnly.detail())});
    }
    EXPECT_EQ(fileBytes(mde), empty);
    prompter.clearShown();
    click("btnTransfer");
    EXPECT_EQ(prompter.shown(), QStringList{transfers::survey_database::kDone});
}

}  // namespace
