#include "workbook_reader.h"

#include "transfers/income_declaration_form.h"
#include "workbook/package.h"
#include "workbook/range.h"
#include "workbook/workbook_error.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace transfers;
namespace form = transfers::income_declaration;

namespace {

const QString kSprFL = QStringLiteral("SprFL");
const QString kIncome = QStringLiteral("Рента, аренда или друго възмездно предоставяне за ползване на земеделска земя");

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const WorkbookError& e) {
        return e.message();
    }
    return {};
}

struct Person {
    QString kol2, d, egn, name, country, countryCode, address, paid;
};

class IncomeDeclarationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        copy_ = dir_.filePath(QStringLiteral("декларация.xlsx"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_FORMS_DIR "/") + form::kFileName, copy_));
        book_ = Workbook::open(copy_);
        form::attachMacros(*book_);
        book_->unprotect();
        sheet_ = &book_->worksheet(kSprFL);
        sheet_->activate();
        sheet_->unprotect();
    }

    Range at(const QString& address) { return sheet_->range(address); }
    Range at(const char* column, int row) { return sheet_->range(QString::fromLatin1(column) + QString::number(row)); }

    // One line the way the income declaration export writes it.
    void writeLine(int row, const Person& p)
    {
        sheet_->activate();
        at("B", row).select();
        book_->run(p.kol2 == u'0' ? QStringLiteral("ChflN") : QStringLiteral("ChflY"));
        at("C", row).setValue(p.kol2);
        if (!p.d.isNull())
            at("D", row).setValue(p.d);
        if (!p.egn.isNull())
            at("E", row).setValue(p.egn);
        if (p.kol2 == u'1') {
            sheet_->unprotect();
            at("H", row).setValue(p.countryCode);
            at("G", row).setValue(p.country);
            at("I", row).setValue(p.address);
        }
        at("F", row).setValue(p.name);
        at("J", row).setValue(p.paid);
        at("K", row).setValue(QStringLiteral("0.00"));
        sheet_->unprotect();
        at("M", row).setValue(QStringLiteral("10"));
        at("N", row).setValue(kIncome);
        sheet_->protect();
        book_->run(QStringLiteral("NewLine"));
    }

    QTemporaryDir dir_;
    QString copy_;
    std::unique_ptr<Workbook> book_;
    Worksheet* sheet_ = nullptr;
};

TEST(IncomeDeclarationForm, CommittedTemplateIsTheOneItsDescriptionBuilds)
{
    QTemporaryDir dir;
    const QString built = dir.filePath(form::kFileName);
    form::buildTemplate()->saveAs(built);
    const QString committed = QStringLiteral(ARVENTA_FORMS_DIR "/") + form::kFileName;
    const QString regenerate = QStringLiteral("regenerate it with: " ARVENTA_FORMS_TOOL " " ARVENTA_FORMS_DIR);
    ASSERT_TRUE(QFile::exists(committed)) << committed.toStdString() << " is missing; " << regenerate.toStdString();
    const Package expected = Package::read(built), actual = Package::read(committed);
    ASSERT_EQ(actual.names(), expected.names()) << regenerate.toStdString();
    for (const QString& part : expected.names())
        EXPECT_EQ(actual.part(part), expected.part(part))
            << part.toStdString() << " differs; " << regenerate.toStdString();

    const QJsonObject read = readWithOpenpyxl(committed);
    EXPECT_EQ(read["sheets"].toArray(), QJsonArray{"SprFL"});
    EXPECT_TRUE(read["workbookLocked"].toBool());
    EXPECT_TRUE(sheetFacts(read, "SprFL")["protected"].toBool());
    EXPECT_EQ(sheetFacts(read, "SprFL")["selection"], "B12");
    const QJsonObject e4 = cellFacts(read, "SprFL", "E4");
    EXPECT_TRUE(e4["value"].isNull());
    EXPECT_EQ(e4["format"], "@");
    EXPECT_FALSE(e4["locked"].toBool());
    EXPECT_EQ(cellFacts(read, "SprFL", "E6")["value"], 0);
    EXPECT_EQ(cellFacts(read, "SprFL", "N10")["value"], "Вид на дохода");
    EXPECT_EQ(cellFacts(read, "SprFL", "E12")["format"], "@");
    EXPECT_TRUE(cellFacts(read, "SprFL", "G12")["locked"].toBool());
    EXPECT_TRUE(cellFacts(read, "SprFL", "M12")["locked"].toBool());
}

