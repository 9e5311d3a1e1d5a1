#include "common/failure.h"
#include "common/prompter.h"
#include "common/date_field.h"
#include "rent/tfrko.h"
#include "receipt_dialog_test.h"
#include "support/typing.h"

#include <QDate>
#include <QLabel>
#include <QRadioButton>

namespace {

using renttest::ReceiptDialogTest;
using testsupport::onModalDialog;

const QString kEmpty = QStringLiteral("Моля, въведете номер на разписката!");
const QString kUsed = QStringLiteral("Разписка с такъв номер съществува!");

class TFRKOTest : public ReceiptDialogTest {
protected:
    // The payment the payout screen starts before the dialog: Иван's rest,
    // his representative, and the payment method of `method` (none: empty).
    void startPayment(fb::Value method = {})
    {
        dataset::Dataset& trko = module().TRKO;
        trko.open();
        trko.append();
        trko.field(QStringLiteral("ID_HORA")).setValue(1);
        trko.field(QStringLiteral("SUMA")).setValue(103.71);
        trko.field(QStringLiteral("PREDSTRP")).setValue(QStringLiteral("Петров"));
        trko.field(QStringLiteral("NPLP")).setValue(method);
    }
    bool run(TFRKO& dialog, std::function<void(TFRKO&)> act)
    {
        onModalDialog<TFRKO>(std::move(act));
        return dialog.run();
    }
    static QRadioButton* method(TFRKO& d, const QString& text)
    {
        for (QRadioButton* b : child(d, "jvdbrpNPLP")->findChildren<QRadioButton*>())
            if (b->text() == text)
                return b;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }
};

TEST_F(TFRKOTest, ThePaymentIsCommittedWithANumberNoReceiptOrPaymentHas)
{
    seed({"insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER) values (1, 2, 15)",
          "insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 2, 18)"});
    startPayment(1);
    TFRKO dialog(module(), prompter);
    EXPECT_TRUE(run(dialog, [](TFRKO& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Разписка"));
        EXPECT_EQ(edit(d, "edRKONo")->text(), "19");
        EXPECT_EQ(d.focusWidget(), edit(d, "edRKONo"));
        EXPECT_EQ(child<QLabel>(d, "dbtRKOSuma")->text(), QStringLiteral("103,71"));
        EXPECT_TRUE(method(d, QStringLiteral("По банка"))->isChecked());
        EXPECT_EQ(edit(d, "dbedPredstRP")->text(), QStringLiteral("Петров"));
        QTest::keyClick(edit(d, "edRKONo"), Qt::Key_Tab);
        EXPECT_EQ(d.focusWidget(), edit(d, "jvdeRKO"));
        testsupport::keepScreenshot(d.grab().toImage(), QStringLiteral("TFRKO"));

        retype(d, "edRKONo", QString());
        click(d, "bitZapis");
        retype(d, "edRKONo", QStringLiteral("18"));  // a goods receipt has it
        click(d, "bitZapis");
        retype(d, "edRKONo", QStringLiteral("15"));  // a payment has it
        QTest::keyClick(edit(d, "edRKONo"), Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        retype(d, "edRKONo", QStringLiteral("16"));
        retype(d, "jvdeRKO", QStringLiteral("10.02.2025"));
        QTest::mouseClick(method(d, QStringLiteral("В брой")), Qt::LeftButton);
        retype(d, "dbedPredstRP", QString());
        testsupport::typeText(edit(d, "dbedPredstRP"), QStringLiteral("Мария"));
        click(d, "bitZapis");
    }));
    EXPECT_EQ(prompter.shown(), (QStringList{kEmpty, kUsed, kUsed}));
    EXPECT_EQ(dialog.number(), 16);
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI where NOMER = 16 and ID_HORA = 1 and SUMA = 103.71 and NPLP = 0 "
                                   "and NPLPTEKST = 'В брой' and PREDSTRP = 'Мария' and DATA = '2025-02-10' "
                                   "and PMG is null")),
              1);
    EXPECT_TRUE(dm->TRKO.isOpen());
    EXPECT_FALSE(dm->TRKO.isEditing());
    EXPECT_FALSE(dm->QueryRP.isOpen());
    EXPECT_FALSE(dm->QueryRD.isOpen());
}

