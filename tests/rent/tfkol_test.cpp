#include "rent/tfkol.h"
#include "rent/tfrentakult.h"
#include "receipt_dialog_test.h"
#include "support/typing.h"

#include <QComboBox>

namespace {

using renttest::ReceiptDialogTest;
using testsupport::onModalDialog;

const QString kFillAll = QStringLiteral("Моля, въведете всички данни!");
const QString kTooMuch = QStringLiteral("Въведеното количество надвишава полагащото!");
const QString kBarleyOnWheat =
    QStringLiteral("Полага се „Пшеница“, а е избрана културата „Ечемик“. Да бъде ли записан редът?");

// Lines of Иван's receipt 1 under the rule of Изгрев and Аренда.
class TFKolTest : public ReceiptDialogTest {
protected:
    TFKolTest()
    {
        seed(renttest::kRules);
        seed({"insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 1, 1)"});
    }
    // The receipt in the receipts transaction, as the payout screen holds it.
    dataset::Dataset& receipt()
    {
        TDM& m = module();
        m.IBTRazp.ensureStarted();
        EXPECT_TRUE(m.TRD.locateFresh(QStringLiteral("ID_RD"), 1));
        m.TRR.open();
        return m.TRR;
    }
    // ">>>" on the due row of rent type `type`.
    void newLine(int type)
    {
        dataset::Dataset& lines = receipt();
        lines.append();
        lines.field(QStringLiteral("ID_VR")).setValue(type);
        lines.field(QStringLiteral("ID_DT")).setValue(1);
        lines.field(QStringLiteral("ID_ZEML")).setValue(1);
    }
    // The dialog on a due row of `dueGoods` (wheat, unless said otherwise).
    bool run(double ec, double razl, int type, std::function<void(TFKol&)> act,
             const QString& dueGoods = QStringLiteral("Пшеница"))
    {
        TFKol dialog(module(), prompter);
        onModalDialog<TFKol>(std::move(act));
        return dialog.run(ec, razl, type, type == 1 ? QStringLiteral("Пари") : dueGoods);
    }
    // The receipt's lines once the payout screen has saved the receipt.
    qint64 saved(const QString& where)
    {
        dm->IBTRazp.commit();
        return count(QStringLiteral("\"RAZP RENTA\" where ID_RD = 1 and ") + where);
    }
};

TEST_F(TFKolTest, AMoneyLineTakesDecimalsNeedsNoGoodsAndMayRoundUpToTheRest)
{
    newLine(1);
    EXPECT_TRUE(run(1, 103.71, 1, [](TFKol& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Въведете количество"));
        EXPECT_TRUE(child(d, "dblcbRKult")->isHidden());
        EXPECT_TRUE(child(d, "btnRKNew")->isHidden());
        EXPECT_TRUE(child(d, "labRKult")->isHidden());
        EXPECT_EQ(d.focusWidget(), edit(d, "dbedKol"));
        testsupport::keepScreenshot(d.grab().toImage(), QStringLiteral("TFKol_money"));
        click(d, "bitZapis");
        QTest::keyClicks(edit(d, "dbedKol"), QStringLiteral("-1a04.6,0"));  // one separator, the locale's
        EXPECT_EQ(edit(d, "dbedKol")->text(), QStringLiteral("104,60"));
        click(d, "bitZapis");
        retype(d, "dbedKol", QStringLiteral("104.2"));
        QTest::keyClick(edit(d, "dbedKol"), Qt::Key_Return);
    }));
    EXPECT_EQ(prompter.shown(), (QStringList{kFillAll, kTooMuch}));
    EXPECT_EQ(count(QStringLiteral("\"RAZP RENTA\"")), 0);  // posted, not committed
    EXPECT_FALSE(dm->TRR.isEditing());
    EXPECT_EQ(saved(QStringLiteral("ID_VR = 1 and ID_RK = 1 and ID_DT = 1 and ID_ZEML = 1 "
                                   "and KOL = 104.2 and STOINOST = 104.2")),
              1);
}

TEST_F(TFKolTest, AGoodsLineTakesWholeUnitsAndNeedsItsGoods)
{
    newLine(2);
    EXPECT_TRUE(run(0.25, 138, 2, [](TFKol& d) {
        EXPECT_FALSE(child(d, "dblcbRKult")->isHidden());
        // The picker starts on the row's wheat; emptied, it is missed.
        QTest::keyClick(child(d, "dblcbRKult"), Qt::Key_Backspace);
        // The point is kept in a whole quantity and refused, never dropped.
        QTest::keyClicks(edit(d, "dbedKol"), QStringLiteral("40.5,"));
        EXPECT_EQ(edit(d, "dbedKol")->text(), "40,5");
        click(d, "bitZapis");
        auto* goods = child<QComboBox>(d, "dblcbRKult");
        EXPECT_EQ(goods->count(), 2);  // not the money pseudo-goods
        goods->setCurrentIndex(goods->findText(QStringLiteral("Пшеница")));
        emit goods->activated(goods->currentIndex());
        testsupport::keepScreenshot(d.grab().toImage(), QStringLiteral("TFKol_goods"));
        click(d, "bitZapis");
        EXPECT_EQ(edit(d, "dbedKol")->text(), "40,5");
        // Nothing is handed out as 0 kg either.
        retype(d, "dbedKol", QStringLiteral("0"));
        click(d, "bitZapis");
        retype(d, "dbedKol", QStringLiteral("40"));
        click(d, "bitZapis");
    }));
    const QString whole = QStringLiteral("Полето „Количество“ приема цяло число над 0 до 9 999 999 кг!");
    EXPECT_EQ(prompter.shown(), (QStringList{kFillAll, whole, whole}));
    EXPECT_EQ(saved(QStringLiteral("ID_RK = 2 and KOL = 40 and STOINOST = 10")), 1);
}

TEST_F(TFKolTest, ACorrectedLineMayHandOutItsOwnQuantityAndTheRest)
{
    seed(
        {"insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, STOINOST, ID_ZEML, ID_DT) "
         "values (1, 1, 2, 3, 60, 15, 1, 1)"});
    receipt().edit();
    prompter.answerYes();  // the barley line on the wheat row stays barley
    EXPECT_TRUE(run(0.25, 40, 2, [](TFKol& d) {
        EXPECT_EQ(edit(d, "dbedKol")->text(), "60");
        EXPECT_EQ(child<QComboBox>(d, "dblcbRKult")->currentText(), QStringLiteral("Ечемик"));
        retype(d, "dbedKol", QStringLiteral("101"));
        click(d, "bitZapis");
        retype(d, "dbedKol", QStringLiteral("100"));
        click(d, "bitZapis");
    }));
    EXPECT_EQ(prompter.shown(), (QStringList{kTooMuch, kBarleyOnWheat}));
    EXPECT_EQ(saved(QStringLiteral("ID_RR = 1 and ID_RK = 3 and KOL = 100 and STOINOST = 25")), 1);
}

TEST_F(TFKolTest, CancellingLeavesNoLine)
{
    newLine(2);
    EXPECT_FALSE(run(0.25, 138, 2, [](TFKol& d) {
        QTest::keyClicks(edit(d, "dbedKol"), QStringLiteral("40"));
        QTest::keyClick(edit(d, "dbedKol"), Qt::Key_Escape);
    }));
    EXPECT_FALSE(dm->TRR.isEditing());
    EXPECT_EQ(saved(QStringLiteral("1 = 1")), 0);
}

TEST_F(TFKolTest, GoodsAddedThroughTheButtonCanBePickedAtOnce)
{
    newLine(2);
    prompter.answerYes();  // oats on the wheat row
    EXPECT_TRUE(run(0.25, 138, 2, [](TFKol& d) {
        onModalDialog<TFRentaKult>([](TFRentaKult& goods) {
            click(goods, "bitRKDob");
            testsupport::typeText(edit(goods, "dbedRK"), QStringLiteral("Овес"));
            click(goods, "bitZapis");
            click(goods, "bitExit");
        });
        click(d, "btnRKNew");
        auto* goods = child<QComboBox>(d, "dblcbRKult");
        EXPECT_EQ(d.focusWidget(), goods);
        const int oats = goods->findText(QStringLiteral("Овес"));
        ASSERT_GE(oats, 0);
        goods->setCurrentIndex(oats);
        emit goods->activated(oats);
        QTest::keyClicks(edit(d, "dbedKol"), QStringLiteral("138"));
        click(d, "bitZapis");
    }));
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Полага се „Пшеница“, а е избрана културата „Овес“. "
                                                           "Да бъде ли записан редът?")});
    EXPECT_EQ(saved(QStringLiteral("KOL = 138 and STOINOST = 34.5 and ID_RK = "
                                   "(select ID_RK from RENTAKULT where RK = 'Овес')")),
              1);
    EXPECT_TRUE(dm->TRentaKult.isOpen());
}

