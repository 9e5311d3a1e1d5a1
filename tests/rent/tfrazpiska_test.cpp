#include "common/date_field.h"
#include "common/prompter.h"
#include "rent/tfrazpiska.h"
#include "receipt_dialog_test.h"

#include <QDate>

namespace {

using renttest::ReceiptDialogTest;
using testsupport::onModalDialog;
using Result = TFRazpiska::Result;

const QString kEmpty = QStringLiteral("Въведете номер на раписката!");
const QString kUsed = QStringLiteral("Разписка с такъв номер съществува!");
const QString kOutOfRange = QStringLiteral("Полето „Разписка №“ приема цяло число от 1 до 2 147 483 647!");

class TFRazpiskaTest : public ReceiptDialogTest {
protected:
    // Runs the dialog for Иван, represented by Петров; `act` is the user.
    Result run(TFRazpiska& dialog, std::function<void(TFRazpiska&)> act)
    {
        onModalDialog<TFRazpiska>(std::move(act));
        return dialog.run(1, QStringLiteral("Петров"));
    }
    // Accepts whatever number the dialog proposes; returns it.
    QString acceptProposal(TFRazpiska& dialog)
    {
        QString proposed;
        EXPECT_EQ(run(dialog,
                      [&proposed](TFRazpiska& d) {
                          proposed = edit(d, "edRazpNo")->text();
                          click(d, "bitZapis");
                      }),
                  Result::Ok);
        return proposed;
    }
    qint64 headers(int number) const { return count(QStringLiteral("\"RAZP DANNI\" where NOM = %1").arg(number)); }
};

TEST_F(TFRazpiskaTest, TheHeaderIsPostedWithTheTypedNumberAndLeftInEditForThePayoutScreen)
{
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (1, 2, 15)",
          "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 2, 17)"});
    TFRazpiska dialog(module(), prompter);
    const Result result = run(dialog, [](TFRazpiska& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Въведете номер и дата на разписката"));
        EXPECT_EQ(edit(d, "edRazpNo")->text(), "18");
        EXPECT_EQ(d.focusWidget(), edit(d, "edRazpNo"));
        // The farming year 2024/2025 is over: its last day.
        EXPECT_EQ(child<DateField>(d, "jvdeRazpiska")->date(), QDate(2025, 9, 30));
        testsupport::keepScreenshot(d.grab().toImage(), QStringLiteral("TFRazpiska"));

        retype(d, "edRazpNo", QString());
        click(d, "bitZapis");
        // Digits and Backspace only.
        QTest::keyClicks(edit(d, "edRazpNo"), QStringLiteral("2x-0,"));
        QTest::keyClick(edit(d, "edRazpNo"), Qt::Key_Backspace);
        QTest::keyClicks(edit(d, "edRazpNo"), QStringLiteral("1"));
        EXPECT_EQ(edit(d, "edRazpNo")->text(), "21");
        retype(d, "jvdeRazpiska", QStringLiteral("05.03.2025"));
        QTest::keyClick(edit(d, "jvdeRazpiska"), Qt::Key_Return);
    });
    EXPECT_EQ(result, Result::Ok);
    EXPECT_EQ(prompter.shown(), QStringList{kEmpty});

    dataset::Dataset& trd = dm->TRD;
    EXPECT_EQ(trd.state(), dataset::State::Edit);
    EXPECT_EQ(trd.field(QStringLiteral("NOM")).asInt(), 21);
    EXPECT_EQ(trd.field(QStringLiteral("ID_HORA")).asInt(), 1);
    EXPECT_EQ(trd.field(QStringLiteral("PREDSTRS")).asString(), QStringLiteral("Петров"));
    EXPECT_EQ(trd.field(QStringLiteral("DATA")).asDate(), QDate(2025, 3, 5));
    EXPECT_GT(trd.field(QStringLiteral("ID_RD")).asInt(), 1);
    EXPECT_EQ(headers(21), 0);  // pending until the payout screen saves
    trd.post();
    dm->IBTRazp.commit();
    EXPECT_EQ(count(QStringLiteral("\"RAZP DANNI\" where NOM = 21 and ID_HORA = 1 and PREDSTRS = 'Петров' "
                                   "and DATA = '2025-03-05'")),
              1);
}