TEST_F(TFRKOTest, WithoutAMethodTheCashItemIsChosenAndBankIsStoredAsOne)
{
    startPayment();
    TFRKO dialog(module(), prompter);
    EXPECT_TRUE(run(dialog, [](TFRKO& d) {
        EXPECT_EQ(edit(d, "edRKONo")->text(), "1");
        EXPECT_TRUE(method(d, QStringLiteral("В брой"))->isChecked());
        QTest::mouseClick(method(d, QStringLiteral("По банка")), Qt::LeftButton);
        click(d, "bitZapis");
    }));
    // The farming year 2024/2025 is over: dated on its last day.
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI where NOMER = 1 and NPLP = 1 and NPLPTEKST = 'По банка' "
                                   "and DATA = '2025-09-30'")),
              1);
}

TEST_F(TFRKOTest, CancellingLeavesNoPayment)
{
    startPayment();
    TFRKO dialog(module(), prompter);
    EXPECT_FALSE(run(dialog, [](TFRKO& d) {
        retype(d, "edRKONo", QStringLiteral("5"));
        click(d, "bitOtkaz");
    }));
    EXPECT_EQ(dialog.number(), 0);
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI")), 0);
    EXPECT_TRUE(dm->TRKO.isOpen());
    EXPECT_TRUE(dm->TRKO.isEmpty());
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(TFRKOTest, ADatabaseErrorIsShownAndTheDialogKeepsWhatWasTyped)
{
    seed({"create exception E_NO_PAYMENT 'no payment now'",
          "create trigger RAZP_PARI_CHECK for RAZP_PARI before insert as begin "
          "if (new.NOMER = 7) then exception E_NO_PAYMENT; end",
          "create trigger PAYMENT_COMMIT_CHECK on transaction commit as begin "
          "if (exists(select 1 from RAZP_PARI where NOMER = 8)) then exception E_NO_PAYMENT; end"});
    const QString postError =
        testsupport::clientError(db.path(), QStringLiteral("insert into RAZP_PARI (ID_HORA, NOMER) values (1, 7)"));
    ASSERT_FALSE(postError.isEmpty());
    startPayment();
    TFRKO dialog(module(), prompter);
    EXPECT_TRUE(run(dialog, [](TFRKO& d) {
        retype(d, "edRKONo", QStringLiteral("7"));
        click(d, "bitZapis");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(edit(d, "edRKONo")->text(), "7");
        // Posted, but the commit fails: still nothing stored.
        retype(d, "edRKONo", QStringLiteral("8"));
        click(d, "bitZapis");
        EXPECT_TRUE(d.isVisible());
        retype(d, "edRKONo", QStringLiteral("9"));
        click(d, "bitZapis");
    }));
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().first(), failure::text(QStringLiteral("Плащането не е записано."), postError));
    EXPECT_TRUE(prompter.shown().last().contains(QStringLiteral("no payment now")));
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI")), 1);
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI where NOMER = 9 and SUMA = 103.71")), 1);
}

// A payment of the year starts on the farming year's last day once the
// year is over, and a later date is asked about; one of past years (PMG 1)
// starts on today and is not asked about.
TEST_F(TFRKOTest, ThePaymentOfTheYearIsDatedInsideTheFarmingYear)
{
    startPayment();
    TFRKO dialog(module(), prompter);
    prompter.answerNo();
    EXPECT_FALSE(run(dialog, [](TFRKO& d) {
        auto* date = child<DateField>(d, "jvdeRKO");
        EXPECT_EQ(date->date(), QDate(2025, 9, 30));
        date->setDate(QDate(2025, 10, 1));
        click(d, "bitZapis");
        EXPECT_TRUE(d.isVisible());
        click(d, "bitOtkaz");
    }));
    EXPECT_EQ(prompter.shown(),
              QStringList{QStringLiteral("Датата 01.10.2025 е извън стопанската година 01.10.2024 – 30.09.2025. "
                                         "Да бъде ли записана?")});
    EXPECT_EQ(prompter.defaults(), QList<Prompter::Default>{Prompter::Default::No});
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI")), 0);

    prompter.clearShown();
    startPayment();
    module().TRKO.field(QStringLiteral("PMG")).setValue(1);
    TFRKO pastYears(module(), prompter);
    EXPECT_TRUE(run(pastYears, [](TFRKO& d) {
        EXPECT_EQ(child<DateField>(d, "jvdeRKO")->date(), QDate::currentDate());
        click(d, "bitZapis");
    }));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    EXPECT_EQ(count(QStringLiteral("RAZP_PARI where PMG = 1 and DATA = current_date")), 1);
}

}  // namespace
