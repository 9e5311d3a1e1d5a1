// The register's workbook read back into a register: the round trip through
// an empty register, a second import that changes nothing, cells as a
// spreadsheet user leaves them (written by openpyxl, not by our own layer),
// refusals that name their row and leave the register untouched, and the
// command line.
#include "register_test_data.h"

#include "dataset/database.h"
#include "schema/rent_due_cache.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "transfers/register_export.h"
#include "transfers/register_import.h"
#include "transfers/register_sheets.h"
#include "workbook/range.h"
#include "workbook/workbook.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

namespace re = transfers::register_export;
namespace ri = transfers::register_import;
namespace rs = transfers::register_sheets;
using transfers::CellValue;
using transfers::Workbook;

namespace {

// The rent type the small register's rule pays in: lookup lists are not
// part of the workbook, so a register it goes into must know them.
const QStringList kLookups = {"insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (2, 'Пшеница', 'кг')"};

QStringList refusalTexts(const ri::Preview& preview)
{
    QStringList out;
    for (const ri::Refusal& r : preview.refusals)
        out << ri::refusalText(r);
    return out;
}

ri::Counts countsOf(const ri::Preview& preview, const QString& sheet)
{
    for (const auto& [name, counts] : preview.sheets)
        if (name == sheet)
            return counts;
    return {};
}

// Every cell of every sheet, as our reader sees it; empty when equal.
QString differences(const QString& a, const QString& b)
{
    const auto left = Workbook::open(a);
    const auto right = Workbook::open(b);
    if (left->worksheetNames() != right->worksheetNames())
        return QStringLiteral("sheets differ");
    for (int s = 1; s <= left->worksheetCount(); ++s) {
        transfers::Worksheet& l = left->worksheet(s);
        transfers::Worksheet& r = right->worksheet(s);
        if (l.extent() != r.extent())
            return l.name() + QStringLiteral(": extent differs");
        if (!l.extent())
            continue;
        for (int row = 1; row <= l.extent()->last.row; ++row)
            for (int c = 1; c <= l.extent()->last.column; ++c)
                if (l.cell(row, c).value() != r.cell(row, c).value())
                    return QStringLiteral("%1 row %2 column %3: %4 / %5")
                        .arg(l.name())
                        .arg(row)
                        .arg(c)
                        .arg(l.cell(row, c).value().toString(), r.cell(row, c).value().toString());
    }
    return {};
}

bool hasOpenpyxl()
{
    QProcess probe;
    probe.start(QStringLiteral(ARVENTA_PYTHON3), {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
    return probe.waitForFinished(30000) && probe.exitCode() == 0;
}

// Runs a python script with openpyxl imported and the arguments given.
void runPython(const QString& script, const QStringList& args)
{
    QProcess python;
    python.start(QStringLiteral(ARVENTA_PYTHON3),
                 QStringList{QStringLiteral("-c"), QStringLiteral("import sys, openpyxl\n") + script} + args);
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
}

class RegisterImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        testsupport::runSql(source_.path(), register_test_data::kRegister);
        testsupport::runSql(target_.path(), kLookups);
    }
    QString exportOf(const QString& database, const QString& name)
    {
        dataset::Database db(database);
        const QString path = dir_.filePath(name);
        re::write(db, path);
        return path;
    }
    ri::Preview import(const QString& path, bool apply = true)
    {
        dataset::Database db(target_.path());
        const ri::Records records = ri::read(path);
        return apply ? ri::apply(db, records) : ri::preview(db, records);
    }
    qint64 targetRows(const QString& from) { return testsupport::countRows(target_.path(), from); }

    testsupport::TestDatabase source_, target_;
    QTemporaryDir dir_;
};

}  // namespace

