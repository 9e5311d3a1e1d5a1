#include "registers/firma_rules.h"

#include <gtest/gtest.h>

namespace {

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

// A complete legal entity as the screen's controls hold it.
kit::PanelValues full()
{
    kit::PanelValues v;
    const auto text = [&v](const char* control, const char* value) {
        v.set(QLatin1String(control), {.text = QString::fromUtf8(value), .chosen = true});
    };
    text("dbedEIN", "050000009");
    text("dbedNaim", "Агро ООД");
    text("dbedFDNo", "12/2010");
    text("dbedSyd", "БлОС");
    text("dbedAdres", "ул. Първа 1");
    text("jvdblcbOblast", "Благоевград");
    text("jvdblcbObshtina", "Благоевград");
    text("jvdblcNM", "Изгрев");
    text("dbedMOLEGN", "1000000002");
    text("jvdblcbVZP", "Юридическо лице");
    v.set(QStringLiteral("jvdbedFromYear"), {.date = QDate(2014, 10, 1)});
    v.set(QStringLiteral("jvdbedToYear"), {.date = QDate(2015, 9, 30)});
    return v;
}

std::optional<QString> refusal(const kit::PanelValues& v)
{
    const kit::Check* failing = kit::firstFailing(firma::saveChecks(), v);
    return failing ? std::optional<QString>(failing->message) : std::nullopt;
}

TEST(FirmaRules, ASaveNeedsThePeriodThenEveryRequiredEntryAndTheNameOnlyWhereItCanBeTyped)
{
    const QString missing = QStringLiteral("Моля попълнете всички данни!");
    EXPECT_EQ(refusal(full()), std::nullopt);

    kit::PanelValues natural = full();
    natural.set(QStringLiteral("dbedNaim"), {.enabled = false});
    EXPECT_EQ(refusal(natural), std::nullopt);
    natural.set(QStringLiteral("dbedNaim"), {.text = QStringLiteral("Агро ООД"), .enabled = false});
    EXPECT_EQ(refusal(natural), missing);

    for (const char* required : {"dbedEIN", "dbedNaim", "dbedFDNo", "dbedSyd", "dbedAdres", "jvdblcbOblast",
                                 "jvdblcbObshtina", "jvdblcNM", "dbedMOLEGN", "jvdblcbVZP"}) {
        kit::PanelValues v = full();
        v.set(QLatin1String(required), {});
        EXPECT_EQ(refusal(v), missing) << required;
        // A wrong period is told first.
        v.set(QStringLiteral("jvdbedToYear"), {.date = QDate(2016, 9, 30)});
        EXPECT_EQ(refusal(v), QStringLiteral("Въведете коректен период!")) << required;
    }
}

}  // namespace
