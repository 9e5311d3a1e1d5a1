#include "declaration_test_data.h"
#include "workbook_reader.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "transfers/delivered_forms.h"
#include "transfers/income_declaration_export.h"
#include "transfers/income_declaration_form.h"
#include "workbook/range.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

namespace nap = transfers::income_declaration;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class IncomeDeclarationExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::runSql(db_.path(), declarationtest::kFirm + declarationtest::kPayments);
        form_ = dir_.filePath(QStringLiteral("справка.xlsx"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + nap::kFileName, form_));
        QFile::setPermissions(form_, QFile::ReadOwner | QFile::WriteOwner);
    }

    std::vector<nap::Payment> payments()
    {
        dataset::Dataset query(area_, QStringLiteral("QueryDeklNAP"));
        query.sql().setLines({nap::paymentsStatement()});
        return nap::paymentsOf(query);
    }
    nap::Payer payer()
    {
        dataset::Dataset firm(area_, QStringLiteral("QueryFirma"));
        firm.sql().setLines({QStringLiteral("select * from FIRMA")});
        firm.open();
        return nap::payerOf(firm);
    }
    // A cell of SprFL as openpyxl reads it.
    QJsonValue cell(const QJsonObject& book, const QString& address)
    {
        return cellFacts(book, nap::kSheetName, address)[QStringLiteral("value")];
    }

    testsupport::TestDatabase db_;
    dataset::Database database_{db_.path()};
    dataset::TransactionArea area_{database_, QStringLiteral("IBTDeklNAP")};
    QTemporaryDir dir_;
    QString form_;
};

// Who is listed and with how much: OIR added, the second calendar year left
// out, owners without a country missing, a company number listed but not
// transferable.
TEST_F(IncomeDeclarationExportTest, PaymentsOfTheFirstCalendarYearPerOwner)
{
    QStringList listed;
    for (const nap::Payment& p : payments())
        listed << p.ime + QLatin1Char(' ') + p.kol2 + QLatin1Char(' ') + p.izpl.toString() + QLatin1Char(' ') +
                      (nap::transferable(p.egn) ? QStringLiteral("да") : QStringLiteral("не"));
    EXPECT_EQ(listed, QStringList({"Агро ЕООД 0 30.00 не", "Айше 1 40.00 да", "Ахмед 1 5.00 да", "Иван 0 150.75 да",
                                   "Мария 0 80.00 да", "Петър 0 10.00 да", "Стоян 0 20.00 да"}));
}

