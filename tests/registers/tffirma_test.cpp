#include "registers/tffirma.h"

#include "app/startup.h"
#include "common/date_field.h"
#include "dm/tdm.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/screen_test.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

const QString kWrongPeriod = QStringLiteral("Въведете коректен период!");
const QString kMissingData = QStringLiteral("Моля попълнете всички данни!");
const QString kWrongIdentifier = QStringLiteral("Въведете коректен идентификатор!");
const QString kWrongPersonalNumber = QStringLiteral("Въведеното ЕГН/ЛНЧ е некоректно!");
const QString kSaveQuestion = QStringLiteral("Желаете ли да запишете!");

// Also notes which control had the focus when each message came up, and can
// act as a message box would while it is up.
class FocusNotingPrompter : public testsupport::ScriptedPrompter {
public:
    void message(const QString& text) override
    {
        QWidget* focus = QApplication::focusWidget();
        focusAtMessage << (focus ? focus->objectName() : QString());
        ScriptedPrompter::message(text);
        if (whileShown)
            whileShown();
    }

    QStringList focusAtMessage;
    std::function<void()> whileShown;
};

// A complete legal entity, seated in Изгрев (Благоевград), with no VAT number.
void seedFirmRow(const QString& database)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    fb::execute(c, tr,
                QStringLiteral("insert into FIRMA (EIN, FD, OS, NAIM_FIRMA, ADRESS, MOL, ID_OBL, ID_OBSHT, EKATTE, "
                               "ID_VZP, EGN_MOL, FROMYEAR, TOYEAR) values ('050000009', '123/2010', 'БлОС', "
                               "'Агро ООД', 'ул. Първа 1', 'Иван Петров', 'BLG', 'BLG03', '00134', 3, "
                               "'1000000002', '2014-10-01', '2015-09-30')"));
    tr.commit();
}

// Key presses carrying the text, Cyrillic letters too.
void typeOver(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class TFFirmaTest : public testsupport::ScreenTest<TFFirma, FocusNotingPrompter> {
protected:
    void seedFirm() { seedFirmRow(db.path()); }
    // The FIRMA rows as stored, the given columns of each.
    std::vector<std::vector<fb::Value>> stored(const QString& columns)
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        fb::Statement st(c, QStringLiteral("select %1 from FIRMA").arg(columns));
        return fb::fetchAll(st, tr);
    }
    QString storedText(const char* column) { return stored(QLatin1String(column)).at(0).at(0).toString(); }

    TFFirma& openScreen() { return show(new TFFirma(module(), prompter)); }
    // Types over the whole text, as the user does after selecting it.
    void type(const char* name, const QString& text) { typeOver(edit(name), text); }
    void pickDates(const QDate& from, const QDate& to)
    {
        typeOver(control<DateField>("jvdbedFromYear"), shownDate(from));
        typeOver(control<DateField>("jvdbedToYear"), shownDate(to));
    }
};

TEST_F(TFFirmaTest, AnEmptyTableStartsANewRowThatTheFirstSaveInserts)
{
    TFFirma& s = openScreen();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Фирма"));
    EXPECT_EQ(s.minimumSize(), s.maximumSize());
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Insert);
    EXPECT_EQ(QApplication::focusWidget(), combo("jvdblcbVZP"));
    for (const char* name : {"jvdblcbVZP", "jvdblcbOblast", "jvdblcbObshtina", "jvdblcNM"})
        EXPECT_EQ(combo(name)->currentIndex(), -1) << name;

    choose("jvdblcbVZP", QStringLiteral("Юридическо лице"));
    type("dbedEIN", QStringLiteral("050000009"));
    type("dbedNaim", QStringLiteral("Агро ООД"));
    type("dbedMOL", QStringLiteral("Иван Петров"));
    type("dbedMOLEGN", QStringLiteral("1000000002"));
    type("dbedFDNo", QStringLiteral("123/2010"));
    type("dbedSyd", QStringLiteral("БлОС"));
    choose("jvdblcbOblast", QStringLiteral("Благоевград"));
    choose("jvdblcbObshtina", QStringLiteral("Благоевград"));
    choose("jvdblcNM", QStringLiteral("Изгрев"));
    type("dbedAdres", QStringLiteral("ул. Първа 1"));
    type("dbedEmail", QStringLiteral("agro@example.bg"));
    pickDates(QDate(2014, 10, 1), QDate(2015, 9, 30));
    click("bitZapis");

    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(closed());
    const auto rows =
        stored(QStringLiteral("ID_FIRMA, EIN, NAIM_FIRMA, MOL, EGN_MOL, FD, OS, ID_OBL, ID_OBSHT, "
                              "EKATTE, ID_VZP, ADRESS, EMAIL, FROMYEAR, TOYEAR, INDDS"));
    ASSERT_EQ(rows.size(), 1u);
    const auto& r = rows[0];
    EXPECT_FALSE(r[0].isNull());
    QStringList texts;
    for (size_t i = 1; i < 13; ++i)
        texts << r[i].toString();
    EXPECT_EQ(texts, (QStringList{"050000009", "Агро ООД", "Иван Петров", "1000000002", "123/2010", "БлОС", "BLG",
                                  "BLG03", "00134", "3", "ул. Първа 1", "agro@example.bg"}));
    EXPECT_EQ(r[13].toDate(), QDate(2014, 10, 1));
    EXPECT_EQ(r[14].toDate(), QDate(2015, 9, 30));
    EXPECT_TRUE(r[15].isNull());
    // The data module's firm row is readable again, for the screens that copy from it.
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Browse);
    EXPECT_EQ(dm->TFirma["NAIM_FIRMA"].asString(), QStringLiteral("Агро ООД"));
}

