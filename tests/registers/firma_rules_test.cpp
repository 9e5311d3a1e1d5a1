#include "registers/firma_rules.h"

#include <gtest/gtest.h>

namespace {

using firma::Entries;

TEST(FirmaRules, TheSecondDateFallsInTheNextCalendarYear)
{
    EXPECT_TRUE(firma::isFarmingYear(QDate(2014, 10, 1), QDate(2015, 9, 30)));
    EXPECT_TRUE(firma::isFarmingYear(QDate(2014, 1, 1), QDate(2015, 12, 31)));  // days and months are free
    EXPECT_FALSE(firma::isFarmingYear(QDate(2015, 1, 1), QDate(2015, 12, 31)));
    EXPECT_FALSE(firma::isFarmingYear(QDate(2014, 10, 1), QDate(2016, 9, 30)));
    EXPECT_FALSE(firma::isFarmingYear(QDate(2015, 10, 1), QDate(2014, 9, 30)));
    EXPECT_FALSE(firma::isFarmingYear(QDate(), QDate(2015, 9, 30)));
    EXPECT_FALSE(firma::isFarmingYear(QDate(2014, 10, 1), QDate()));
}

TEST(FirmaRules, TheVatNumberIsProposedOnlyWhereNoneIsStored)
{
    EXPECT_EQ(firma::proposedVat(QStringLiteral("050000009"), QString()), QStringLiteral("BG050000009"));
    EXPECT_EQ(firma::proposedVat(QStringLiteral("050000009"), QStringLiteral("BG111")), std::nullopt);
    EXPECT_EQ(firma::proposedVat(QString(), QString()), std::nullopt);
}

TEST(FirmaRules, TheFirmIdentifierMayBeACompanyCodeOrAPersonalNumber)
{
    for (const char* good : {"050000009", "0500000090007", "1000000002", "1000000001"})
        EXPECT_TRUE(firma::isFirmIdentifier(QLatin1String(good))) << good;
    for (const char* bad : {"", "050000000", "1000000003", " 050000009"})
        EXPECT_FALSE(firma::isFirmIdentifier(QLatin1String(bad))) << bad;
    EXPECT_TRUE(firma::isPersonalNumber(QStringLiteral("1000000002")));
    EXPECT_TRUE(firma::isPersonalNumber(QStringLiteral("1000000001")));
    EXPECT_FALSE(firma::isPersonalNumber(QStringLiteral("050000009")));  // a company code is no person
    EXPECT_FALSE(firma::isPersonalNumber(QString()));
}

TEST(FirmaRules, ASaveNeedsEveryRequiredEntryAndTheNameOnlyWhereItCanBeTyped)
{
    Entries full;
    full.ein = QStringLiteral("050000009");
    full.name = QStringLiteral("Агро ООД");
    full.fd = QStringLiteral("12/2010");
    full.os = QStringLiteral("БлОС");
    full.adress = QStringLiteral("ул. Първа 1");
    full.oblast = QStringLiteral("Благоевград");
    full.obshtina = QStringLiteral("Благоевград");
    full.nasMqsto = QStringLiteral("Изгрев");
    full.egnMol = QStringLiteral("1000000002");
    full.vzp = QStringLiteral("Юридическо лице");
    EXPECT_TRUE(firma::isComplete(full));

    Entries natural = full;
    natural.name.clear();
    natural.nameEnabled = false;
    EXPECT_TRUE(firma::isComplete(natural));
    natural.name = QStringLiteral("Агро ООД");
    EXPECT_FALSE(firma::isComplete(natural));
    Entries unnamed = full;
    unnamed.name.clear();
    EXPECT_FALSE(firma::isComplete(unnamed));

    for (QString Entries::*required : {&Entries::ein, &Entries::fd, &Entries::os, &Entries::adress, &Entries::oblast,
                                       &Entries::obshtina, &Entries::nasMqsto, &Entries::egnMol, &Entries::vzp}) {
        Entries missing = full;
        (missing.*required).clear();
        EXPECT_FALSE(firma::isComplete(missing));
    }
}

}  // namespace
