#include "registers/hora_rules.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

// What the panel holds: a municipality, a settlement, a name and an
// identifier chosen for an owner who is not foreign, as asked.
kit::PanelValues panel(bool municipality, bool settlement, const QString& name, const QString& identifier,
                       bool foreign = false, bool country = false)
{
    kit::PanelValues v;
    v.set(QStringLiteral("jvdblcObshtina"), {.chosen = municipality});
    v.set(QStringLiteral("jvdblcGrad"), {.chosen = settlement});
    v.set(QStringLiteral("dbedIme"), {.text = name});
    v.set(QStringLiteral("dbedEGN"), {.text = identifier});
    v.set(QStringLiteral("chbCHFL"), {.checked = foreign});
    v.set(QStringLiteral("jvdblcCountry"), {.chosen = country});
    return v;
}

std::optional<QString> refusal(const std::vector<kit::Check>& checks, const kit::PanelValues& v)
{
    const kit::Check* failing = kit::firstFailing(checks, v);
    return failing ? std::optional<QString>(failing->message) : std::nullopt;
}

TEST(HoraRules, TheSaveChecksRefuseInTheirOrder)
{
    const auto& save = hora::saveChecks();
    const QString name = QStringLiteral("Петър Иванов");
    // Nothing at all: the municipality is asked for first.
    EXPECT_EQ(refusal(save, panel(false, false, {}, {})), QStringLiteral("Изберете община!"));
    EXPECT_EQ(refusal(save, panel(true, false, {}, {})), QStringLiteral("Изберете населено място!"));
    EXPECT_EQ(refusal(save, panel(true, true, {}, {})), QStringLiteral("Няма дани!"));
    // Blanks alone are no name.
    EXPECT_EQ(refusal(save, panel(true, true, QStringLiteral(" "), {})), QStringLiteral("Няма дани!"));
    EXPECT_EQ(refusal(save, panel(true, true, name, QStringLiteral("1"))), std::nullopt);

    // A foreign person needs a country instead of an identifier.
    EXPECT_EQ(refusal(save, panel(true, true, name, {}, true)), QStringLiteral("Въведете държава!"));
    EXPECT_EQ(refusal(save, panel(true, true, name, {}, true, true)), std::nullopt);
    // One who is not foreign needs no country.
    EXPECT_EQ(refusal(save, panel(true, true, name, QStringLiteral("7001010011"))), std::nullopt);
}

TEST(HoraRules, YesToTheCloseQuestionWantsThePlaceThenTheIdentifierAndTheName)
{
    const auto& closing = hora::closingChecks();
    const QString name = QStringLiteral("Петър Иванов");
    EXPECT_EQ(refusal(closing, panel(false, false, name, QStringLiteral("7001010011"))),
              QStringLiteral("Изберете община!"));
    EXPECT_EQ(refusal(closing, panel(true, false, name, QStringLiteral("7001010011"))),
              QStringLiteral("Изберете населено място!"));
    EXPECT_EQ(refusal(closing, panel(true, true, name, {}, true, true)), QStringLiteral("Няма дани!"));
    EXPECT_EQ(refusal(closing, panel(true, true, {}, QStringLiteral("7001010011"))), QStringLiteral("Няма дани!"));
    // No country is asked for on this path.
    EXPECT_EQ(refusal(closing, panel(true, true, name, QStringLiteral("7001010011"), true)), std::nullopt);
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