TEST_F(TFFirmaTest, TheSaveChecksRunInOrderAndARefusalKeepsWhatWasTyped)
{
    seedFirm();
    openScreen();
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Edit);
    type("dbedEIN", QString());
    type("dbedTel", QStringLiteral("0888 123 456"));
    pickDates(QDate(2015, 1, 1), QDate(2015, 12, 31));
    click("bitZapis");  // the period comes first, the missing identifier after it
    pickDates(QDate(2014, 10, 1), QDate(2016, 9, 30));
    click("bitZapis");
    pickDates(QDate(2014, 10, 1), QDate(2015, 9, 30));
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), (QStringList{kWrongPeriod, kWrongPeriod, kMissingData}));
    EXPECT_FALSE(closed());
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Edit);
    EXPECT_EQ(edit("dbedTel")->text(), QStringLiteral("0888 123 456"));
    EXPECT_EQ(control<DateField>("jvdbedToYear")->date(), QDate(2015, 9, 30));

    type("dbedEIN", QStringLiteral("050000009"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown().size(), 3) << prompter.shown().join(QLatin1Char(124)).toStdString();
    EXPECT_TRUE(closed());
    EXPECT_EQ(storedText("TEL"), QStringLiteral("0888 123 456"));
    EXPECT_EQ(stored(QStringLiteral("TOYEAR")).at(0).at(0).toDate(), QDate(2015, 9, 30));
}

TEST_F(TFFirmaTest, EachRequiredEntryLeftEmptyRefusesTheSave)
{
    seedFirm();
    openScreen();
    for (const char* name : {"dbedFDNo", "dbedSyd", "dbedAdres", "dbedMOLEGN", "dbedNaim"}) {
        const QString before = edit(name)->text();
        type(name, QString());
        click("bitZapis");
        type(name, before);
    }
    combo("jvdblcbVZP")->setFocus();
    QTest::keyClick(combo("jvdblcbVZP"), Qt::Key_Backspace);  // backspace empties a drop-down
    EXPECT_EQ(combo("jvdblcbVZP")->currentText(), QString());
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList(6, kMissingData));
    EXPECT_FALSE(closed());
}

TEST_F(TFFirmaTest, ANaturalPersonHasNoNameAndAnotherKindThenMissesIt)
{
    seedFirm();
    openScreen();
    EXPECT_TRUE(edit("dbedNaim")->isEnabled());
    choose("jvdblcbVZP", QStringLiteral("Физическо лице"));
    EXPECT_FALSE(edit("dbedNaim")->isEnabled());
    EXPECT_EQ(edit("dbedNaim")->text(), QString());
    click("bitZapis");
    EXPECT_TRUE(prompter.shown().isEmpty());
    ASSERT_TRUE(closed());
    EXPECT_TRUE(stored(QStringLiteral("NAIM_FIRMA")).at(0).at(0).isNull());
    EXPECT_EQ(stored(QStringLiteral("ID_VZP")).at(0).at(0).toInt(), 1);

    // A natural person's screen opens with the name shut, so it saves as it is.
    openScreen();
    EXPECT_EQ(combo("jvdblcbVZP")->currentText(), QStringLiteral("Физическо лице"));
    EXPECT_FALSE(edit("dbedNaim")->isEnabled());
    type("dbedMOL", QStringLiteral("Мария Петрова"));
    choose("jvdblcbVZP", QStringLiteral("Едноличен търговец"));
    EXPECT_TRUE(edit("dbedNaim")->isEnabled());
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{kMissingData});
    EXPECT_FALSE(closed());
    EXPECT_EQ(edit("dbedMOL")->text(), QStringLiteral("Мария Петрова"));
    type("dbedNaim", QStringLiteral("ЕТ Мария Петрова"));
    click("bitZapis");
    ASSERT_TRUE(closed());
    EXPECT_EQ(storedText("NAIM_FIRMA"), QStringLiteral("ЕТ Мария Петрова"));
    EXPECT_EQ(storedText("ID_VZP"), QStringLiteral("2"));
}

