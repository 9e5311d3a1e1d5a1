// The register written as one workbook: read back by our own reader and by
// openpyxl, the keys that tie the sheets together, equal registers giving
// equal workbooks, the delivered blank, the command line and the screen.
#include "register_test_data.h"
#include "workbook_reader.h"

#include "dataset/database.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "transfers/register_export.h"
#include "transfers/register_sheets.h"
#include "transfers/tfiznostablici.h"
#include "workbook/package.h"
#include "workbook/range.h"
#include "workbook/streamed_workbook.h"
#include "workbook/workbook.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

namespace re = transfers::register_export;
namespace rs = transfers::register_sheets;
using transfers::CellValue;
using transfers::Workbook;

namespace {

using register_test_data::kRegister;

QStringList headings(const rs::Sheet& sheet)
{
    QStringList out;
    for (const rs::Column& c : sheet.columns)
        out << c.heading;
    return out;
}

// The values of one row of a sheet as our reader sees them, as far as the
// sheet's columns go.
std::vector<CellValue> rowOf(Workbook& book, const QString& sheet, int row)
{
    std::vector<CellValue> out;
    transfers::Worksheet& ws = book.worksheet(sheet);
    for (int c = 1; c <= int(rs::sheet(sheet).columns.size()); ++c)
        out.push_back(ws.cell(row, c).value());
    return out;
}

CellValue text(const char* t)
{
    return CellValue::text(QString::fromUtf8(t));
}

CellValue number(double n)
{
    return CellValue::number(n);
}

bool samePackages(const QString& a, const QString& b)
{
    const auto pa = transfers::Package::read(a), pb = transfers::Package::read(b);
    if (pa.names() != pb.names())
        return false;
    for (const QString& part : pa.names())
        if (pa.part(part) != pb.part(part))
            return false;
    return true;
}

class RegisterExport : public ::testing::Test {
protected:
    void SetUp() override { testsupport::runSql(db_.path(), kRegister); }
    QString exported(const QString& name = QStringLiteral("register.xlsx"))
    {
        dataset::Database database(db_.path());
        const QString path = dir_.filePath(name);
        re::write(database, path);
        return path;
    }

    testsupport::TestDatabase db_;
    QTemporaryDir dir_;
};

}  // namespace

// Written once for the import that reads it back: every reference names
// a sheet whose key columns carry the same headings, every field exists.
TEST(RegisterSheets, EveryReferenceNamesTheKeyOfAnotherSheet)
{
    QStringList names{rs::explanationsSheet()};
    for (const rs::Sheet& sheet : rs::sheets()) {
        EXPECT_FALSE(names.contains(sheet.name)) << sheet.name.toStdString();
        names << sheet.name;
        EXPECT_LE(sheet.name.size(), 31);
        EXPECT_EQ(headings(sheet).removeDuplicates(), 0) << sheet.name.toStdString();
        EXPECT_TRUE(std::any_of(sheet.columns.begin(), sheet.columns.end(), rs::isKey)) << sheet.name.toStdString();
        for (const rs::Column& c : sheet.columns) {
            const std::string where = (sheet.name + u'.' + c.heading).toStdString();
            EXPECT_FALSE(c.explanation.isEmpty()) << where;
            EXPECT_NO_THROW(rs::textLength(c)) << where;
            EXPECT_EQ(c.via.isEmpty(), c.table == sheet.table) << where;
            if (c.refers.isEmpty())
                continue;
            const rs::Sheet& target = rs::sheet(c.refers);
            const auto keyThere = std::find_if(target.columns.begin(), target.columns.end(), [&](const rs::Column& k) {
                return k.heading == c.heading && rs::isKey(k);
            });
            EXPECT_NE(keyThere, target.columns.end()) << where;
        }
    }
    // What the explanations say of a column's kind.
    const rs::Sheet& plots = rs::sheet(QStringLiteral("Имоти"));
    EXPECT_EQ(rs::kindText(plots.columns[4]), QStringLiteral("число в дка с 3 знака след запетаята"));
    EXPECT_EQ(rs::kindText(plots.columns[2]), QStringLiteral("код като текст до 15 знака (водещите нули се пазят)"));
    EXPECT_EQ(rs::kindText(rs::sheet(QStringLiteral("Собственици")).columns[1]), QStringLiteral("текст до 50 знака"));
}