// A new goods line starts on the row's own goods, matched by name whatever
// the case; other goods are handed out at the row's price only when the
// user says so, "Не" first, and "Не" leaves the dialog open on the goods.
TEST_F(TFKolTest, ANewGoodsLineStartsOnTheRowsGoodsAndOtherGoodsAreAsked)
{
    newLine(2);
    prompter.answerNo();
    prompter.answerYes();
    EXPECT_TRUE(run(
        0.25, 138, 2,
        [](TFKol& d) {
            auto* goods = child<QComboBox>(d, "dblcbRKult");
            EXPECT_EQ(goods->currentText(), QStringLiteral("Пшеница"));
            QTest::keyClicks(edit(d, "dbedKol"), QStringLiteral("40"));
            goods->setCurrentIndex(goods->findText(QStringLiteral("Ечемик")));
            emit goods->activated(goods->currentIndex());
            click(d, "bitZapis");
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.focusWidget(), goods);
            click(d, "bitZapis");
        },
        QStringLiteral(" пшеница ")));
    // The row's goods named as the row names them.
    const QString asked =
        QStringLiteral("Полага се „пшеница“, а е избрана културата „Ечемик“. Да бъде ли записан редът?");
    EXPECT_EQ(prompter.shown(), (QStringList{asked, asked}));
    EXPECT_EQ(prompter.defaults(), (QList<Prompter::Default>{Prompter::Default::No, Prompter::Default::No}));
    EXPECT_EQ(saved(QStringLiteral("ID_RK = 3 and KOL = 40 and STOINOST = 10")), 1);

    // The row's goods kept: saved without a question.
    prompter.clearShown();
    newLine(2);
    EXPECT_TRUE(run(0.25, 98, 2, [](TFKol& d) {
        QTest::keyClicks(edit(d, "dbedKol"), QStringLiteral("98"));
        click(d, "bitZapis");
    }));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    EXPECT_EQ(saved(QStringLiteral("ID_RK = 2 and KOL = 98")), 1);

    // Goods the list does not have: the picker starts empty, as before.
    newLine(2);
    EXPECT_FALSE(run(
        0.25, 50, 2,
        [](TFKol& d) {
            EXPECT_EQ(child<QComboBox>(d, "dblcbRKult")->currentIndex(), -1);
            click(d, "bitOtkaz");
        },
        QStringLiteral("Царевица")));
}

}  // namespace
