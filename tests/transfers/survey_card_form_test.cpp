#include "workbook_reader.h"

#include "workbook/package.h"
#include "transfers/survey_card_form.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

namespace card = transfers::survey_card;

namespace {

// The committed form is what its description builds: the three sheets
// protected, the farmer's cells open, the named controls empty.
TEST(SurveyCardForm, CommittedTemplateIsTheOneItsDescriptionBuilds)
{
    QTemporaryDir dir;
    const QString built = dir.filePath(card::kFormFileName);
    card::buildTemplate()->saveAs(built);
    const QString committed = QStringLiteral(ARVENTA_FORMS_DIR "/") + card::kFormFileName;
    const QString regenerate = QStringLiteral("regenerate it with: " ARVENTA_FORMS_TOOL " " ARVENTA_FORMS_DIR);
    ASSERT_TRUE(QFile::exists(committed)) << committed.toStdString() << " is missing; " << regenerate.toStdString();
    const auto expected = transfers::Package::read(built), actual = transfers::Package::read(committed);
    ASSERT_EQ(actual.names(), expected.names()) << regenerate.toStdString();
    for (const QString& part : expected.names())
        EXPECT_EQ(actual.part(part), expected.part(part))
            << part.toStdString() << " differs; " << regenerate.toStdString();

    const QJsonObject read = readWithOpenpyxl(committed);
    EXPECT_EQ(read["sheets"].toArray(), (QJsonArray{"анкетна карта", "таблица 1", "имоти"}));
    EXPECT_EQ(read["active"], 0);
    EXPECT_TRUE(read["workbookLocked"].toBool());
    EXPECT_EQ(read["definedNames"].toArray().size(), 7);
    EXPECT_EQ(read["definedNames"].toArray().at(0)["value"], "\"\"");
    for (const QString& sheet : read["sheets"].toVariant().toStringList())
        EXPECT_TRUE(sheetFacts(read, sheet)["protected"].toBool()) << sheet.toStdString();
    for (const char* cell : {"D9", "P9", "F11", "P11", "C17", "G17", "R17"})
        EXPECT_FALSE(cellFacts(read, "анкетна карта", cell)["locked"].toBool()) << cell;
    EXPECT_EQ(cellFacts(read, "анкетна карта", "P9")["format"], "@");
    EXPECT_TRUE(cellFacts(read, "анкетна карта", "M31")["locked"].toBool() ||
                cellFacts(read, "анкетна карта", "M31").isEmpty());
    EXPECT_EQ(cellFacts(read, "анкетна карта", "E27")["value"], 0);
    EXPECT_FALSE(cellFacts(read, "таблица 1", "E6")["locked"].toBool());
    EXPECT_EQ(cellFacts(read, "таблица 1", "E6")["format"], "0.0000");
    EXPECT_EQ(cellFacts(read, "таблица 1", "B5")["value"], "Имот №");
}

}  // namespace
