#include "app/screen_registry.h"
#include "common/register_screen.h"
#include "dm/tdm.h"
#include "registers/lookup_lists.h"
#include "rent/tfrentakult.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>

#include <memory>

namespace {

// Every described screen is built on the delivered database and its
// description checked against what the database reads: a misspelt column
// fails here instead of showing a message box to a user.
TEST(ScreenDescriptions, EveryScreenNamesColumnsItsCursorAndListHaveAndNoTwoWidgetsShareAName)
{
    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    // Screens that open their report layout as they are made find it here.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    TDM dm(db.path());
    ScreenRegistry registry;
    registerScreens(registry);
    const ScreenContext context{dm, prompter, registry.sortSwitches(), registry.outputChooser()};

    std::vector<std::unique_ptr<Screen>> screens;
    for (const QString& kind : registry.kinds())
        screens.emplace_back(registry.create(kind, context));
    for (LookupList list :
         {LookupList::SownCrops, LookupList::DocumentKinds, LookupList::ContractTypes, LookupList::ContractKinds})
        screens.emplace_back(makeLookupList(list, dm, prompter));

    screens.emplace_back(new TFRentaKult(dm, prompter));

    QStringList described;
    for (const auto& screen : screens) {
        ASSERT_TRUE(screen);
        if (auto* registerScreen = qobject_cast<RegisterScreen*>(screen.get())) {
            described << screen->objectName();
            EXPECT_EQ(registerScreen->descriptionFaults(), QStringList()) << screen->objectName().toStdString();
        }
    }
    // Every screen kind told as data, counted exactly: a screen that stops
    // being one (or a new one) is noticed here.
    described.sort();
    EXPECT_EQ(described,
              (QStringList{"TFAK",         "TFAK_access",      "TFDekl69",           "TFDekl70",       "TFDeklNAP",
                           "TFDogTip",     "TFDogVid",         "TFDogovor",          "TFFirma",        "TFHora",
                           "TFJurnal",     "TFKatKoef",        "TFNerazdadenaRenta", "TFPotrebiteli",  "TFRentaKult",
                           "TFSobstvZemq", "TFSprImotiSobstv", "TFSprbezhora",       "TFSprbezimoti",  "TFSprimoti",
                           "TFSprnr",      "TFVidDokSobstv",   "TFVidRenta",         "TFZasqtaKultura"}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    QDir::setCurrent(previous);
}

}  // namespace