// The acceptance test: out, into an empty register, out again: the same
// workbook cell for cell; the same file a second time changes nothing.
TEST_F(RegisterImport, RoundTripGivesTheSameWorkbookAndASecondImportChangesNothing)
{
    // The third owner's share stays bound to the terminated contract 15.
    testsupport::runSql(source_.path(),
                        {"insert into \"DOG DANNI\" (ID_DOG, NOMER, SYSTOQNIE, DATA) values (7, '15', 'Прекратен', "
                         "'2015-05-01')",
                         "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, CHAST, REDPLOSHT) "
                         "values (9, 7, 101, 3, '1/1', 1.5)",
                         "update SOBSTV set ID_DOG = 7, ID_DHZ = 9 where ID_HORA = 3"});
    const QString first = exportOf(source_.path(), QStringLiteral("first.xlsx"));
    const ri::Preview checked = import(first, false);
    EXPECT_TRUE(checked.clean()) << refusalTexts(checked).join(u'\n').toStdString();
    EXPECT_EQ(countsOf(checked, "Собственици").added, 3);
    EXPECT_EQ(targetRows("HORA"), 0) << "the preview wrote";

    const ri::Preview applied = import(first);
    ASSERT_TRUE(applied.clean()) << refusalTexts(applied).join(u'\n').toStdString();
    EXPECT_EQ(countsOf(applied, "Имоти").added, 2);
    EXPECT_EQ(countsOf(applied, "Редове на договори").added, 3);
    EXPECT_EQ(countsOf(applied, "Редове на правила").added, 1);
    const QString second = exportOf(target_.path(), QStringLiteral("second.xlsx"));
    EXPECT_EQ(differences(first, second), QString());
    // The kept figures follow: the owners in contract 12 are due the same rent.
    {
        dataset::Database source(source_.path());
        source.ensureConnected();
        schema::rent::bringUpToDate(source.connection());
    }
    const char* const due = "select count(*), sum(ZDPL), sum(ZPL), sum(SOP) from NACH_RENTA";
    EXPECT_EQ(testsupport::selectedText(target_.path(), due), testsupport::selectedText(source_.path(), due));
    EXPECT_EQ(testsupport::countRows(target_.path(), "NACH_RENTA_PROM"), 0) << "figures left stale";
    EXPECT_EQ(testsupport::countRows(target_.path(), "ZEMQ_DOGPL_PROM"), 0) << "plot areas left stale";

    const ri::Preview again = import(first);
    ASSERT_TRUE(again.clean());
    for (const auto& [sheet, counts] : again.sheets) {
        EXPECT_EQ(counts.added + counts.changed, 0) << sheet.toStdString();
        EXPECT_EQ(counts.unchanged, countsOf(applied, sheet).added) << sheet.toStdString();
    }
}

// A value changed in the workbook is a changed record, matched by its key.
TEST_F(RegisterImport, AChangedValueIsMatchedByItsKey)
{
    const QString path = exportOf(source_.path(), QStringLiteral("register.xlsx"));
    ASSERT_TRUE(import(path).clean());
    testsupport::runSql(source_.path(), {"update HORA set IME = 'Мария Петрова' where EGN = '7501010004'"});
    const ri::Preview p = import(exportOf(source_.path(), QStringLiteral("changed.xlsx")));
    ASSERT_TRUE(p.clean());
    EXPECT_EQ(countsOf(p, "Собственици").changed, 1);
    EXPECT_EQ(countsOf(p, "Собственици").unchanged, 2);
    EXPECT_EQ(testsupport::selectedText(target_.path(), "select IME from HORA where EGN = '7501010004'"),
              "Мария Петрова");
}