// Today is proposed while it lies in the farming year; a date outside the
// year is asked about, naming it, "Не" first, and "Не" keeps the dialog.
TEST_F(TFRazpiskaTest, TheDateKeepsToTheFarmingYear)
{
    const QDate today = QDate::currentDate();
    const QDate from = today.addDays(-20), to = from.addYears(1).addDays(-1);
    seed({QStringLiteral("update FIRMA set FROMYEAR = '%1', TOYEAR = '%2'")
              .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate))});
    const QDate before = from.addDays(-1);
    const QString question =
        QStringLiteral("Датата %1 е извън стопанската година %2 – %3. Да бъде ли записана?")
            .arg(before.toString(QStringLiteral("dd.MM.yyyy")), from.toString(QStringLiteral("dd.MM.yyyy")),
                 to.toString(QStringLiteral("dd.MM.yyyy")));
    TFRazpiska dialog(module(), prompter);
    prompter.answerNo();
    prompter.answerYes();
    EXPECT_EQ(run(dialog,
                  [before](TFRazpiska& d) {
                      auto* date = child<DateField>(d, "jvdeRazpiska");
                      EXPECT_EQ(date->date(), QDate::currentDate());
                      date->setDate(before);
                      click(d, "bitZapis");
                      EXPECT_TRUE(d.isVisible());
                      EXPECT_EQ(d.focusWidget(), edit(d, "jvdeRazpiska"));
                      click(d, "bitZapis");
                  }),
              Result::Ok);
    EXPECT_EQ(prompter.shown(), (QStringList{question, question}));
    EXPECT_EQ(prompter.defaults(), (QList<Prompter::Default>{Prompter::Default::No, Prompter::Default::No}));
    EXPECT_EQ(dm->TRD.field(QStringLiteral("DATA")).asDate(), before);
    dm->TRD.cancel();
    dm->IBTRazp.rollback();

    // The year's first and last days are inside it: no question.
    prompter.clearShown();
    EXPECT_EQ(run(dialog,
                  [to](TFRazpiska& d) {
                      child<DateField>(d, "jvdeRazpiska")->setDate(to);
                      click(d, "bitZapis");
                  }),
              Result::Ok);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

TEST_F(TFRazpiskaTest, ATakenNumberClosesTheDialogWithNoAndZeroOrATooLargeOneIsRefused)
{
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (1, 2, 18)"});
    TFRazpiska dialog(module(), prompter);
    EXPECT_EQ(run(dialog,
                  [](TFRazpiska& d) {
                      EXPECT_EQ(edit(d, "edRazpNo")->text(), "19");
                      retype(d, "edRazpNo", QStringLiteral("2147483648"));
                      click(d, "bitZapis");
                      EXPECT_TRUE(d.isVisible());
                      retype(d, "edRazpNo", QStringLiteral("0"));
                      click(d, "bitZapis");
                      EXPECT_TRUE(d.isVisible());
                      retype(d, "edRazpNo", QStringLiteral("18"));
                      click(d, "bitZapis");
                  }),
              Result::No);
    EXPECT_EQ(prompter.shown(), (QStringList{kOutOfRange, kOutOfRange, kUsed}));
    EXPECT_FALSE(dm->TRD.isEditing());
    EXPECT_EQ(count(QStringLiteral("\"RAZP DANNI\"")), 0);
    // The box starts again from the proposal.
    EXPECT_EQ(acceptProposal(dialog), "19");
}

TEST_F(TFRazpiskaTest, CancellingLeavesNoHeaderAndTheNumberIsProposedAgain)
{
    TFRazpiska dialog(module(), prompter);
    EXPECT_EQ(run(dialog,
                  [](TFRazpiska& d) {
                      EXPECT_EQ(edit(d, "edRazpNo")->text(), "1");
                      QTest::keyClick(edit(d, "edRazpNo"), Qt::Key_Escape);
                  }),
              Result::Cancel);
    EXPECT_EQ(run(dialog, [](TFRazpiska& d) { click(d, "bitOtkaz"); }), Result::Cancel);
    EXPECT_TRUE(dm->TRD.isOpen());
    EXPECT_TRUE(dm->TRR.isOpen());
    EXPECT_EQ(acceptProposal(dialog), "1");
    EXPECT_TRUE(prompter.shown().isEmpty());
}

// Two payout screens share the receipts transaction: the second one's
// dialog sees the first one's header before it is committed, and cancelling
// it does not throw that header away.
TEST_F(TFRazpiskaTest, AHeaderPendingForAnotherPayoutScreenIsNeitherProposedNorAcceptedNorLost)
{
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (1, 2, 15)",
          "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 2, 17)"});
    TFRazpiska first(module(), prompter);
    TFRazpiska second(module(), prompter);
    EXPECT_EQ(acceptProposal(first), "18");
    EXPECT_EQ(run(second,
                  [](TFRazpiska& d) {
                      EXPECT_EQ(edit(d, "edRazpNo")->text(), "19");
                      retype(d, "edRazpNo", QStringLiteral("18"));
                      click(d, "bitZapis");
                  }),
              Result::No);
    EXPECT_EQ(prompter.shown(), QStringList{kUsed});
    EXPECT_EQ(acceptProposal(second), "19");
    dm->TRD.post();  // both headers pending, neither in edit
    EXPECT_EQ(run(first, [](TFRazpiska& d) { click(d, "bitOtkaz"); }), Result::Cancel);

    EXPECT_EQ(headers(18) + headers(19), 0);
    dm->IBTRazp.commit();
    EXPECT_EQ(headers(18), 1);
    EXPECT_EQ(headers(19), 1);
}

}  // namespace