TEST_F(TFFirmaTest, EnteringTheVatNumberProposesBgAndTheIdentifierOnlyWhenNoneIsStored)
{
    seedFirm();
    openScreen();
    focusOn("dbedEIN");
    type("dbedEIN", QStringLiteral("0500000090007"));
    focusOn("dbedINDDS");
    EXPECT_EQ(edit("dbedINDDS")->text(), QStringLiteral("BG0500000090007"));
    EXPECT_EQ(dm->TFirma["INDDS"].asString(), QStringLiteral("BG0500000090007"));

    type("dbedINDDS", QStringLiteral("BG999"));
    focusOn("dbedEIN");
    focusOn("dbedINDDS");
    EXPECT_EQ(edit("dbedINDDS")->text(), QStringLiteral("BG999"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFFirmaTest, LeavingAWrongIdentifierReturnsTheFocusBeforeTheMessage)
{
    seedFirm();
    openScreen();
    focusOn("dbedEIN");
    type("dbedEIN", QString());
    focusOn("dbedINDDS");
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedEIN"));
    EXPECT_EQ(edit("dbedINDDS")->text(), QString());  // not entered, so nothing proposed

    type("dbedEIN", QStringLiteral("1000000002"));  // a personal number will do
    focusOn("dbedINDDS");
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedINDDS"));

    focusOn("dbedMOLEGN");
    type("dbedMOLEGN", QString());
    focusOn("dbedFDNo");
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedMOLEGN"));
    type("dbedMOLEGN", QStringLiteral("050000009"));  // a company code is no person
    focusOn("dbedFDNo");
    type("dbedMOLEGN", QStringLiteral("1000000001"));
    focusOn("dbedFDNo");
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedFDNo"));

    // From a wrong number into a wrong identifier: one message, and the
    // identifier's check does not run for the focus going back.
    type("dbedEIN", QString());
    focusOn("dbedMOLEGN");
    type("dbedMOLEGN", QStringLiteral("123"));
    focusOn("dbedEIN");
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedMOLEGN"));

    EXPECT_EQ(prompter.shown(),
              (QStringList{kWrongIdentifier, kWrongPersonalNumber, kWrongPersonalNumber, kWrongPersonalNumber}));
    EXPECT_EQ(prompter.focusAtMessage, (QStringList{"dbedEIN", "dbedMOLEGN", "dbedMOLEGN", "dbedMOLEGN"}));
}

TEST_F(TFFirmaTest, AWrongIdentifierOrAnImpossibleDateIsNeverStoredBySaveOrByYes)
{
    seedFirm();
    openScreen();
    // Typed, never left: "Запис" does not take the focus, and still checks.
    focusOn("dbedEIN");
    type("dbedEIN", QStringLiteral("123"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{kWrongIdentifier});
    EXPECT_FALSE(closed());
    prompter.answerYes();
    EXPECT_FALSE(screen->close());
    EXPECT_EQ(prompter.shown(), (QStringList{kWrongIdentifier, kSaveQuestion, kWrongIdentifier}));
    EXPECT_EQ(storedText("EIN"), QStringLiteral("050000009"));

    // A day that does not exist is said so and kept as typed, not turned into another date.
    type("dbedEIN", QStringLiteral("050000009"));
    prompter.clearShown();
    focusOn("jvdbedToYear");
    type("jvdbedToYear", QStringLiteral("31.02.2015"));
    focusOn("dbedEmail");
    EXPECT_EQ(prompter.shown(), QStringList{DateField::impossibleDateMessage()});
    EXPECT_EQ(edit("jvdbedToYear")->text(), QStringLiteral("31.02.2015"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown().last(), DateField::impossibleDateMessage());
    EXPECT_FALSE(closed());
    EXPECT_EQ(stored(QStringLiteral("TOYEAR")).at(0).at(0).toDate(), QDate(2015, 9, 30));

    // Typed with the locale's separator or a slash, the date is taken as meant.
    type("jvdbedToYear", QStringLiteral("30/09/2015"));
    click("bitZapis");
    EXPECT_TRUE(closed());
    EXPECT_EQ(stored(QStringLiteral("TOYEAR")).at(0).at(0).toDate(), QDate(2015, 9, 30));
}

TEST_F(TFFirmaTest, AMessageBoxTakingTheFocusDoesNotRunTheCheckAgain)
{
    seedFirm();
    openScreen();
    prompter.whileShown = [this] {
        QWidget box;
        auto* ok = new QPushButton(QStringLiteral("OK"), &box);
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        ok->setFocus();
        box.close();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    };
    focusOn("dbedEIN");
    type("dbedEIN", QStringLiteral("123"));
    focusOn("dbedINDDS");
    EXPECT_EQ(prompter.shown(), QStringList{kWrongIdentifier});
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedEIN"));
}

TEST_F(TFFirmaTest, LeavingAWrongPeriodWarnsAndTheFocusMovesOn)
{
    seedFirm();
    openScreen();
    pickDates(QDate(2015, 1, 1), QDate(2015, 12, 31));
    focusOn("jvdbedToYear");
    focusOn("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{kWrongPeriod});
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("bitZapis"));
    pickDates(QDate(2014, 10, 1), QDate(2015, 9, 30));
    focusOn("jvdbedToYear");
    focusOn("jvdbedFromYear");
    EXPECT_EQ(prompter.shown().size(), 1);
}

TEST_F(TFFirmaTest, TheProvinceAndMunicipalityEmptyTheDropDownsBelowThem)
{
    seedFirm();
    openScreen();
    EXPECT_EQ(combo("jvdblcbVZP")->currentText(), QStringLiteral("Юридическо лице"));
    EXPECT_EQ(combo("jvdblcbOblast")->currentText(), QStringLiteral("Благоевград"));
    EXPECT_EQ(combo("jvdblcbObshtina")->currentText(), QStringLiteral("Благоевград"));
    EXPECT_EQ(combo("jvdblcNM")->currentText(), QStringLiteral("Изгрев"));

    choose("jvdblcbOblast", QStringLiteral("Велико Търново"));
    EXPECT_EQ(combo("jvdblcbObshtina")->currentIndex(), -1);
    EXPECT_EQ(combo("jvdblcNM")->currentIndex(), -1);
    EXPECT_EQ(combo("jvdblcbObshtina")->count(), dm->TObshtina.rowCount());
    click("bitZapis");
    choose("jvdblcbObshtina", QStringLiteral("Горна Оряховица"));
    EXPECT_EQ(combo("jvdblcNM")->currentIndex(), -1);
    EXPECT_EQ(combo("jvdblcNM")->count(), 14);
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList(2, kMissingData));
    choose("jvdblcNM", QStringLiteral("Върбица"));
    click("bitZapis");
    ASSERT_TRUE(closed()) << prompter.shown().join(QLatin1Char(124)).toStdString();
    EXPECT_EQ(stored(QStringLiteral("ID_OBL, ID_OBSHT, EKATTE")).at(0),
              (std::vector<fb::Value>{QStringLiteral("VTR"), QStringLiteral("VTR06"), QStringLiteral("12735")}));
}

TEST_F(TFFirmaTest, TheCloseBoxAsksAndStaysOpenOnAWrongPeriodOrMissingData)
{
    seedFirm();
    openScreen();
    type("dbedNaim", QStringLiteral("Ново име"));
    pickDates(QDate(2015, 1, 1), QDate(2015, 12, 31));
    prompter.answerYes();
    EXPECT_FALSE(screen->close());
    pickDates(QDate(2014, 10, 1), QDate(2015, 9, 30));
    type("dbedFDNo", QString());
    prompter.answerYes();
    EXPECT_FALSE(screen->close());
    EXPECT_EQ(prompter.shown(), (QStringList{kSaveQuestion, kWrongPeriod, kSaveQuestion, kMissingData}));
    EXPECT_EQ(edit("dbedNaim")->text(), QStringLiteral("Ново име"));

    prompter.answerNo();
    EXPECT_TRUE(screen->close());
    EXPECT_TRUE(closed());
    EXPECT_EQ(storedText("NAIM_FIRMA"), QStringLiteral("Агро ООД"));
    EXPECT_EQ(storedText("FD"), QStringLiteral("123/2010"));
    // Also after No the data module's firm row is open again.
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Browse);
    EXPECT_EQ(dm->TFirma["NAIM_FIRMA"].asString(), QStringLiteral("Агро ООД"));

    openScreen();
    type("dbedNaim", QStringLiteral("Ново име"));
    prompter.answerYes();
    EXPECT_TRUE(screen->close());
    EXPECT_EQ(storedText("NAIM_FIRMA"), QStringLiteral("Ново име"));
    EXPECT_EQ(dm->TFirma["NAIM_FIRMA"].asString(), QStringLiteral("Ново име"));
}

TEST_F(TFFirmaTest, CancelDiscardsWithoutAQuestion)
{
    seedFirm();
    openScreen();
    type("dbedNaim", QStringLiteral("Ново име"));
    choose("jvdblcbVZP", QStringLiteral("Физическо лице"));
    click("bitOtkaz");
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(closed());
    EXPECT_EQ(storedText("NAIM_FIRMA"), QStringLiteral("Агро ООД"));
    EXPECT_EQ(storedText("ID_VZP"), QStringLiteral("3"));
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Browse);
    EXPECT_EQ(dm->TFirma["NAIM_FIRMA"].asString(), QStringLiteral("Агро ООД"));
}

TEST_F(TFFirmaTest, TextLongerThanAFieldIsCutNeverRefused)
{
    seedFirm();
    openScreen();
    type("dbedNaim", QString(70, QChar(u'Н')));
    type("dbedMOL", QString(120, QChar(u'М')));
    type("dbedEIN", QStringLiteral("0500000090007999"));
    type("dbedINDDS", QStringLiteral("BG0500000090007999"));
    EXPECT_EQ(edit("dbedEIN")->text(), QStringLiteral("0500000090007"));
    click("bitZapis");
    EXPECT_TRUE(prompter.shown().isEmpty());
    ASSERT_TRUE(closed());
    EXPECT_EQ(storedText("NAIM_FIRMA"), QString(60, QChar(u'Н')));
    EXPECT_EQ(storedText("MOL"), QString(100, QChar(u'М')));
    EXPECT_EQ(storedText("EIN"), QStringLiteral("0500000090007"));
    EXPECT_EQ(storedText("INDDS"), QStringLiteral("BG0500000090007"));
}

TEST_F(TFFirmaTest, ADatabaseErrorIsShownAndTheEditGoesOn)
{
    seedFirm();
    openScreen();
    type("dbedNaim", QStringLiteral("Ново име"));
    {
        // Another user changes the row after our snapshot began.
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        fb::execute(c, tr, QStringLiteral("update FIRMA set TEL = '02 123'"));
        tr.commit();
    }
    click("bitZapis");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown()[0].contains(QStringLiteral("update conflicts with concurrent update")))
        << prompter.shown()[0].toStdString();
    EXPECT_FALSE(closed());
    EXPECT_EQ(edit("dbedNaim")->text(), QStringLiteral("Ново име"));
    EXPECT_EQ(dm->TFirma.state(), dataset::State::Edit);
    EXPECT_TRUE(dm->IBTFirma.isActive());

    click("bitOtkaz");
    EXPECT_TRUE(closed());
    EXPECT_EQ(storedText("NAIM_FIRMA"), QStringLiteral("Агро ООД"));
    EXPECT_EQ(dm->TFirma["TEL"].asString(), QStringLiteral("02 123"));
}

TEST(TFFirmaMenu, CtrlFOpensOneFirmScreenWhoseSaveLeavesTheCaption)
{
    testsupport::TestDatabase db;
    seedFirmRow(db.path());
    testsupport::ScriptedPrompter prompter;
    QTemporaryDir exeDir;
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    TFMain& main = *program.main;
    auto* item = main.findChild<QAction*>(QStringLiteral("mFirma"));
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
    main.runCommand(QStringLiteral("mFirma"));
    main.runCommand(QStringLiteral("mFirma"));
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 1);
    auto* firm = qobject_cast<TFFirma*>(program.registry->instance(QStringLiteral("TFFirma")));
    ASSERT_TRUE(firm);
    EXPECT_EQ(main.mdiArea()->subWindowList().first()->windowTitle(), QStringLiteral("Фирма"));

    auto* name = firm->findChild<QLineEdit*>(QStringLiteral("dbedNaim"));
    typeOver(name, QStringLiteral("Ново име"));
    QTest::mouseClick(firm->findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(program.registry->instance(QStringLiteral("TFFirma")), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(program.dm->TFirma["NAIM_FIRMA"].asString(), QStringLiteral("Ново име"));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Арвента - Агро ООД"));
}

}  // namespace
