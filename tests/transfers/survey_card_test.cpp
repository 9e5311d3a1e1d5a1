#include "survey_card_test_data.h"
#include "survey_database_reader.h"
#include "workbook_reader.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "transfers/income_declaration_form.h"
#include "transfers/land_declaration.h"
#include "transfers/survey_card_export.h"
#include "transfers/survey_card_form.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

namespace sc = transfers::survey_card;
namespace sd = transfers::survey_database;

namespace {

QByteArray digestOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

class SurveyCardTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::runSql(db_.path(), surveycardtest::all()); }

    // A fresh copy of a committed form or database.
    QString copyOf(const QString& name, const QString& as)
    {
        const QString path = dir_.filePath(as);
        QFile::remove(path);
        EXPECT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + name, path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
    std::pair<sc::Firm, std::vector<sc::Area>> card() { return sc::readCard(area_); }
    QString fill(const QString& path)
    {
        const auto [firm, areas] = card();
        return sc::transfer(path, firm, areas);
    }
    // Plot number and basis of each row of a reading of the plots.
    QStringList plots(const QStringList& lines, int idZeml, const char* extra)
    {
        dataset::Dataset q(area_, QStringLiteral("IBQImoti"));
        q.sql().setLines(QStringList{sc::plotsStatement()} + lines);
        if (idZeml)
            q.setParam(QStringLiteral("id_zeml"), fb::Value(idZeml));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.field(QStringLiteral("IMOT_NO")).asString() + u' ' + q.field(QLatin1String(extra)).displayText();
        return out;
    }

    testsupport::TestDatabase db_;
    dataset::Database database_{db_.path()};
    dataset::TransactionArea area_{database_, QStringLiteral("IBTAK")};
    QTemporaryDir dir_;
};

// Own land is valid whatever its contracts; a plot in force is valid; the
// others carry why they are not, and only valid plots reach the grid.
TEST_F(SurveyCardTest, EachPlotHasItsBasisAndTheGridOnlyTheValidOnes)
{
    EXPECT_EQ(plots(sc::allPlotLines(), 0, "OSNOVANIE"),
              (QStringList{"200 да", "400 без договор", "500 да", "501 да", "000101 да", "001002 да", "003001 да",
                           "003002 без договор", "003003 изтекъл договор"}));
    EXPECT_EQ(plots(sc::areaPlotLines(), 1, "PL"), (QStringList{"000101 0,1234", "001002 0,5", "003001 0,4"}));
    EXPECT_TRUE(plots(sc::areaPlotLines(), 3, "PL").isEmpty());

    dataset::Dataset all(area_, QStringLiteral("IBQAll"));
    all.sql().setLines(QStringList{sc::plotsStatement()} + sc::allPlotLines());
    const auto invalid = sc::invalidRows(all);
    ASSERT_EQ(invalid.size(), 3u);
    EXPECT_EQ(sc::invalidFields().indexOf(QStringLiteral("OSNOVANIE")), 8);
    EXPECT_EQ(invalid[0][0].toString(), QStringLiteral("04217"));
    EXPECT_DOUBLE_EQ(invalid[0][6].toDouble(), 0.9);
    EXPECT_EQ(invalid[1][8].toString(), QStringLiteral("без договор"));
    EXPECT_EQ(invalid[2][3].toString(), QStringLiteral("003003"));
    EXPECT_EQ(invalid[2][8].toString(), QStringLiteral("изтекъл договор"));

    EXPECT_EQ(sc::sumText(1.0234), QStringLiteral("1,0234 ха"));
    EXPECT_EQ(sc::hectaresText(1.25), QStringLiteral("1,25"));
    EXPECT_EQ(sc::hectaresText(0.33330000000000004), QStringLiteral("0,3333"));
    EXPECT_EQ(sc::hectaresText(7), QStringLiteral("7"));
}

