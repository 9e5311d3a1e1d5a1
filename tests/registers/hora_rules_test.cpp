#include "registers/hora_rules.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

// Everything a save needs, for a person who is not foreign.
hora::Entries complete()
{
    hora::Entries e;
    e.municipalityChosen = true;
    e.settlementChosen = true;
    e.name = QStringLiteral("Петър Иванов");
    e.identifier = QStringLiteral("7001010011");
    return e;
}

TEST(HoraRules, TheSaveChecksRefuseInTheirOrder)
{
    hora::Entries e;  // nothing at all: the municipality is asked for first
    EXPECT_EQ(hora::saveRefusal(e), QStringLiteral("Изберете община!"));
    e.municipalityChosen = true;
    EXPECT_EQ(hora::saveRefusal(e), QStringLiteral("Изберете населено място!"));
    e.settlementChosen = true;
    EXPECT_EQ(hora::saveRefusal(e), QStringLiteral("Няма дани!"));
    e.name = QStringLiteral(" ");  // a blank counts as a name
    EXPECT_EQ(hora::saveRefusal(e), QStringLiteral("Няма данни!"));
    e.identifier = QStringLiteral("1");
    EXPECT_EQ(hora::saveRefusal(e), std::nullopt);

    // A foreign person needs a country instead of an identifier.
    e = complete();
    e.foreign = true;
    e.identifier.clear();
    EXPECT_EQ(hora::saveRefusal(e), QStringLiteral("Въведете държава!"));
    e.countryChosen = true;
    EXPECT_EQ(hora::saveRefusal(e), std::nullopt);
    // One who is not foreign needs no country.
    e = complete();
    EXPECT_EQ(hora::saveRefusal(e), std::nullopt);
}

TEST(HoraRules, TheCountryFollowsTheFlagUnlessTheOwnerHasOne)
{
    EXPECT_EQ(hora::countryToSelect(false, QString()), QStringLiteral("BG"));
    EXPECT_EQ(hora::countryToSelect(true, QString()), std::nullopt);  // left as it is
    EXPECT_EQ(hora::countryToSelect(false, QStringLiteral("DE")), QStringLiteral("DE"));
    EXPECT_EQ(hora::countryToSelect(true, QStringLiteral("DE")), QStringLiteral("DE"));

    const hora::Country notForeign = hora::storedCountry(false, QStringLiteral("DE"));
    EXPECT_EQ(notForeign.chfl, QStringLiteral("не"));
    EXPECT_EQ(notForeign.kodCountry, QStringLiteral("BG"));
    const hora::Country foreign = hora::storedCountry(true, QStringLiteral("DE"));
    EXPECT_EQ(foreign.chfl, QStringLiteral("да"));
    EXPECT_EQ(foreign.kodCountry, QStringLiteral("DE"));
}

TEST(HoraRules, TheIdentifierWarningDependsOnTheForeignFlag)
{
    const std::optional<QString> none;
    EXPECT_EQ(hora::identifierWarning(false, QString()), none);
    EXPECT_EQ(hora::identifierWarning(true, QString()), none);
    EXPECT_EQ(hora::identifierWarning(false, QStringLiteral("7001010011")), none);     // personal number
    EXPECT_EQ(hora::identifierWarning(false, QStringLiteral("121212121")), none);      // company code
    EXPECT_EQ(hora::identifierWarning(false, QStringLiteral("0500000090007")), none);  // thirteen digits
    EXPECT_EQ(hora::identifierWarning(false, QStringLiteral("1000000001")), QStringLiteral("Грешен ЕГН/ЕИН!"));
    EXPECT_EQ(hora::identifierWarning(true, QStringLiteral("1000000001")), none);  // a foreigner's number
    EXPECT_EQ(hora::identifierWarning(true, QStringLiteral("1000000002")), QStringLiteral("Грешен ЛНЧ!"));
    EXPECT_EQ(hora::identifierWarning(true, QStringLiteral("121212121")), QStringLiteral("Грешен ЛНЧ!"));
}

}  // namespace