TEST_F(RegisterExport, EverySheetReadBackByItsKeys)
{
    const auto book = Workbook::open(exported());
    QStringList expected{rs::explanationsSheet()};
    for (const rs::Sheet& sheet : rs::sheets()) {
        expected << sheet.name;
        for (int c = 1; c <= int(sheet.columns.size()); ++c)
            EXPECT_EQ(book->worksheet(sheet.name).cell(1, c).value(),
                      CellValue::text(sheet.columns[size_t(c - 1)].heading));
    }
    EXPECT_EQ(book->worksheetNames(), expected);

    // Owners in the order of their identifiers, kept as texts with their zeros.
    EXPECT_EQ(rowOf(*book, "Собственици", 2)[0], text("0415010003"));
    EXPECT_EQ(rowOf(*book, "Собственици", 3)[0], text("050000009"));
    EXPECT_EQ(rowOf(*book, "Собственици", 4)[4], text("00134"));
    EXPECT_TRUE(rowOf(*book, "Собственици", 5)[0].isEmpty());

    // The same plot number in two localities of one area stays two plots.
    const auto first = rowOf(*book, "Имоти", 2), second = rowOf(*book, "Имоти", 3);
    EXPECT_EQ((std::vector<CellValue>{first[0], first[1], first[2], first[4], first[5]}),
              (std::vector<CellValue>{text("00134"), text("Горна"), text("001002"), number(5), number(4.25)}));
    EXPECT_EQ(first[18], number(transfers::StreamedWorkbook::dayNumber(QDate(2010, 5, 3))));
    EXPECT_EQ(first[8], number(0));
    EXPECT_EQ(first[7], text("Нива"));
    EXPECT_EQ((std::vector<CellValue>{second[1], second[2]}), (std::vector<CellValue>{text("Долна"), text("001002")}));
    EXPECT_EQ(rowOf(*book, "Категории", 3),
              (std::vector<CellValue>{text("00134"), text("Горна"), text("001002"), number(4), number(2.5)}));

    // Shares name the owner and the plot by their keys; the contract is shown.
    EXPECT_EQ(rowOf(*book, "Дялове", 2),
              (std::vector<CellValue>{text("0415010003"), text("00134"), text("Горна"), text("001002"), number(2.5),
                                      text("1/2"), number(2.125), text("12")}));
    EXPECT_TRUE(rowOf(*book, "Дялове", 3)[7].isEmpty());
    // Contracts in the order of their numbers; a contract's lines name its
    // number, and the share by owner and plot.
    EXPECT_EQ(rowOf(*book, "Договори", 2)[0], text("9"));
    EXPECT_EQ(rowOf(*book, "Договори", 2)[1], text("01.05.0201"));  // before the spreadsheet's days begin
    EXPECT_EQ(rowOf(*book, "Договори", 3)[0], text("12"));
    EXPECT_EQ(rowOf(*book, "Договори", 3)[1], number(transfers::StreamedWorkbook::dayNumber(QDate(2020, 9, 15))));
    EXPECT_EQ(rowOf(*book, "Договори", 3)[5], text("Аренда"));
    EXPECT_EQ(rowOf(*book, "Редове на договори", 3),
              (std::vector<CellValue>{text("12"), text("7501010004"), text("00134"), text("Горна"), text("001002"),
                                      text("1/2"), number(2.5)}));
    EXPECT_EQ(rowOf(*book, "Редове на правила", 2),
              (std::vector<CellValue>{text("00134"), text("Аренда"), text("Пшеница"), number(40), number(0.25)}));
    EXPECT_EQ(rowOf(*book, "Землища", 2), (std::vector<CellValue>{text("00134"), text("Изгрев")}));
}

// A row whose reference went wrong is still written, with its key cells empty.
TEST_F(RegisterExport, NoRowIsLeftOutForAReferenceGoneWrong)
{
    testsupport::runSql(db_.path(), {"delete from HORA where ID_HORA = 3"});
    const auto book = Workbook::open(exported());
    const auto orphan = rowOf(*book, "Дялове", 2);
    EXPECT_TRUE(orphan[0].isEmpty());
    EXPECT_EQ(orphan[3], text("001002"));
    EXPECT_EQ(orphan[4], number(1.5));
}