// Lines from row 12 in the query's order, the skipped company not taking a
// row; the identifiers as their kind asks; the header of a company.
TEST_F(IncomeDeclarationExportTest, WritesTheHeaderAndOneLinePerTransferableOwner)
{
    std::vector<int> steps;
    const nap::Result result = nap::transfer(form_, payer(), payments(), [&](int p) { steps.push_back(p); });
    ASSERT_TRUE(result.refusal.isEmpty()) << result.refusal.toStdString();
    EXPECT_EQ(result.written, (std::vector<bool>{false, true, true, true, true, true, true}));
    EXPECT_EQ(steps, (std::vector<int>{20, 60, 100}));

    const QJsonObject book = readWithOpenpyxl(form_);
    EXPECT_EQ(cell(book, "E4"), QJsonValue("050000009"));
    EXPECT_EQ(cell(book, "F4"), QJsonValue("Нива ООД"));
    EXPECT_EQ(cell(book, "I4"), QJsonValue("ул. Люляк 1"));
    EXPECT_EQ(cell(book, "E6"), QJsonValue(6));
    EXPECT_EQ(cell(book, "E7"), QJsonValue(305.75));
    // Айше: a foreigner with an LNCh.
    const QStringList row12 = {"B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "M"};
    const QJsonArray expected12 = {1, 1, 1, "1000000001", "Айше", "Турция", "TR", "Истанбул", 40, 0, 10};
    for (int i = 0; i < row12.size(); ++i)
        EXPECT_EQ(cell(book, row12[i] + "12"), expected12[i]) << row12[i].toStdString();
    EXPECT_EQ(cell(book, "N12"), QJsonValue(nap::kIncomeKind));
    // Ахмед: a foreigner without one: kind 2, no number.
    EXPECT_EQ(cell(book, "D13"), QJsonValue(2));
    EXPECT_EQ(cell(book, "E13"), QJsonValue());
    EXPECT_EQ(cell(book, "G13"), QJsonValue("Турция"));
    // Иван: a local person with an EGN (leading zero kept), no kind, no country.
    EXPECT_EQ(cell(book, "C14"), QJsonValue(0));
    EXPECT_EQ(cell(book, "D14"), QJsonValue());
    EXPECT_EQ(cell(book, "E14"), QJsonValue("0415010003"));
    EXPECT_EQ(cell(book, "G14"), QJsonValue());
    EXPECT_EQ(cell(book, "J14"), QJsonValue(150.75));
    EXPECT_EQ(cell(book, "F15"), QJsonValue("Мария"));
    EXPECT_EQ(cell(book, "J15"), QJsonValue(80));
    // Стоян: no identifier, E left as it was.
    EXPECT_EQ(cell(book, "F17"), QJsonValue("Стоян"));
    EXPECT_EQ(cell(book, "E17"), QJsonValue());
    EXPECT_EQ(cell(book, "B17"), QJsonValue(6));
    EXPECT_EQ(cell(book, "F18"), QJsonValue());
    EXPECT_TRUE(sheetFacts(book, nap::kSheetName)[QStringLiteral("protected")].toBool());
}

TEST_F(IncomeDeclarationExportTest, ANaturalPersonIsThePayerByHisEgn)
{
    testsupport::runSql(db_.path(), {QStringLiteral("update FIRMA set ID_VZP = 1")});
    ASSERT_TRUE(nap::transfer(form_, payer(), {}).refusal.isEmpty());
    const QJsonObject book = readWithOpenpyxl(form_);
    EXPECT_EQ(cell(book, "E4"), QJsonValue("7501010004"));
    EXPECT_EQ(cell(book, "F4"), QJsonValue("Иван Иванов"));
}

// A 0 in E4 is an empty form; a payer there, a form of another kind or a
// text in E4 are refused and the file stays as it was.
TEST_F(IncomeDeclarationExportTest, RefusalsLeaveTheFileAsItWas)
{
    const auto withE4 = [&](const QString& value) {
        auto book = transfers::Workbook::open(form_);
        book->worksheet(nap::kSheetName).unprotect();
        book->worksheet(nap::kSheetName).range(QStringLiteral("E4")).setValue(value);
        book->save();
    };
    withE4(QStringLiteral("0"));
    EXPECT_TRUE(nap::transfer(form_, payer(), payments()).refusal.isEmpty());

    withE4(QStringLiteral("123456789"));
    QByteArray before = bytesOf(form_);
    EXPECT_EQ(nap::transfer(form_, payer(), payments()).refusal, nap::kFilled);
    EXPECT_EQ(bytesOf(form_), before);

    withE4(QStringLiteral("попълнено"));
    before = bytesOf(form_);
    EXPECT_THROW(nap::transfer(form_, payer(), payments()), transfers::WorkbookError);
    EXPECT_EQ(bytesOf(form_), before);

    const QString other = dir_.filePath(QStringLiteral("друг.xlsx"));
    transfers::Workbook::create()->saveAs(other);
    before = bytesOf(other);
    EXPECT_EQ(nap::transfer(other, payer(), payments()).refusal, nap::kWrongWorkbook);
    EXPECT_EQ(bytesOf(other), before);
}

// A form whose line counter was spoilt fails at its first line, after the
// header was written: nothing of it reaches the file.
TEST_F(IncomeDeclarationExportTest, AFailureHalfWayLeavesTheFormUntouched)
{
    {
        auto book = transfers::Workbook::open(form_);
        transfers::Worksheet& sheet = book->worksheet(nap::kSheetName);
        sheet.unprotect();
        sheet.range(QStringLiteral("E6")).setValue(QStringLiteral("x"));
        sheet.protect();
        book->save();
    }
    const QByteArray before = bytesOf(form_);
    EXPECT_THROW(nap::transfer(form_, payer(), payments()), transfers::WorkbookError);
    EXPECT_EQ(bytesOf(form_), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("справка.xlsx")});
}

}  // namespace