TEST_F(IncomeDeclarationTest, LinesWrittenThroughTheMacrosAsTheExportWritesThem)
{
    EXPECT_EQ(at(QStringLiteral("E4")).value().toNumber(), 0);  // the emptiness test of an empty form
    at(QStringLiteral("E4")).setValue(QStringLiteral("040123456"));
    at(QStringLiteral("F4")).setValue(QStringLiteral("Агро ООД"));
    at(QStringLiteral("I4")).setValue(QStringLiteral("с. Брестник"));
    writeLine(12, {"0", "", "0541010006", "Иван Петров", {}, {}, {}, "123,45"});
    writeLine(13, {"1", "1", "1000000007", "Hans Müller", "Германия", "DE", "Berlin", "10,05"});
    writeLine(14, {"0", {}, {}, "Без ЕГН", {}, {}, {}, "1,50"});
    book_->save();

    const QJsonObject read = readWithOpenpyxl(copy_);
    auto cell = [&](const char* address) { return cellFacts(read, "SprFL", address); };
    EXPECT_EQ(cell("E4")["value"], "040123456");
    EXPECT_EQ(cell("F4")["value"], "Агро ООД");
    // A local person: numbered, 0 in C, the identifier as a text with its zero.
    EXPECT_EQ(cell("B12")["value"], 1);
    EXPECT_EQ(cell("C12")["value"], 0);
    EXPECT_EQ(cell("C12")["type"], "n");
    EXPECT_TRUE(cell("D12")["value"].isNull());
    EXPECT_EQ(cell("E12")["value"], "0541010006");
    EXPECT_EQ(cell("E12")["type"], "s");
    EXPECT_EQ(cell("J12")["value"], 123.45);
    EXPECT_EQ(cell("K12")["value"], 0);
    EXPECT_EQ(cell("M12")["value"], 10);
    EXPECT_EQ(cell("N12")["value"], kIncome);
    EXPECT_TRUE(cell("G12")["locked"].toBool());
    // A foreign one: 1 in C and D, the country and address open and filled.
    EXPECT_EQ(cell("B13")["value"], 2);
    EXPECT_EQ(cell("C13")["value"], 1);
    EXPECT_EQ(cell("D13")["value"], 1);
    EXPECT_EQ(cell("E13")["value"], "1000000007");
    EXPECT_EQ(cell("G13")["value"], "Германия");
    EXPECT_EQ(cell("H13")["value"], "DE");
    EXPECT_EQ(cell("I13")["value"], "Berlin");
    EXPECT_FALSE(cell("G13")["locked"].toBool());
    // No identifier: E stays empty.
    EXPECT_EQ(cell("B14")["value"], 3);
    EXPECT_TRUE(cell("E14")["value"].isNull());
    // The header counts the lines and adds up the amounts; row 15 waits as a line.
    EXPECT_EQ(cell("E6")["value"], 3);
    EXPECT_EQ(cell("E7")["value"], 135);
    EXPECT_EQ(cell("E15")["format"], "@");
    EXPECT_EQ(cell("J15")["format"], "0.00");
    EXPECT_EQ(cell("N15")["borders"].toArray(), (QJsonArray{"thin", "thin", "thin", "thin"}));
    EXPECT_FALSE(cell("F15")["locked"].toBool());
    EXPECT_TRUE(cell("B16")["value"].isNull());
    EXPECT_EQ(sheetFacts(read, "SprFL")["selection"], "B15");
    EXPECT_TRUE(sheetFacts(read, "SprFL")["protected"].toBool());
}

TEST_F(IncomeDeclarationTest, MacrosRefuseALineOutOfTurnAndTheSheetGuardsItsLockedCells)
{
    at(QStringLiteral("B13")).select();
    EXPECT_EQ(
        errorOf([&] { book_->run(QStringLiteral("ChflN")); }),
        QStringLiteral("Макросът ChflN изисква избрана клетка B12, първия свободен ред на справката, а е избрана B13"));
    at(QStringLiteral("B12")).select();
    EXPECT_EQ(errorOf([&] { book_->run(QStringLiteral("NewLine")); }),
              QStringLiteral("Редът 12 не е започнат: първо се изпълнява ChflY или ChflN"));
    book_->run(QStringLiteral("ChflN"));
    EXPECT_TRUE(sheet_->isProtected());
    at(QStringLiteral("F12")).setValue(QStringLiteral("Иван"));
    EXPECT_EQ(errorOf([&] { at(QStringLiteral("G12")).setValue(QStringLiteral("България")); }),
              QStringLiteral("Клетка G12 на лист \"SprFL\" е защитена и не може да бъде променена"));
    EXPECT_FALSE(errorOf([&] { at(QStringLiteral("M12")).setValue(QStringLiteral("10")); }).isEmpty());
    at(QStringLiteral("J12")).setValue(QStringLiteral("сто"));
    EXPECT_EQ(errorOf([&] { book_->run(QStringLiteral("NewLine")); }), QStringLiteral("Стойността \"сто\" не е число"));
    EXPECT_EQ(errorOf([&] { book_->run(QStringLiteral("Dobavi")); }),
              QStringLiteral("Макросът \"Dobavi\" не е намерен в работната книга \"декларация.xlsx\""));
}

TEST_F(IncomeDeclarationTest, AFilledHeaderFailsTheEmptinessTestAndAFailedTransferLeavesTheFileAsItWas)
{
    QFile original(copy_);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    at(QStringLiteral("E4")).setValue(QStringLiteral("0"));
    EXPECT_EQ(at(QStringLiteral("E4")).value().toNumber(), 0);  // 0 counts as empty
    at(QStringLiteral("E4")).setValue(QStringLiteral("040123456"));
    EXPECT_NE(at(QStringLiteral("E4")).value().toNumber(), 0);
    at(QStringLiteral("E4")).setValue(QStringLiteral("Агро"));
    EXPECT_FALSE(errorOf([&] { at(QStringLiteral("E4")).value().toNumber(); }).isEmpty());

    // A transfer broken off half-way, by a macro's refusal, and then a save that fails.
    writeLine(12, {"0", "", "0541010006", "Иван Петров", {}, {}, {}, "5"});
    at(QStringLiteral("B14")).select();
    EXPECT_FALSE(errorOf([&] { book_->run(QStringLiteral("ChflY")); }).isEmpty());
    EXPECT_FALSE(errorOf([&] { book_->saveAs(dir_.filePath(QStringLiteral("no/such/folder.xlsx"))); }).isEmpty());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), before);
}

}  // namespace
