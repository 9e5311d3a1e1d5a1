#include "declaration_test_data.h"
#include "workbook_reader.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "transfers/dekl69_export.h"
#include "transfers/dekl70_export.h"
#include "workbook/workbook_error.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

namespace ld = transfers::land_declaration;

namespace {

const QString kSheet = QStringLiteral("Лист1");
const QDate kToday(2025, 3, 14);

class LandDeclarationTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::runSql(db_.path(), declarationtest::kFirm + declarationtest::kLand); }

    QString place()
    {
        dataset::Dataset firm(area_, QStringLiteral("IBQFirma"));
        firm.sql().setLines({ld::firmStatement()});
        firm.open();
        return firm.field(QStringLiteral("GR_S")).asString();
    }
    QStringList rows(const QString& statement, const QString& field, int idZeml = 0)
    {
        dataset::Dataset q(area_, QStringLiteral("Q"));
        q.sql().setLines({statement});
        q.setParam(QStringLiteral("id_zeml"), fb::Value(idZeml));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.field(field).asString();
        return out;
    }
    // Writes the declaration of an area and reads it back.
    QJsonObject write(bool own, int idZeml)
    {
        dataset::Dataset plots(area_, QStringLiteral("IBQImoti"));
        plots.sql().setLines({own ? transfers::dekl69::plotsStatement() : transfers::dekl70::plotsStatement()});
        plots.setParam(QStringLiteral("id_zeml"), fb::Value(idZeml));
        const auto lines = own ? transfers::dekl69::linesOf(plots) : transfers::dekl70::linesOf(plots);
        const ld::Form form = own ? transfers::dekl69::form(place(), kToday) : transfers::dekl70::form(place(), kToday);
        ld::write(path_, form, lines);
        return readWithOpenpyxl(path_);
    }
    QJsonValue cell(const QJsonObject& book, const QString& address, const char* fact = "value")
    {
        return cellFacts(book, kSheet, address)[QLatin1String(fact)];
    }
    // The values of one row from column A, as far as `last`.
    QJsonArray row(const QJsonObject& book, int r, char last)
    {
        QJsonArray out;
        for (char c = 'A'; c <= last; ++c)
            out.append(cell(book, QString(QLatin1Char(c)) + QString::number(r)));
        return out;
    }

    testsupport::TestDatabase db_;
    dataset::Database database_{db_.path()};
    dataset::TransactionArea area_{database_, QStringLiteral("IBTDekl")};
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("00134.xlsx"));
};

TEST_F(LandDeclarationTest, FoldersFilesAndTheAreasOfEachDeclaration)
{
    EXPECT_EQ(ld::outputFile(ld::outputFolder(QStringLiteral("/opt/arventa"), transfers::dekl69::kFolder),
                             QStringLiteral("12345")),
              QDir::toNativeSeparators(QStringLiteral("/opt/arventa/Dekl69/12345.xlsx")));
    EXPECT_EQ(rows(ld::areasStatement(ld::Land::Own), QStringLiteral("EKATTE")), QStringList({"00134", "03664"}));
    EXPECT_EQ(rows(ld::areasStatement(ld::Land::Leased), QStringLiteral("EKATTE")), QStringList({"00134"}));
    EXPECT_EQ(place(), QStringLiteral("с. Изгрев"));
    EXPECT_EQ(transfers::dekl70::contractText("7", "", fb::Value(0)), QStringLiteral("7 ,0"));
    EXPECT_EQ(transfers::dekl70::contractText("7", "", fb::Value()), QStringLiteral("7"));
}

// The frame of the art. 69 declaration, its lines per plot and category
// (plot numbers kept as text) and the footer.
TEST_F(LandDeclarationTest, Article69DeclarationOfAnArea)
{
    const QJsonObject book = write(true, 1);
    const QJsonObject sheet = sheetFacts(book, kSheet);
    EXPECT_EQ(sheet["merges"], QJsonValue(QJsonArray{"A1:H1", "A3:H3"}));
    EXPECT_EQ(cell(book, "A1"), QJsonValue("вх. № ....................... дата ...................."));
    EXPECT_EQ(cell(book, "A1", "horizontal"), QJsonValue("center"));
    EXPECT_EQ(cell(book, "A3"), QJsonValue("Декларация по чл. 69, ал. 2 от ППЗСПЗЗ, във връзка с чл. 37б от ЗСПЗЗ"));
    EXPECT_TRUE(cell(book, "A3", "bold").toBool());
    EXPECT_EQ(cell(book, "G4"), QJsonValue("Предпочината форма на стопанисване"));
    EXPECT_TRUE(cell(book, "H4", "wrap").toBool());
    EXPECT_EQ(cell(book, "H4", "vertical"), QJsonValue("center"));
    EXPECT_EQ(row(book, 5, 'H'), (QJsonArray{1, "2", 3, 4, 5, "6", 7, 8}));
    EXPECT_EQ(row(book, 6, 'H'), (QJsonArray{1, "000101", 1.234, 5, "Ливада", "Горна", "Собствена", "Решение на ОСЗ"}));
    EXPECT_EQ(row(book, 7, 'H'),
              (QJsonArray{2, "001002", 2.5, 3, "Нива", "Горна", "Собствена", "Нотариален акт 12/03.05.2010"}));
    EXPECT_EQ(row(book, 8, 'D'), (QJsonArray{3, "001002", 2.5, 4}));
    EXPECT_EQ(cell(book, "B6", "format"), QJsonValue("@"));
    for (const char* a : {"A4", "H8", "D6"}) {
        EXPECT_EQ(cell(book, a, "borders"), QJsonValue(QJsonArray{"thin", "thin", "thin", "thin"})) << a;
        EXPECT_EQ(cell(book, a, "fill"), QJsonValue("FFFFFFFF")) << a;
    }
    EXPECT_EQ(cell(book, "A9", "borders"), QJsonValue());
    EXPECT_EQ(cell(book, "B10"), QJsonValue(ld::kWarning));
    EXPECT_EQ(cell(book, "B12"), QJsonValue("с. Изгрев"));
    EXPECT_EQ(cell(book, "B13"), QJsonValue("Дата 14.03.2025 г."));
    EXPECT_EQ(cell(book, "G12"), QJsonValue("Декларатор:................."));
    EXPECT_EQ(cell(book, "G13"), QJsonValue("/подпис/"));
    EXPECT_EQ(cell(book, "G13", "horizontal"), QJsonValue("right"));
}