// The header, one card line per area with valid plots (Бистрица skipped
// without leaving a line), each area's plots from row 6 of table 1 again,
// every plot in the register, the totals, and the form protected again.
TEST_F(SurveyCardTest, FillsTheFormThroughItsMacros)
{
    const QString path = copyOf(sc::kFormFileName, QStringLiteral("карта.xlsx"));
    ASSERT_EQ(fill(path), QString());
    const QJsonObject book = readWithOpenpyxl(path);
    const auto at = [&](const QString& sheet, const char* cell) -> QJsonValue {
        return cellFacts(book, sheet, QLatin1String(cell))[QStringLiteral("value")];
    };
    QStringList controls;
    for (const QJsonValue& n : book[QStringLiteral("definedNames")].toArray())
        controls << n[QStringLiteral("name")].toString() + u'=' + n[QStringLiteral("value")].toString();
    EXPECT_EQ(controls, (QStringList{"comboHeadOblast=\"Благоевград\"", "comboHeadTypeZp=\"Юридическо лице\"",
                                     "comboHeadObshtina=\"Благоевград\"", "comboHeadGrad=\"с. Изгрев\"",
                                     "comboNMOblast=\"\"", "comboNMObshtina=\"\"", "comboNMgrad=\"\""}));
    const QString card = sc::kCardSheet;
    EXPECT_EQ(at(card, "D9"), QJsonValue("Нива ООД"));
    EXPECT_EQ(at(card, "P9"), QJsonValue("050000009"));
    EXPECT_EQ(at(card, "P11"), QJsonValue("7501010004"));
    EXPECT_EQ(at(card, "I17"), QJsonValue("073123456"));
    EXPECT_EQ(at(card, "D6"), QJsonValue("с. Изгрев"));
    EXPECT_EQ(at(card, "I31"), QJsonValue("с. Изгрев"));
    EXPECT_EQ(at(card, "M31"), QJsonValue(3));
    EXPECT_DOUBLE_EQ(at(card, "N31").toDouble(), 1.0234);
    EXPECT_EQ(at(card, "I32"), QJsonValue("с. Бело поле"));
    EXPECT_EQ(at(card, "B33"), QJsonValue(3));
    EXPECT_EQ(at(card, "I33"), QJsonValue("с. Бучино"));
    EXPECT_DOUBLE_EQ(at(card, "N33").toDouble(), 1.5833);
    EXPECT_TRUE(at(card, "B34").isNull());
    EXPECT_EQ(at(card, "E27"), QJsonValue(3));
    EXPECT_EQ(at(card, "J27"), QJsonValue(6));
    EXPECT_DOUBLE_EQ(at(card, "N27").toDouble(), 3.3067);

    const QString table = sc::kTableSheet;
    EXPECT_EQ(at(table, "B6"), QJsonValue("500"));
    EXPECT_EQ(at(table, "C6"), QJsonValue("Ливада"));
    EXPECT_EQ(at(table, "D6"), QJsonValue("Собствена"));
    EXPECT_EQ(at(table, "E6"), QJsonValue(1.25));
    EXPECT_EQ(at(table, "B7"), QJsonValue("501"));
    EXPECT_TRUE(at(table, "B8").isNull());
    EXPECT_EQ(at(sc::kPlotsSheet, "H1"), QJsonValue(6));
    EXPECT_EQ(at(sc::kPlotsSheet, "B2"), QJsonValue("000101"));
    EXPECT_EQ(at(sc::kPlotsSheet, "A6"), QJsonValue("с. Бучино"));
    EXPECT_EQ(at(sc::kPlotsSheet, "E6"), QJsonValue(1.25));
    for (const QString& sheet : {card, table, sc::kPlotsSheet})
        EXPECT_TRUE(sheetFacts(book, sheet)[QStringLiteral("protected")].toBool()) << sheet.toStdString();
    EXPECT_TRUE(book[QStringLiteral("workbookLocked")].toBool());
}

// Another workbook, a filled form and a failure half-way leave the file as it was.
TEST_F(SurveyCardTest, RefusedOrFailedTransfersLeaveTheFileAsItWas)
{
    const QString other = copyOf(transfers::income_declaration::kFileName, QStringLiteral("друга.xlsx"));
    const QByteArray otherBefore = digestOf(other);
    EXPECT_EQ(fill(other), sc::kWrongWorkbook);
    EXPECT_EQ(digestOf(other), otherBefore);

    const QString form = copyOf(sc::kFormFileName, QStringLiteral("карта.xlsx"));
    ASSERT_EQ(fill(form), QString());
    const QByteArray filled = digestOf(form);
    EXPECT_EQ(fill(form), sc::kFilled);
    EXPECT_EQ(digestOf(form), filled);

    // A form whose table 1 is gone fails at the first area, after the header was typed.
    const QString broken = copyOf(sc::kFormFileName, QStringLiteral("счупена.xlsx"));
    {
        auto book = transfers::Workbook::open(broken);
        book->unprotect();
        book->worksheet(sc::kTableSheet).setName(QStringLiteral("таблица 2"));
        book->save();
    }
    const QByteArray brokenBefore = digestOf(broken);
    try {
        fill(broken);
        ADD_FAILURE() << "the transfer went through";
    } catch (const transfers::WorkbookError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("В работната книга няма лист \"таблица 1\""));
    }
    EXPECT_EQ(digestOf(broken), brokenBefore);
}

// The macros refuse to run out of turn, as the form's buttons would.
TEST_F(SurveyCardTest, TheFormsMacrosKeepTheirOrder)
{
    auto book = sc::buildTemplate();
    sc::attachMacros(*book);
    const auto refusal = [&](const char* macro) {
        try {
            book->run(QLatin1String(macro));
        } catch (const transfers::WorkbookError& e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(refusal("btnDobavi_Click"), QStringLiteral("Изберете област, община и населено място на землището"));
    EXPECT_EQ(refusal("sheetkarta.btnDobaviDanniZaImot_Click"),
              QStringLiteral("Макросът sheetkarta.btnDobaviDanniZaImot_Click изисква избрана клетка M30 на "
                             "последното добавено землище, а е избрана D9"));
    EXPECT_EQ(refusal("sheettab1.btnEnd_Click"),
              QStringLiteral("Макросът sheettab1.btnEnd_Click работи само на лист \"таблица 1\""));
    EXPECT_EQ(refusal("sheetkarta.btnSave_Click"), QStringLiteral("Изберете областта на земеделския стопанин"));
}

// The survey database gets the areas with valid plots in the areas' order,
// the plots by EKATTE and number in hectares, and the last area's codes.
TEST_F(SurveyCardTest, GivesTheSurveyDatabaseItsAreasPlotsAndFirm)
{
    const QString path = copyOf(sd::kFileName, QStringLiteral("zp_v15.mde"));
    const auto [firm, areas] = card();
    ASSERT_EQ(sd::write(path, firm.record, sc::databaseAreas(areas), sc::databasePlots(areas)), QString());
    const QJsonObject db = readSurveyDatabase(path);
    EXPECT_EQ(surveyRows(db, QStringLiteral("karta_spisak_nm")),
              (QJsonArray{QJsonArray{"00134"}, QJsonArray{"03664"}, QJsonArray{"07168"}}));
    const QJsonArray lines = surveyRows(db, QStringLiteral("VHOD_L"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[4].toArray(), (QJsonArray{"07168", "500", "2", "1", "   1.250", "   0.250"}));
    EXPECT_EQ(lines[0].toArray().at(1), QJsonValue("000101"));
}

}  // namespace