// Each cell by its column, as a spreadsheet may hold it.
TEST(RegisterCells, ValuesAreCheckedByTheirColumns)
{
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    const rs::Sheet& owners = rs::sheet("Собственици");
    const rs::Column& egn = owners.columns[0];
    EXPECT_EQ(ri::check(egn, CellValue::text("0415010003")).value.toString(), "0415010003");
    const ri::Checked lost = ri::check(egn, CellValue::number(415010003));
    EXPECT_TRUE(lost.refusal.contains("водеща нула")) << lost.refusal.toStdString();
    EXPECT_FALSE(ri::check(egn, CellValue::text("7501010005")).refusal.isEmpty());
    EXPECT_FALSE(ri::check(egn, CellValue::text("7501010004"), true).refusal.isEmpty()) << "a formula is taken";

    const rs::Sheet& contracts = rs::sheet("Договори");
    const rs::Column& date = contracts.columns[1];
    EXPECT_EQ(ri::check(date, CellValue::number(44000)).value.toDate(), QDate(2020, 6, 18));
    EXPECT_EQ(ri::check(date, CellValue::text("01.05.0201")).value.toDate(), QDate(201, 5, 1));
    EXPECT_FALSE(ri::check(date, CellValue::text("31.02.2021")).refusal.isEmpty());
    EXPECT_FALSE(ri::check(date, CellValue::number(44000.5)).refusal.isEmpty());

    const rs::Sheet& plots = rs::sheet("Имоти");
    const rs::Column& area = plots.columns[4];
    ASSERT_EQ(area.field, "PLOSHT");
    EXPECT_DOUBLE_EQ(ri::check(area, CellValue::text("2,5")).value.toDouble(), 2.5);
    EXPECT_FALSE(ri::check(area, CellValue::number(-1)).refusal.isEmpty());
    EXPECT_FALSE(ri::check(area, CellValue::text("много")).refusal.isEmpty());
    const rs::Column& number = plots.columns[2];
    EXPECT_EQ(ri::check(number, CellValue::number(1002)).value.toString(), "1002");
    EXPECT_FALSE(ri::check(number, CellValue::text(QString(16, u'1'))).refusal.isEmpty());
    EXPECT_TRUE(ri::check(number, CellValue::text("   ")).value.isNull());
}

