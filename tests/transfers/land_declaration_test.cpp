#include "declaration_test_data.h"
#include "workbook_reader.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "schema/rent_sql.h"
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

// The lines of an area are those of its rows grouped by every column they
// show, in the order of the plot, category, owner and contract, and then of
// the rest of the contract and the identifier: an owner with two share lines
// of a plot under one contract is one line per category; two owners of one
// name, and two contracts of one number, are lines of their own.
TEST_F(LandDeclarationTest, Article70LinesAreTheRowsGroupedByEveryColumn)
{
    testsupport::runSql(
        db_.path(),
        {"insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, PLOSHT, ID_FS, ID_NTP) values (105, 10, '003004', 6, 2, 2)",
         "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (105, 4, 2.5)",
         "insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (105, 3, 3.5)",
         "insert into HORA (ID_HORA, EGN, IME) values (13, '9001010005', 'Иван Петров')",
         "insert into \"DOG DANNI\" (ID_DOG, NOMER, OTDATA, DODATA, SYSTOQNIE) "
         "values (5, '1', '2021-10-01', '2026-09-30', 'Действащ')",
         "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (6, 5, 105, 11, 1)",
         "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (7, 1, 105, 13, 1)",
         "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (8, 1, 105, 11, 1)",
         "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (9, 1, 105, 11, 2)"});
    const QString contract = QStringLiteral(
        "\"DOG DANNI\".systoqnie, \"DOG DANNI\".otdata, \"DOG DANNI\".dodata, \"DOG DANNI\".data, "
        "\"DOG DANNI\".nomer, \"DOG DANNI\".oszregno, \"DOG DANNI\".datapr, "
        "(extract (year from \"DOG DANNI\".dodata) - extract (year from \"DOG DANNI\".otdata))");
    const QString shown =
        QStringLiteral(
            "zemq.id_zemq, zemq.imot_no, zemq.plosht, kategoriq.plosht, kategoriq.vid, ntp.naim_ntp, "
            "mestnost.naim_mestn, fs.naim_fs, viddoksobstv.naim_vds, zemq.nznomer, zemq.nzdata, %1, hora.egn, hora.ime")
            .arg(contract);
    // Every row of the area, each column grouped.
    const QString everyColumn =
        QStringLiteral(
            "select %1 from fs inner join zemq on zemq.id_fs = fs.id_fs "
            "inner join mestnost on zemq.id_mest = mestnost.id_mestn "
            "inner join ntp on ntp.id_ntp = zemq.id_ntp "
            "inner join kategoriq on kategoriq.id_zemq = zemq.id_zemq "
            "left join viddoksobstv on viddoksobstv.id_vds = zemq.id_vds "
            "inner join doghorazemi on doghorazemi.id_zemq = zemq.id_zemq "
            "inner join \"DOG DANNI\" on \"DOG DANNI\".id_dog = doghorazemi.id_dog "
            "inner join hora on doghorazemi.id_sobstv = hora.id_hora cross join firma "
            "where mestnost.id_zeml = 1 and zemq.id_fs <> 1 and %2 group by %1 "
            "order by zemq.imot_no, zemq.id_zemq, kategoriq.vid, hora.ime, \"DOG DANNI\".nomer, "
            "\"DOG DANNI\".systoqnie, \"DOG DANNI\".otdata, \"DOG DANNI\".dodata, "
            "\"DOG DANNI\".data, \"DOG DANNI\".oszregno, \"DOG DANNI\".datapr, hora.egn")
            .arg(shown, schema::rent::farmingYearCondition());
    QString statement = transfers::dekl70::plotsStatement();
    statement.replace(QStringLiteral(":id_zeml"), QStringLiteral("1"));
    const QString lines = testsupport::selectedText(
        db_.path(), QStringLiteral("select %1 from (%2) L")
                        .arg(QStringLiteral("L.id_zemq, L.imot_no, L.imot_plosht, L.kat_plosht, L.vid, L.naim_ntp, "
                                            "L.naim_mestn, L.naim_fs, L.naim_vds, L.nznomer, L.nzdata, L.systoqnie, "
                                            "L.otdata, L.dodata, L.data, L.nomer, L.oszregno, L.datapr, L.srok, "
                                            "L.egn, L.ime"),
                             statement));
    EXPECT_EQ(lines, testsupport::selectedText(db_.path(), everyColumn));
    EXPECT_EQ(lines.count(QStringLiteral("; ")), 7);
    EXPECT_EQ(rows(transfers::dekl70::plotsStatement(), QStringLiteral("EGN"), 1),
              QStringList({"0415010003", "7501010004", "0415010003", "9001010005", "0415010003", "0415010003",
                           "9001010005", "0415010003"}));
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