TEST_F(LandDeclarationTest, AnAreaWithoutLinesGivesHeadsFrameAndFooter)
{
    const QJsonObject book = write(true, 2);
    EXPECT_EQ(cell(book, "A6"), QJsonValue());
    EXPECT_EQ(cell(book, "H5", "borders"), QJsonValue(QJsonArray{"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(cell(book, "A6", "borders"), QJsonValue());
    EXPECT_EQ(cell(book, "B7"), QJsonValue(ld::kWarning));
    EXPECT_EQ(cell(book, "B9"), QJsonValue("с. Изгрев"));
    EXPECT_EQ(cell(book, "G10"), QJsonValue("/подпис/"));
}

// One line per owner of a leased plot under a contract in force, with the
// contract's number, land office entry and years; own plots never.
TEST_F(LandDeclarationTest, Article70DeclarationOfAnArea)
{
    const QJsonObject book = write(false, 1);
    EXPECT_EQ(sheetFacts(book, kSheet)["merges"], QJsonValue(QJsonArray{"A1:K1", "A3:K3"}));
    EXPECT_EQ(cell(book, "A3"), QJsonValue("декларация по чл. 70, ал. 2 от ППЗСПЗЗ"));
    EXPECT_EQ(cell(book, "K4"), QJsonValue("Договор за пренаемане, преарендуване"));
    EXPECT_EQ(row(book, 6, 'K'), (QJsonArray{1, "003001", 4, 3, "Нива", "Горна", "Иван Петров", "0415010003",
                                             "Нотариален акт 5/01.02.2003", "1 ,123/2020 ,5", QJsonValue()}));
    EXPECT_EQ(row(book, 7, 'H'), (QJsonArray{2, "003001", 4, 3, "Нива", "Горна", "Мария Иванова", "7501010004"}));
    EXPECT_EQ(cell(book, "A8"), QJsonValue());
    EXPECT_EQ(cell(book, "K7", "borders"), QJsonValue(QJsonArray{"thin", "thin", "thin", "thin"}));
    EXPECT_EQ(cell(book, "B8"), QJsonValue(ld::kWarning));
    EXPECT_EQ(cell(book, "B9"), QJsonValue("Приложение:   заверени копия от Договори , общо .... . броя, които са "
                                           "неразделна част от декларацията."));
    EXPECT_EQ(cell(book, "B11"), QJsonValue("с. Изгрев"));
    EXPECT_EQ(cell(book, "H11"), QJsonValue("Декларатор:................."));
    EXPECT_EQ(cell(book, "H12", "horizontal"), QJsonValue("right"));
}

// Every plot without a contract in force once, by area and number: own
// land, a contract terminated before the year, two run-out contracts.
TEST_F(LandDeclarationTest, Article70InvalidData)
{
    QStringList listed;
    dataset::Dataset q(area_, QStringLiteral("IBQInvalidDataDekl70"));
    q.sql().setLines({transfers::dekl70::invalidDataStatement()});
    q.open();
    for (q.first(); !q.eof(); q.next())
        listed << q.field(QStringLiteral("EKATTE")).asString() + QLatin1Char(' ') +
                      q.field(QStringLiteral("IMOT_NO")).asString() + QLatin1Char(' ') +
                      q.field(QStringLiteral("OSNOVANIE")).asString();
    EXPECT_EQ(listed, QStringList({"00134 000101 собствена", "00134 001002 собствена", "00134 003002 без договор",
                                   "00134 003003 изтекъл договор", "03664 200 собствена"}));
}

// A declaration that cannot be saved (a folder stands where the file
// should go) leaves nothing behind.
TEST_F(LandDeclarationTest, AFailedSaveLeavesNoFile)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("00134.xlsx")));
    EXPECT_THROW(ld::write(path_, transfers::dekl69::form(place(), kToday), {}), transfers::WorkbookError);
    EXPECT_TRUE(QFileInfo(path_).isDir());
    EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());
}

}  // namespace