TEST_F(RegisterExport, EqualRegistersGiveEqualWorkbooksAndTheBlankIsTheEmptyOne)
{
    EXPECT_TRUE(samePackages(exported(QStringLiteral("a.xlsx")), exported(QStringLiteral("b.xlsx"))));
    // Owner's only: the workbook holds personal numbers.
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    EXPECT_EQ(QFile::permissions(dir_.filePath(QStringLiteral("a.xlsx"))) & others, QFile::Permissions());

    testsupport::TestDatabase empty;
    dataset::Database database(empty.path());
    const QString emptyExport = dir_.filePath(QStringLiteral("empty.xlsx"));
    re::write(database, emptyExport);
    const QString blank = dir_.filePath(re::kBlankFileName);
    re::writeBlank(blank);
    EXPECT_TRUE(samePackages(emptyExport, blank));

    const QString committed = QStringLiteral(ARVENTA_FORMS_DIR "/") + re::kBlankFileName;
    ASSERT_TRUE(QFile::exists(committed)) << "regenerate it with: " ARVENTA_FORMS_TOOL " " ARVENTA_FORMS_DIR;
    EXPECT_TRUE(samePackages(committed, blank)) << "regenerate it with: " ARVENTA_FORMS_TOOL " " ARVENTA_FORMS_DIR;
}

// An independent reader sees texts, numbers and dates typed as meant.
TEST_F(RegisterExport, OpenpyxlSeesKeysAsTextsAndNumbersAndDatesTyped)
{
    QProcess probe;
    probe.start(QStringLiteral(ARVENTA_PYTHON3), {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const QJsonObject book = readWithOpenpyxl(exported());
    QJsonArray sheets{rs::explanationsSheet()};
    for (const rs::Sheet& sheet : rs::sheets())
        sheets.append(sheet.name);
    EXPECT_EQ(book["sheets"].toArray(), sheets);
    const QJsonObject egn = cellFacts(book, "Собственици", "A2");
    EXPECT_EQ(egn["type"], "s");
    EXPECT_EQ(egn["value"], "0415010003");
    EXPECT_EQ(egn["format"], "@");
    EXPECT_EQ(cellFacts(book, "Собственици", "A1")["bold"], true);
    EXPECT_EQ(cellFacts(book, "Имоти", "A2")["value"], "00134");
    const QJsonObject area = cellFacts(book, "Имоти", "E2");
    EXPECT_EQ(area["type"], "n");
    EXPECT_EQ(area["value"], 5);
    EXPECT_EQ(area["format"], "0.000");
    const QJsonObject date = cellFacts(book, "Имоти", "S2");
    EXPECT_EQ(date["type"], "d");
    EXPECT_EQ(date["value"], "2010-05-03 00:00:00");
    EXPECT_EQ(cellFacts(book, "Редове на правила", "E2")["format"], "0.00000");
    EXPECT_EQ(cellFacts(book, "Редове на договори", "A2")["value"], "12");
    EXPECT_EQ(cellFacts(book, "Обяснения", "A4")["value"], "Лист");
    EXPECT_EQ(sheetFacts(book, "Имоти")["selection"], "A2");
}

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

void overwrite(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

// As a script runs it: a new file, replaced only with --force, readable by
// its owner only, and never the delivered blank.
TEST_F(RegisterExport, CommandWritesANewFileAndReplacesOnlyWithForce)
{
    const QString path = dir_.filePath(QStringLiteral("регистър.xlsx"));
    auto run = [&](QStringList args, QString* errors = nullptr) {
        QProcess p;
        p.start(QStringLiteral(ARVENTA_EXPORT_EXE),
                QStringList{QStringLiteral("register")} + args + QStringList{QStringLiteral("--database"), db_.path()});
        EXPECT_TRUE(p.waitForFinished(60000));
        if (errors)
            *errors = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    };
    ASSERT_EQ(run({path}), 0);
    EXPECT_EQ(Workbook::open(path)->worksheet(QStringLiteral("Договори")).cell(3, 1).value(), text("12"));
    EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    overwrite(path, "an earlier workbook");
    QString errors;
    EXPECT_EQ(run({path}, &errors), 1);
    EXPECT_TRUE(errors.startsWith(re::kFailed + QLatin1Char('\n'))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("вече съществува; с --force той се заменя"))) << errors.toStdString();
    EXPECT_EQ(bytesOf(path), "an earlier workbook");
    ASSERT_EQ(run({path, QStringLiteral("--force")}), 0);
    EXPECT_TRUE(Workbook::open(path)->findWorksheet(QStringLiteral("Имоти")));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("регистър.xlsx")});

    // A link to the delivered blank names the blank itself.
    const QString blank = QStringLiteral(ARVENTA_FORMS_DIR "/") + re::kBlankFileName;
    const QString link = dir_.filePath(QStringLiteral("blank.xlsx"));
    ASSERT_TRUE(QFile::link(blank, link));
    const QByteArray before = bytesOf(blank);
    EXPECT_EQ(run({link, QStringLiteral("--force")}, &errors), 1);
    EXPECT_EQ(errors.trimmed(), re::kFailed + QLatin1Char('\n') + re::blankRefusal(link));
    EXPECT_EQ(bytesOf(blank), before);
}

