#include "common/text_input.h"
#include "dataset/binders.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString kGreek = QStringLiteral("αβγ");
const QString kChinese = QStringLiteral("中文");
const QString kEmoji = QStringLiteral("😀");
const QString kTurkish = QStringLiteral("ğ");
// Characters of Windows-1251 a Bulgarian text holds besides its letters.
const QString kBulgarianSigns = QStringLiteral("№ „цитат“ – 5 € ё Ђ");

// One key press carrying the whole text, as an emoji arrives from a keyboard
// or an input method (testsupport::typeText sends one key a character).
void keyWithText(QWidget* widget, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

QString allFittingCharacters()
{
    QString all;
    for (char16_t u = 1; u < 0xFFFF; ++u)
        if (fitsWindows1251(QChar(u)))
            all.append(QChar(u));
    return all;
}

TEST(Windows1251, TheTableHoldsAsciiAndTheUpperHalfButNotWhatTheEngineRefuses)
{
    // ASCII, the 127 assigned upper characters and NUL.
    EXPECT_EQ(allFittingCharacters().size() + 1, 255);
    EXPECT_TRUE(fitsWindows1251(QStringLiteral("Иван Петров, ул. „Шипка“ № 5 – 10 €; Ёё Ўў Ґґ Її Єє Іі")));
    EXPECT_TRUE(fitsWindows1251(QStringLiteral("ABC xyz 0123456789 ~!@#$%^&*()_+")));
    EXPECT_TRUE(fitsWindows1251(QString()));
    for (const QString& unfit : {kGreek, kChinese, kEmoji, kTurkish, QStringLiteral("é"), QStringLiteral("\u0098"),
                                 QStringLiteral("Ā"), QStringLiteral("\u2015")})
        EXPECT_FALSE(fitsWindows1251(unfit)) << unfit.toStdString();
    // Half of a surrogate pair fits nothing.
    EXPECT_FALSE(fitsWindows1251(kEmoji.at(0)));
    EXPECT_FALSE(fitsWindows1251(kEmoji.at(1)));

    EXPECT_EQ(keepWindows1251(QStringLiteral("Иван 😀 Петров")), QStringLiteral("Иван  Петров"));
    EXPECT_EQ(keepWindows1251(QStringLiteral("a") + kGreek + kChinese + kTurkish + QStringLiteral("b")),
              QStringLiteral("ab"));
    EXPECT_EQ(keepWindows1251(kBulgarianSigns), kBulgarianSigns);
}

// The table is only worth something if it is the engine's: every character
// it keeps goes through a WIN1251 value and comes back unchanged, and what it
// drops is what the engine refuses with its transliteration error.
TEST(Windows1251, TheTableAgreesWithTheDatabase)
{
    testsupport::TestDatabase db;
    fb::Connection c;
    c.attach(db.path());
    fb::Transaction tr(c);
    const QString roundTrip = QStringLiteral("select cast(? as varchar(300) character set win1251) from rdb$database");

    const QString all = allFittingCharacters();
    EXPECT_EQ(fb::fetchScalar(c, tr, roundTrip, {all}).toString(), all);

    for (const QString& unfit : {kGreek, kChinese, kEmoji, kTurkish, QStringLiteral("é"), QStringLiteral("Ā"),
                                 QStringLiteral("\u2015"), QStringLiteral("\u0098")}) {
        try {
            fb::fetchScalar(c, tr, roundTrip, {unfit});
            ADD_FAILURE() << "the engine took " << unfit.toStdString();
        } catch (const fb::Error& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("Cannot transliterate"))) << e.message().toStdString();
        }
    }
}

TEST(Windows1251, FieldsDropWhatDoesNotFitAsItIsTypedOrPasted)
{
    QLineEdit edit;
    acceptWindows1251Only(&edit);
    QSignalSpy edited(&edit, &QLineEdit::textEdited);

    testsupport::typeText(&edit, QStringLiteral("Иван"));
    testsupport::typeText(&edit, kGreek + kChinese + kTurkish);
    keyWithText(&edit, kEmoji);
    EXPECT_EQ(edit.text(), QStringLiteral("Иван"));
    EXPECT_EQ(edit.cursorPosition(), 4);
    QTest::keyClicks(&edit, QStringLiteral(" Ivan 42"));
    EXPECT_EQ(edit.text(), QStringLiteral("Иван Ivan 42"));

    // A paste keeps what fits, and the cursor ends after what was kept.
    edit.clear();
    edit.insert(QStringLiteral("Иван 😀 Петров"));
    EXPECT_EQ(edit.text(), QStringLiteral("Иван  Петров"));
    EXPECT_EQ(edit.cursorPosition(), 12);
    edit.setCursorPosition(5);
    QGuiApplication::clipboard()->setText(QStringLiteral("Σ") + kBulgarianSigns + kEmoji + kChinese);
    edit.paste();
    EXPECT_EQ(edit.text(), QStringLiteral("Иван ") + kBulgarianSigns + QStringLiteral(" Петров"));
    EXPECT_EQ(edit.cursorPosition(), 5 + kBulgarianSigns.size());
    // What a binder writes is what is shown, never the refused characters.
    ASSERT_FALSE(edited.isEmpty());
    EXPECT_EQ(edited.last().at(0).toString(), edit.text());

    // Emptying still works.
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QString());
}

TEST(Windows1251, ItLeavesDigitOnlyAndMaskedFieldsTheirOwnRules)
{
    QLineEdit digits;
    dataset::setDigitsOnly(&digits);
    acceptWindows1251Only(&digits);
    QTest::keyClicks(&digits, QStringLiteral("12a"));
    testsupport::typeText(&digits, QStringLiteral("я"));
    keyWithText(&digits, kEmoji);
    EXPECT_EQ(digits.text(), QStringLiteral("12"));
    digits.insert(QStringLiteral("x9"));  // a paste the digits rule refuses goes nowhere, as before
    EXPECT_EQ(digits.text(), QStringLiteral("12"));
    digits.insert(QStringLiteral("3😀4"));  // once the emoji is gone the rest is digits
    EXPECT_EQ(digits.text(), QStringLiteral("1234"));

    QLineEdit masked;
    masked.setInputMask(QStringLiteral("99.99.9999;_"));
    acceptWindows1251Only(&masked);
    masked.setFocus();
    masked.home(false);
    QTest::keyClicks(&masked, QStringLiteral("07022011"));
    EXPECT_EQ(masked.text(), QStringLiteral("07.02.2011"));
}

}  // namespace
