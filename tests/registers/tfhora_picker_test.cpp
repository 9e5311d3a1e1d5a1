// The owners register: the close question, and the owner picker beside the
// register.
#include "registers/tfhora_test.h"

#include <QTest>

namespace tfhoratest {

TEST_F(TFHoraTest, TheCloseQuestionSavesWithoutTheFlagAndCountryOrDiscards)
{
    // Yes with no place chosen: the place is asked for as "Запис" asks, and
    // nothing is stored in whatever place the geography lists are on.
    open();
    click("bitHoraDob");
    type("dbedEGN", QStringLiteral("6002020028"));
    prompter.answerYes();
    EXPECT_FALSE(screen->close());
    EXPECT_EQ(prompter.shown(), (QStringList{kAskSave, QStringLiteral("Изберете община!")}));
    EXPECT_FALSE(panel()->isHidden());
    EXPECT_EQ(count(QStringLiteral("HORA where EGN = '6002020028'")), 0);

    // Yes without a name: the message, and the register stays.
    choosePlace();
    prompter.clearShown();
    prompter.answerYes();
    EXPECT_FALSE(screen->close());
    EXPECT_EQ(prompter.shown(), (QStringList{kAskSave, kNoName}));
    EXPECT_FALSE(panel()->isHidden());

    // Yes with both: stored as typed, in the chosen place, with no flag and
    // no country; still listed, with an empty country.
    type("dbedIme", QStringLiteral("Затворен Със Запис"));
    prompter.answerYes();
    EXPECT_TRUE(screen->close());
    EXPECT_TRUE(closed());
    EXPECT_EQ(stored(QStringLiteral("6002020028"), QStringLiteral("IME, CHFL, KOD_COUNTRY")),
              (QStringList{"Затворен Със Запис", "NULL", "NULL"}));
    open();
    select(QStringLiteral("6002020028"));
    EXPECT_EQ(selected(2), QString());

    // A foreigner unticked and saved by the close question keeps his flag and country.
    select(QStringLiteral("1000000001"));
    click("bitHoraKor");
    QTest::mouseClick(foreignBox(), Qt::LeftButton);
    type("dbedTel", QStringLiteral("555"));
    prompter.answerYes();
    EXPECT_TRUE(screen->close());
    EXPECT_EQ(stored(QStringLiteral("1000000001"), QStringLiteral("TEL, CHFL, KOD_COUNTRY")),
              (QStringList{"555", "да", "DE"}));

    // No: nothing is kept.
    open();
    select(QStringLiteral("7001010011"));
    click("bitHoraKor");
    type("dbedIme", QStringLiteral("Не се пази"));
    prompter.answerNo();
    EXPECT_TRUE(screen->close());
    EXPECT_EQ(stored(QStringLiteral("7001010011"), QStringLiteral("IME")), QStringList{"Петър Иванов"});
    EXPECT_EQ(dm->THora.state(), dataset::State::Browse);
}

TEST_F(TFHoraTest, APickerHandsTheSelectedOwnerToItsOpenerAndCloses)
{
    StubOpener opener;
    TFHora& s = open();
    s.pickFor(opener, OwnerPick::ChangeShareOwner, 2);
    QStringList shown;
    for (const char* name : {"bitHoraIzberi", "bitHoraIzberiEdit", "bitIstoriqIzberi", "bitIstoriqIzberiEdit"}) {
        auto* b = control<QPushButton>(name);
        EXPECT_EQ(b->text(), QStringLiteral("Избери"));
        if (b->isVisible())
            shown << QLatin1String(name);
    }
    EXPECT_EQ(shown, QStringList{"bitHoraIzberiEdit"});
    EXPECT_EQ(selected(), QStringLiteral("7102020023"));  // positioned on the owner of the row changed

    // Everything else works as usual, but the pick waits while the panel is open.
    click("bitHoraKor");
    EXPECT_FALSE(control<QPushButton>("bitHoraIzberiEdit")->isEnabled());
    click("bitOtkaz");
    select(QStringLiteral("0500000090007"));
    click("bitHoraIzberiEdit");
    ASSERT_EQ(opener.picked.size(), 1u);
    EXPECT_EQ(opener.picked[0], std::make_pair(OwnerPick::ChangeShareOwner, 3));
    EXPECT_EQ(dm->THora["ID_HORA"].asInt(), 3);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(opener.cancelled.empty());
    EXPECT_TRUE(prompter.shown().isEmpty());
}

// A picker and the register share THora: a row pending in one keeps the
// other from starting, correcting or deleting one (and from failing hard).
TEST_F(TFHoraTest, TwoRegistersNeverShareOnePendingRow)
{
    open();
    auto picker = std::make_unique<TFHora>(module(), prompter, direction);
    picker->show();
    click("bitHoraDob");
    for (const char* name : {"bitHoraDob", "bitHoraKor", "bitHoraDel"})
        picker->findChild<QPushButton*>(QLatin1String(name))->click();
    EXPECT_EQ(prompter.shown(), QStringList(3, "Запишете или откажете корекцията в другия прозорец!"));
    EXPECT_TRUE(module().THora.isEditing());
    click("bitOtkaz");
    picker->findChild<QPushButton*>("bitHoraDob")->click();
    EXPECT_TRUE(picker->findChild<QWidget*>("panelHora")->isVisible());
    picker->findChild<QPushButton*>("bitOtkaz")->click();
}

TEST_F(TFHoraTest, ClosingAPickerWithItsPanelOpenAndNoCancelsTheOpenersPendingRow)
{
    auto opener = std::make_unique<StubOpener>();
    TFHora& s = open();
    s.pickFor(*opener, OwnerPick::AddHistory);
    click("bitHoraDob");
    prompter.answerNo();
    EXPECT_TRUE(s.close());
    EXPECT_EQ(opener->cancelled, std::vector<OwnerPick>{OwnerPick::AddHistory});
    EXPECT_TRUE(opener->picked.empty());

    // Yes saves and tells the opener nothing; nor does a close while browsing.
    open().pickFor(*opener, OwnerPick::AddShare);
    click("bitHoraKor");
    prompter.answerYes();
    EXPECT_TRUE(screen->close());
    open().pickFor(*opener, OwnerPick::AddShare);
    EXPECT_TRUE(screen->close());
    EXPECT_EQ(opener->cancelled.size(), 1u);

    // An opener that is gone is not called.
    open().pickFor(*opener, OwnerPick::AddShare);
    opener.reset();
    click("bitHoraIzberi");
    EXPECT_TRUE(closed());
    EXPECT_EQ(prompter.shown(), (QStringList{kAskSave, kAskSave}));
}

TEST(TFHoraMenu, CtrlHOpensOneRegisterWhosePickersLeaveItRegistered)
{
    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    testsupport::runSql(db.path(), kOwners);
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    const auto registered = [&] { return qobject_cast<TFHora*>(program.registry->instance(QStringLiteral("TFHora"))); };
    program.main->runCommand(QStringLiteral("mHora"));
    TFHora* owners = registered();
    ASSERT_TRUE(owners);
    auto* header = owners->findChild<QTableView*>(QStringLiteral("jvdbgridHora"))->horizontalHeader();
    emit header->sectionDoubleClicked(0);  // ascending, the first sort of the run

    // A picker is no registered screen, and its close empties no reference.
    StubOpener opener;
    auto* picker = new TFHora(*program.dm, prompter,
                              program.registry->sortSwitches().of(QStringLiteral("TFHora"), SortSwitch::Ascending));
    picker->pickFor(opener, OwnerPick::AddShare);
    picker->show();
    picker->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(registered(), owners);
    program.main->runCommand(QStringLiteral("mHora"));
    EXPECT_EQ(registered(), owners);

    // Closed and opened again, the next sort goes the other way.
    owners->findChild<QPushButton*>(QStringLiteral("bitExit"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(registered(), nullptr);
    program.main->runCommand(QStringLiteral("mHora"));
    ASSERT_TRUE(registered());
    auto* view = registered()->findChild<QTableView*>(QStringLiteral("jvdbgridHora"));
    emit view->horizontalHeader()->sectionDoubleClicked(0);
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("8004040048"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

}  // namespace tfhoratest