class RegisterExportScreen : public testsupport::ScreenTest<TFIznosTablici> {
protected:
    void SetUp() override { testsupport::runSql(db.path(), kRegister); }
    QTemporaryDir program_, out_;
};

// No name, a new file, then an existing one replaced only after "Да" to a
// question that offers "Не".
TEST_F(RegisterExportScreen, WritesTheRegisterAndAsksBeforeReplacing)
{
    show(new TFIznosTablici(module(), prompter, program_.path()));
    edit("edFileName")->clear();
    click("bitIznos");
    EXPECT_EQ(prompter.shown(), QStringList{re::kNoFile});

    const QString path = out_.filePath(QStringLiteral("registar.xlsx"));
    edit("edFileName")->setText(QDir::toNativeSeparators(path));
    prompter.clearShown();
    click("bitIznos");
    EXPECT_EQ(prompter.shown(), QStringList{re::kDone});
    EXPECT_EQ(Workbook::open(path)->worksheet(QStringLiteral("Собственици")).cell(2, 1).value(), text("0415010003"));
    EXPECT_EQ(control<QProgressBar>("ProgressBar1")->value(), 100);

    overwrite(path, "kept");
    prompter.clearShown();
    prompter.answerNo();
    click("bitIznos");
    EXPECT_EQ(prompter.shown(), QStringList{re::overwriteQuestion(path)});
    EXPECT_EQ(prompter.defaults(), QList<Prompter::Default>{Prompter::Default::No});
    EXPECT_EQ(bytesOf(path), "kept");

    prompter.clearShown();
    prompter.answerYes();
    click("bitIznos");
    EXPECT_EQ(prompter.shown(), (QStringList{re::overwriteQuestion(path), re::kDone}));
    EXPECT_TRUE(Workbook::open(path)->findWorksheet(QStringLiteral("Редове на правила")));
}

// Texts go out as they are: markup characters, blanks at their ends and
// characters XML cannot carry come back unchanged.
TEST_F(RegisterExport, TextsComeBackAsTheyWere)
{
    testsupport::runSql(db_.path(), {"insert into HORA (ID_HORA, EGN, IME, ADRES, TEL) values (9, '9999999999', "
                                     "'Агро & син <ООД> \"Нива\"', ' ул. „Изгрев“ 1 ', 'a' || ascii_char(1) || 'b')"});
    const auto book = Workbook::open(exported());
    const auto owner = rowOf(*book, "Собственици", 5);
    EXPECT_EQ(owner[0], text("9999999999"));
    EXPECT_EQ(owner[1], text("Агро & син <ООД> \"Нива\""));
    EXPECT_EQ(owner[2], text(" ул. „Изгрев“ 1 "));
    EXPECT_EQ(owner[3], CellValue::text(QStringLiteral("a\u0001b")));
}

// The first sheet explains every column of every sheet, in their order.
TEST_F(RegisterExport, ExplanationsListEveryColumnWithItsKind)
{
    const auto book = Workbook::open(exported());
    transfers::Worksheet& ws = book->worksheet(rs::explanationsSheet());
    int row = 5;
    for (const rs::Sheet& sheet : rs::sheets()) {
        EXPECT_EQ(ws.cell(row, 1).value(), CellValue::text(sheet.name));
        EXPECT_EQ(ws.cell(row++, 5).value(), CellValue::text(sheet.explanation));
        for (const rs::Column& c : sheet.columns) {
            const std::string where = (sheet.name + u'.' + c.heading).toStdString();
            EXPECT_EQ(ws.cell(row, 2).value(), CellValue::text(c.heading)) << where;
            EXPECT_EQ(ws.cell(row, 3).value().textValue().isEmpty(), c.role == rs::Role::Value) << where;
            EXPECT_EQ(ws.cell(row, 4).value(), CellValue::text(rs::kindText(c))) << where;
            EXPECT_EQ(ws.cell(row++, 5).value(), CellValue::text(c.explanation)) << where;
        }
    }
    EXPECT_TRUE(ws.cell(row, 1).value().isEmpty());
}