// Cells written by openpyxl: an extra column, an empty row, dates as plain
// numbers and as texts import; a formula and an identifier that lost its
// leading zero are refused with their rows named, and nothing is written.
TEST_F(RegisterImport, HostileCellsImportOrAreRefusedWithTheirRow)
{
    if (!hasOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const QString exported = exportOf(source_.path(), QStringLiteral("register.xlsx"));
    const QString good = dir_.filePath(QStringLiteral("good.xlsx"));
    runPython(QStringLiteral("wb = openpyxl.load_workbook(sys.argv[1])\n"
                             "ws = wb['Собственици']\n"
                             "ws.cell(row=1, column=20, value='Бележка')\n"
                             "ws.cell(row=2, column=20, value='=1+1')\n"
                             "ws.cell(row=1, column=21, value='=A1')\n"
                             "ws.cell(row=7, column=1, value='8001010008')\n"
                             "ws.cell(row=7, column=2, value='Нов')\n"
                             "c = wb['Договори']\n"
                             "c.cell(row=2, column=2, value=44000)\n"
                             "c.cell(row=2, column=3, value='01.10.2020')\n"
                             "wb.save(sys.argv[2])\n"),
              {exported, good});
    const ri::Preview taken = import(good);
    ASSERT_TRUE(taken.clean()) << refusalTexts(taken).join(u'\n').toStdString();
    EXPECT_EQ(countsOf(taken, "Собственици").added, 4);
    EXPECT_EQ(targetRows("\"DOG DANNI\" where NOMER = '9' and DATA = '2020-06-18' and OTDATA = '2020-10-01'"), 1);

    const QString bad = dir_.filePath(QStringLiteral("bad.xlsx"));
    runPython(QStringLiteral("wb = openpyxl.load_workbook(sys.argv[1])\n"
                             "ws = wb['Собственици']\n"
                             "ws.cell(row=2, column=2, value='=CONCATENATE(\"А\", \"Б\")')\n"
                             "ws.cell(row=6, column=1, value=7001010006)\n"
                             "ws.cell(row=6, column=2, value='Без нула')\n"
                             "ws.cell(row=8, column=1, value=415010003)\n"
                             "ws.cell(row=8, column=2, value='Загубена нула')\n"
                             "wb.save(sys.argv[2])\n"),
              {exported, bad});
    const qint64 owners = targetRows("HORA");
    const ri::Preview refused = import(bad);
    EXPECT_EQ(refusalTexts(refused),
              QStringList({"Собственици, ред 2, Име/Наименование: клетката съдържа формула; запишете стойността ѝ",
                           "Собственици, ред 8, ЕГН/ЕИК/ЛНЧ: „415010003“ не е валиден ЕГН, ЛНЧ или ЕИК (контролната "
                           "цифра не съвпада); клетката е число и може да е загубила водеща нула — запишете кода като "
                           "текст"}));
    EXPECT_EQ(countsOf(refused, "Собственици").refused, 2);
    EXPECT_EQ(targetRows("HORA"), owners) << "a refused import wrote";
    EXPECT_EQ(targetRows("HORA where EGN = '7001010006'"), 0);
}

// A sheet or a heading missing, a reference to nothing, a sheet of more
// rows than any register has: each refused, named.
TEST_F(RegisterImport, MissingSheetsHeadingsAndReferencesAreRefused)
{
    if (!hasOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed";
    const QString exported = exportOf(source_.path(), QStringLiteral("register.xlsx"));
    const QString broken = dir_.filePath(QStringLiteral("broken.xlsx"));
    runPython(QStringLiteral("wb = openpyxl.load_workbook(sys.argv[1])\n"
                             "del wb['Категории']\n"
                             "wb['Местности'].cell(row=1, column=2, value='Име')\n"
                             "wb['Дялове'].cell(row=2, column=1, value='8001010008')\n"
                             "wb.save(sys.argv[2])\n"),
              {exported, broken});
    const QStringList texts = refusalTexts(import(broken));
    EXPECT_TRUE(texts.contains("Категории: листът липсва в работната книга")) << texts.join(u'\n').toStdString();
    EXPECT_TRUE(texts.contains("Местности, Местност: колоната липсва в първия ред; листът не е прочетен"));
    EXPECT_TRUE(texts.contains("Дялове, ред 2, ЕГН/ЕИК/ЛНЧ: няма 8001010008 в лист „Собственици“ или в регистъра"))
        << texts.join(u'\n').toStdString();
    EXPECT_EQ(targetRows("HORA"), 0);

    const QString huge = dir_.filePath(QStringLiteral("huge.xlsx"));
    runPython(QStringLiteral("wb = openpyxl.Workbook()\n"
                             "wb.active.title = 'Собственици'\n"
                             "wb.active.cell(row=1048000, column=1, value=1)\n"
                             "wb.save(sys.argv[1])\n"),
              {huge});
    const ri::Records records = ri::read(huge);
    ASSERT_EQ(records.refusals.size(), 1u);
    EXPECT_TRUE(records.refusals[0].reason.contains("повече от 1000000 реда"));
}

// The command: the preview and the exit codes.
TEST_F(RegisterImport, CommandChecksAppliesAndSaysRefusals)
{
    const QString path = exportOf(source_.path(), QStringLiteral("register.xlsx"));
    const auto run = [&](const QStringList& extra, QString* out) {
        QProcess p;
        p.start(QStringLiteral(ARVENTA_IMPORT_EXE), QStringList{path, "--database", target_.path()} + extra);
        p.waitForFinished(120000);
        *out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitCode();
    };
    QString out;
    EXPECT_EQ(run({"--check"}, &out), 0);
    EXPECT_TRUE(out.contains("Собственици: 3 нови, 0 променени, 0 без промяна, 0 отказани")) << out.toStdString();
    EXPECT_EQ(targetRows("HORA"), 0);
    EXPECT_EQ(run({}, &out), 0);
    EXPECT_EQ(targetRows("HORA"), 3);
    EXPECT_EQ(run({"--bogus"}, &out), 2);

    testsupport::runSql(target_.path(), {"delete from VID_RENTA where ID_VR = 2"});
    EXPECT_EQ(run({"--check"}, &out), 1);
    EXPECT_TRUE(out.contains("Редове на правила, ред 2, Вид рента: „Пшеница“ няма в списъка")) << out.toStdString();
}