namespace {

// The command line fills a copy of a form made elsewhere and refuses, with
// the reason, the blank forms delivered with the program, which it leaves
// as they are; the same file on disk under another name is the form too.
TEST_F(IncomeDeclarationExportTest, TheCommandLineRefusesTheDeliveredFormsAndFillsACopy)
{
    const auto run = [this](const QString& form, QString* err) {
        QProcess p;
        p.start(QStringLiteral(ARVENTA_EXPORT_EXE),
                {QStringLiteral("nap"), form, QStringLiteral("--database"), db_.path()});
        EXPECT_TRUE(p.waitForFinished(60000));
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    const QString source = QStringLiteral(ARVENTA_FORMS_DIR "/") + nap::kFileName;
    const QByteArray blank = bytesOf(source);
    QString err;
    EXPECT_EQ(run(source, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("Данните не са прехвърлени.\n"
                                            "Файлът „%1“ е празен образец, доставен с програмата, и не се попълва.\n"
                                            "Копирайте го в друга папка и посочете копието.\n")
                                 .arg(source)))
        << err.toStdString();
    EXPECT_EQ(bytesOf(source), blank);

    const QString hardLink = dir_.filePath(QStringLiteral("друго име.xlsx"));
    if (::link(QFile::encodeName(source).constData(), QFile::encodeName(hardLink).constData()) == 0) {
        EXPECT_EQ(run(hardLink, &err), 1);
        EXPECT_TRUE(err.contains(QStringLiteral("е празен образец"))) << err.toStdString();
        EXPECT_EQ(bytesOf(source), blank);
    }

    EXPECT_EQ(run(form_, &err), 0) << err.toStdString();
    EXPECT_NE(bytesOf(form_), blank);
}

TEST(DeliveredForms, AreTheFilesOfTheDeliveryFoldersNotTheirCopies)
{
    QTemporaryDir program, elsewhere;
    namespace df = transfers::delivered_forms;
    const QStringList folders = df::folders(program.path());
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("forms")));
    const QString inProgram = program.filePath(QStringLiteral("DeklNAP.xlsx"));
    const QString inForms = program.filePath(QStringLiteral("forms/zp_v15.mde"));
    const QString copy = elsewhere.filePath(QStringLiteral("DeklNAP.xlsx"));
    for (const QString& f : {inProgram, inForms, copy})
        ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + nap::kFileName, f));
    EXPECT_TRUE(df::isDelivered(inProgram, folders));
    EXPECT_TRUE(df::isDelivered(inForms, folders));
    EXPECT_TRUE(df::isDelivered(QStringLiteral(ARVENTA_FORMS_DIR "/zp_viva11_5.xlsx"), folders));
    // A copy elsewhere is the user's, byte for byte the same or not; a missing file is nobody's.
    EXPECT_FALSE(df::isDelivered(copy, folders));
    EXPECT_FALSE(df::isDelivered(elsewhere.filePath(QStringLiteral("missing.xlsx")), folders));
    // Reached through a link or through the folder's other name, it is still the delivered one.
    const QString link = elsewhere.filePath(QStringLiteral("link.xlsx"));
    ASSERT_TRUE(QFile::link(inProgram, link));
    EXPECT_TRUE(df::isDelivered(link, folders));
    const QString folderLink = elsewhere.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QFile::link(program.path(), folderLink));
    EXPECT_TRUE(df::isDelivered(folderLink + QStringLiteral("/DeklNAP.xlsx"), folders));
}

}  // namespace
