#include "app/startup.h"
#include "app/tfmain.h"
#include "dataset/transaction_area.h"
#include "rent/tfhorazemqrenta.h"
#include "rent/tfkol.h"
#include "rent/tfrazpiska.h"
#include "rent/tfrko.h"
#include "rent/tfsobstvzemq.h"
#include "rent_test_data.h"
#include "schema/rent_sql.h"
#include "support/pdf_text.h"
#include "support/screen_test.h"
#include "support/scripted_output_chooser.h"
#include "support/sql.h"
#include "support/typing.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>

namespace {

using testsupport::onModalDialog;

// The payout screen on the small enterprise, following a rent list of its
// own (the rent list statement read as the rent list reads it).
//   Иван (1): due 140.10 leva and 177 kg of wheat worth 46.20, rest 186.30;
//   Петър (3): due 33.00 leva (20 × 1.1 on 1.5 decares), and land without a rule.
class PayoutScreenTest : public testsupport::ScreenTest<TFHoraZemqRenta> {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        testsupport::runSql(db.path(), renttest::kEnterprise);
        testsupport::runSql(db.path(), renttest::kRules);
        testsupport::runSql(db.path(), {"update ZEMQ set ID_NTP = 1"});
        // The program's folder holds the receipts' layouts.
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        for (const char* layout : {"Razpiska.rav", "Razpiska_pari.rav", "SpisykAll.rav", "SpisykSP.rav"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(ARVENTA_LAYOUTS_DIR "/") + QLatin1String(layout),
                                    folder_.filePath(QLatin1String(layout))));
    }
    void TearDown() override
    {
        QDir::setCurrent(previousFolder_);
        delete screen.data();
        owners_.reset();
        area_.reset();
    }

    dataset::Dataset& owners()
    {
        if (!owners_) {
            area_ = std::make_unique<dataset::TransactionArea>(module().IBDatabase1, QStringLiteral("IBTQS"),
                                                               fb::TransactionOptions::readCommitted(true));
            owners_ = std::make_unique<dataset::Dataset>(*area_, QStringLiteral("QuerySobstv"));
            owners_->sql().setLines({schema::rent::rentList().text()});
            owners_->open();
        }
        return *owners_;
    }
    TFHoraZemqRenta& open(int owner)
    {
        EXPECT_TRUE(owners().locate(QStringLiteral("ID_SOBSTV"), fb::Value(owner)));
        return show(new TFHoraZemqRenta(module(), prompter, outputs, owners(), rest));
    }
    QString restShown() const { return control<QLabel>("labOstZaPol")->text(); }
    qint64 count(const QString& from) { return testsupport::countRows(db.path(), from); }

    static QStringList rows(QTableView* grid) { return testsupport::gridRows(grid); }
    QStringList grid(const char* name) const { return rows(control<QTableView>(name)); }
    void select(const char* gridName, int row)
    {
        auto* g = control<QTableView>(gridName);
        g->setCurrentIndex(g->model()->index(row, 0));
    }

    // "Добавяне" with the proposed number accepted.
    void newReceipt()
    {
        onModalDialog<TFRazpiska>([](TFRazpiska& d) {
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
        });
        click("bitRazpiskaDob");
    }
    // ">>>" on a due row with a quantity (and for goods the goods) typed in.
    void addLine(int dueRow, const QString& quantity, const QString& goods = {})
    {
        select("jvdbgridRazpPR", dueRow);
        onModalDialog<TFKol>([quantity, goods](TFKol& d) {
            auto* kol = d.findChild<QLineEdit*>(QStringLiteral("dbedKol"));
            kol->selectAll();
            testsupport::typeText(kol, quantity);
            if (!goods.isEmpty()) {
                auto* picker = d.findChild<QComboBox*>(QStringLiteral("dblcbRKult"));
                picker->setCurrentIndex(picker->findText(goods));
                emit picker->activated(picker->currentIndex());
            }
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
        });
        click("butKol");
    }

    testsupport::ScriptedOutputChooser outputs;
    rent::SharedRest rest;
    std::unique_ptr<dataset::TransactionArea> area_;
    std::unique_ptr<dataset::Dataset> owners_;
    QTemporaryDir folder_;
    QString previousFolder_;
};

TEST_F(PayoutScreenTest, ShowsTheListsOwnerWithHisDueAndRestAndFollowsTheList)
{
    open(1);
    EXPECT_EQ(control<QLabel>("dbtIme")->text(), QStringLiteral("Иван"));
    EXPECT_EQ(control<QLabel>("dbtPlosht")->text(), QStringLiteral("6,457 дка"));
    EXPECT_EQ(grid("dbgridPolRenta"), (QStringList{"Пари | 140,10 | лв", "Пшеница | 177 | кг"}));
    EXPECT_EQ(grid("jvdbgridPritImoti").size(), 2);
    EXPECT_EQ(restShown(), QStringLiteral("186,30"));
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_FALSE(control<QGroupBox>("grboxRazpiska")->isVisible());

    ASSERT_TRUE(owners().locate(QStringLiteral("ID_SOBSTV"), fb::Value(3)));
    EXPECT_EQ(control<QLabel>("dbtIme")->text(), QStringLiteral("Петър"));
    EXPECT_EQ(grid("dbgridPolRenta"), (QStringList{"Пари | 30,00 | лв"}));
    EXPECT_EQ(restShown(), QStringLiteral("33,00"));
}

TEST_F(PayoutScreenTest, WarnsAtOpeningOfLandWithoutARule)
{
    open(3);
    EXPECT_EQ(prompter.shown(), (QStringList{"Липсва правило за рента!"}));
}

// Wheat for Иван's Аренда land (138 kg due) and money on one receipt:
// the rows' rest drops as lines are added, and the receipt is stored with
// its value and payment method.
TEST_F(PayoutScreenTest, AGoodsReceiptIsBuiltLineByLineAndSavedWithItsValue)
{
    open(1);
    newReceipt();
    ASSERT_TRUE(control<QGroupBox>("grboxRazpiska")->isVisible());
    EXPECT_EQ(
        grid("jvdbgridRazpPR"),
        (QStringList{"Аренда | Изгрев | Пари | 103,71 | 103,71 | лв", "Аренда | Изгрев | Пшеница | 138 | 138 | кг",
                     "Наем | Бело поле | Пари | 36,39 | 36,39 | лв", "Наем | Бело поле | Пшеница | 39 | 39 | кг"}));
    addLine(1, QStringLiteral("100"), QStringLiteral("Пшеница"));
    addLine(0, QStringLiteral("50,5"));
    EXPECT_EQ(grid("dbgridRazpRR"),
              (QStringList{"1 | Аренда | Пшеница | 100,00 | кг", "2 | Аренда | Пари | 50,50 | лв"}));
    EXPECT_EQ(grid("jvdbgridRazpPR").mid(0, 2), (QStringList{"Аренда | Изгрев | Пари | 103,71 | 53,21 | лв",
                                                             "Аренда | Изгрев | Пшеница | 138 | 38 | кг"}));
    EXPECT_EQ(count("\"RAZP DANNI\""), 0) << "nothing is committed before Запис";
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFHoraZemqRenta-receipt"));

    click("bitRazpRDZapis");
    EXPECT_FALSE(control<QGroupBox>("grboxRazpiska")->isVisible());
    EXPECT_EQ(count("\"RAZP DANNI\" where NOM = 1 and SUMA = 75.5 and NPL = 0 and NPLTEKST = 'В брой'"), 1);
    EXPECT_EQ(count("\"RAZP RENTA\""), 2);
    EXPECT_EQ(grid("dbgridIzplatenaRenta"), (QStringList{"Пари | 50,50 | лв", "Пшеница | 100,00 | кг"}));
    EXPECT_EQ(restShown(), QStringLiteral("110,80"));  // 186.30 - 75.50
}

TEST_F(PayoutScreenTest, AReceiptOfGoodsAloneHasNoPaymentMethodAndHandingOutEverythingLeavesNoRest)
{
    open(1);
    newReceipt();
    prompter.answerYes();  // barley for the wheat
    addLine(1, QStringLiteral("138"), QStringLiteral("Ечемик"));
    addLine(3, QStringLiteral("39"), QStringLiteral("Пшеница"));
    click("bitRazpRDZapis");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Полага се „Пшеница“, а е избрана културата „Ечемик“. "
                                                           "Да бъде ли записан редът?")});
    EXPECT_EQ(count("\"RAZP DANNI\" where NPL = 2 and NPLTEKST is null"), 1);
    EXPECT_EQ(restShown(), QStringLiteral("140,10"));

    newReceipt();
    addLine(0, QStringLiteral("103,71"));
    addLine(2, QStringLiteral("36,39"));
    click("bitRazpRDZapis");
    EXPECT_EQ(restShown(), QStringLiteral("0,00"));
    prompter.clearShown();
    click("bitRazpiskaDob");
    EXPECT_EQ(prompter.shown(), (QStringList{"Няма какво да се изплаща!"}));
}

// 0.50 leva left rounds to nothing (halves to even), so the row is used up; 0.60 does not.
TEST_F(PayoutScreenTest, AMoneyRowWithLessThanHalfALevLeftIsUsedUp)
{
    open(1);
    newReceipt();
    addLine(0, QStringLiteral("103,11"));  // 0.60 left
    prompter.clearShown();
    select("jvdbgridRazpPR", 0);
    onModalDialog<TFKol>(
        [](TFKol& d) { QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitOtkaz")), Qt::LeftButton); });
    click("butKol");
    EXPECT_TRUE(prompter.shown().isEmpty()) << "0.60 left can still be paid";
    addLine(0, QStringLiteral("0,1"));  // 0.50 left
    click("butKol");
    EXPECT_EQ(prompter.shown(), (QStringList{"Стоката от този тип договор за това землище е изчерпана!"}));
    EXPECT_EQ(grid("dbgridRazpRR").size(), 2) << "nothing was added";
}

TEST_F(PayoutScreenTest, CancellingANewReceiptLeavesNothingAndDeletingOneFreesItsQuantities)
{
    open(1);
    newReceipt();
    addLine(1, QStringLiteral("100"), QStringLiteral("Пшеница"));
    click("bitRazpRDOtkaz");
    EXPECT_EQ(count("\"RAZP DANNI\""), 0);
    EXPECT_EQ(count("\"RAZP RENTA\""), 0);

    newReceipt();  // the same number is proposed again
    addLine(1, QStringLiteral("100"), QStringLiteral("Пшеница"));
    click("bitRazpRDZapis");
    EXPECT_EQ(count("\"RAZP DANNI\" where NOM = 1"), 1);

    prompter.answerYes();
    click("bitRazpiskaDel");
    EXPECT_EQ(count("\"RAZP DANNI\""), 0);
    EXPECT_EQ(count("\"RAZP RENTA\""), 0);
    EXPECT_EQ(restShown(), QStringLiteral("186,30"));
    EXPECT_TRUE(grid("dbgridIzplatenaRenta").isEmpty());
}

// A saved receipt corrected: one line's quantity changed, another deleted.
TEST_F(PayoutScreenTest, ASavedReceiptIsCorrectedLineByLine)
{
    open(1);
    newReceipt();
    addLine(1, QStringLiteral("100"), QStringLiteral("Пшеница"));
    addLine(0, QStringLiteral("50"));
    click("bitRazpRDZapis");

    click("bitRazpiskaKor");
    ASSERT_TRUE(control<QGroupBox>("grboxRazpiska")->isVisible());
    EXPECT_EQ(grid("dbgridRazpRR").size(), 2);
    select("dbgridRazpRR", 0);
    onModalDialog<TFKol>([](TFKol& d) {
        auto* kol = d.findChild<QLineEdit*>(QStringLiteral("dbedKol"));
        kol->selectAll();
        testsupport::typeText(kol, QStringLiteral("138"));
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
    });
    click("bitRazpRRKor");
    select("dbgridRazpRR", 1);
    prompter.answerYes();
    click("bitRazpRRDel");
    click("bitRazpRDZapis");
    EXPECT_EQ(count("\"RAZP RENTA\" where KOL = 138 and STOINOST = 34.5"), 1);
    EXPECT_EQ(count("\"RAZP RENTA\""), 1);
    EXPECT_EQ(count("\"RAZP DANNI\" where SUMA = 34.5 and NPL = 2"), 1);
}

TEST_F(PayoutScreenTest, ClosingWithAReceiptOpenAsksWhetherToSaveIt)
{
    open(1);
    newReceipt();
    prompter.answerYes();
    screen->closeWindow();
    EXPECT_FALSE(closed()) << "a receipt without lines cannot be saved";
    EXPECT_EQ(prompter.shown().mid(0, 2), (QStringList{"Желаете ли да запишете!", "Моля, въведете стоки за рента!"}));
    addLine(1, QStringLiteral("10"), QStringLiteral("Пшеница"));
    // "Отказ" (or Esc): back to the receipt, its line kept, nothing stored.
    prompter.answerCancel();
    screen->closeWindow();
    EXPECT_FALSE(closed());
    EXPECT_EQ(count("\"RAZP RENTA\""), 0);
    prompter.answerYes();
    screen->closeWindow();
    EXPECT_TRUE(closed());
    EXPECT_EQ(count("\"RAZP RENTA\" where KOL = 10"), 1);
}

// The whole rest paid in cash, then the payment deleted again.
TEST_F(PayoutScreenTest, TheRestIsPaidInCashAsShownAndThePaymentCanBeDeleted)
{
    open(1);
    onModalDialog<TFRKO>(
        [](TFRKO& d) { QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton); });
    click("butIzplNaOst");
    EXPECT_EQ(count("RAZP_PARI where SUMA = 186.3 and ID_HORA = 1 and PMG is null"), 1);
    EXPECT_EQ(restShown(), QStringLiteral("0,00"));
    EXPECT_EQ(grid("dbgridRKO").size(), 1);
    click("butIzplNaOst");  // nothing to pay: nothing happens
    EXPECT_EQ(count("RAZP_PARI"), 1);

    prompter.answerYes();
    click("bitRKODel");
    EXPECT_EQ(count("RAZP_PARI"), 0);
    EXPECT_EQ(restShown(), QStringLiteral("186,30"));
}

TEST_F(PayoutScreenTest, PrintsTheChosenReceiptWithItsGoodsInGoodsOrderAndTheChosenPayment)
{
    testsupport::runSql(
        db.path(),
        {"insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM, DATA, SUMA, NPL) values (1, 1, 5, '2025-01-10', 12.5, 2)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, STOINOST, ID_ZEML, ID_DT) "
         "values (1, 1, 2, 3, 20, 5, 1, 1)",
         "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, STOINOST, ID_ZEML, ID_DT) "
         "values (2, 1, 2, 2, 30, 7.5, 1, 1)",
         "insert into RAZP_PARI (ID_RAZPPARI, ID_HORA, NOMER, DATA, SUMA, NPLP, NPLPTEKST) "
         "values (1, 1, 6, '2025-01-11', 20.25, 1, 'По банка')"});
    open(1);
    const QString pdf = folder_.filePath(QStringLiteral("r.pdf"));
    outputs.answerPdf(pdf);
    click("bitRazpiskaPrint");
    const QString text = testsupport::pdfText(pdf).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("РАЗПИСКА ЗА РЕНТА"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1 Пшеница 30,00 кг 2 Ечемик 20,00 кг"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("12,50 лв"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Иван"))) << text.toStdString();

    const QString cash = folder_.filePath(QStringLiteral("c.pdf"));
    outputs.answerPdf(cash);
    click("bitRKOPrint");
    const QString paid = testsupport::pdfText(cash).simplified();
    EXPECT_TRUE(paid.contains(QStringLiteral("№ 6 от 11.01.2025"))) << paid.toStdString();
    EXPECT_TRUE(paid.contains(QStringLiteral("Сума: 20,25 лв"))) << paid.toStdString();
    EXPECT_TRUE(paid.contains(QStringLiteral("По банка"))) << paid.toStdString();
}

}  // namespace

namespace {

// While a receipt is being built the screen stays with its owner: moving in
// the rent list changes neither the header nor the lists beside the panel,
// and the receipt goes to him; saved or cancelled, the screen catches up
// with the list.
TEST_F(PayoutScreenTest, AReceiptBeingBuiltKeepsTheScreenOnItsOwner)
{
    open(1);
    const QStringList ivansDue = grid("dbgridPolRenta");
    const QStringList ivansPlots = grid("jvdbgridPritImoti");
    newReceipt();
    EXPECT_EQ(control<QGroupBox>("grboxRazpiska")->title(), QStringLiteral("Разписка на Иван (7501010000)"));
    const QStringList ivansRows = grid("jvdbgridRazpPR");

    ASSERT_TRUE(owners().locate(QStringLiteral("ID_SOBSTV"), fb::Value(3)));
    EXPECT_EQ(control<QLabel>("dbtIme")->text(), QStringLiteral("Иван"));
    EXPECT_EQ(control<QLabel>("dbtEGN")->text(), QStringLiteral("7501010000"));
    EXPECT_EQ(control<QLabel>("dbtPlosht")->text(), QStringLiteral("6,457 дка"));
    EXPECT_EQ(grid("dbgridPolRenta"), ivansDue);
    EXPECT_EQ(grid("jvdbgridPritImoti"), ivansPlots);
    EXPECT_EQ(grid("jvdbgridRazpPR"), ivansRows);
    EXPECT_EQ(restShown(), QStringLiteral("186,30"));
    addLine(1, QStringLiteral("100"), QStringLiteral("Пшеница"));
    EXPECT_EQ(grid("dbgridPolRenta"), ivansDue);
    click("bitRazpRDZapis");
    EXPECT_EQ(count("\"RAZP DANNI\" where ID_HORA = 1 and SUMA = 25"), 1);
    EXPECT_EQ(control<QGroupBox>("grboxRazpiska")->title(), QStringLiteral("Разписка"));
    EXPECT_EQ(control<QLabel>("dbtIme")->text(), QStringLiteral("Петър"));
    EXPECT_EQ(grid("dbgridPolRenta"), (QStringList{"Пари | 30,00 | лв"}));
    EXPECT_TRUE(grid("jvdbgridRazpiski").isEmpty());
    EXPECT_EQ(restShown(), QStringLiteral("33,00"));

    // Cancelled: back on the list's owner too.
    newReceipt();
    EXPECT_EQ(control<QGroupBox>("grboxRazpiska")->title(), QStringLiteral("Разписка на Петър (7501030000)"));
    ASSERT_TRUE(owners().locate(QStringLiteral("ID_SOBSTV"), fb::Value(1)));
    EXPECT_EQ(control<QLabel>("dbtIme")->text(), QStringLiteral("Петър"));
    click("bitRazpRDOtkaz");
    EXPECT_EQ(control<QLabel>("dbtIme")->text(), QStringLiteral("Иван"));
    EXPECT_EQ(grid("jvdbgridRazpiski").size(), 1);
    EXPECT_EQ(count("\"RAZP DANNI\""), 1);
}

// The due total per rent type is the sum of the due rows as they show:
// wheat rows of 138.6 and 39.598 kg show 139 and 40, and the total 179,
// not 178; handing out both rows hands out all that is due.
TEST_F(PayoutScreenTest, TheDueTotalAddsTheDueRowsAsShown)
{
    testsupport::runSql(db.path(), {"update SOBSTV set PRREDPL = 3.465 where ID_HORA = 1 and ID_ZEMQ = 100",
                                    "update SOBSTV set PRREDPL = 3.046 where ID_HORA = 1 and ID_ZEMQ = 200"});
    open(1);
    EXPECT_EQ(grid("dbgridPolRenta"), (QStringList{"Пари | 140,90 | лв", "Пшеница | 179 | кг"}));
    newReceipt();
    EXPECT_EQ(
        grid("jvdbgridRazpPR"),
        (QStringList{"Аренда | Изгрев | Пари | 103,95 | 103,95 | лв", "Аренда | Изгрев | Пшеница | 139 | 139 | кг",
                     "Наем | Бело поле | Пари | 36,95 | 36,95 | лв", "Наем | Бело поле | Пшеница | 40 | 40 | кг"}));
    addLine(1, QStringLiteral("139"), QStringLiteral("Пшеница"));
    addLine(3, QStringLiteral("40"), QStringLiteral("Пшеница"));
    click("bitRazpRDZapis");
    EXPECT_EQ(grid("dbgridIzplatenaRenta"), (QStringList{"Пшеница | 179,00 | кг"}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// Two payout screens share the data module's receipt cursor: a line added
// on the first goes on the first one's receipt even after the second has
// started one of its own.
TEST_F(PayoutScreenTest, TwoPayoutScreensEachAddToTheirOwnReceipt)
{
    open(1);
    newReceipt();
    auto* second = new TFHoraZemqRenta(module(), prompter, outputs, owners(), rest);
    second->show();
    onModalDialog<TFRazpiska>([](TFRazpiska& d) {
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
    });
    QTest::mouseClick(second->findChild<QPushButton*>(QStringLiteral("bitRazpiskaDob")), Qt::LeftButton);
    EXPECT_TRUE(second->panelShown());

    addLine(1, QStringLiteral("100"), QStringLiteral("Пшеница"));
    click("bitRazpRDZapis");
    EXPECT_EQ(count("\"RAZP DANNI\""), 2) << "the second number is not the first one's";
    EXPECT_EQ(count("\"RAZP RENTA\" join \"RAZP DANNI\" using (id_rd) where NOM = 1 and KOL = 100"), 1);
    delete second;
}

}  // namespace

namespace {

// The rent list's "Покажи рента" opens another payout screen each time, on
// the list's current owner; they close with the list.
TEST_F(PayoutScreenTest, TheRentListOpensAPayoutScreenPerPressAndTheyCloseWithIt)
{
    QTemporaryDir exeDir;
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    TFMain& main = *program.main;
    main.show();
    main.runCommand(QStringLiteral("mSpisakRenta"));
    auto* list = qobject_cast<TFSobstvZemq*>(program.registry->instance(QStringLiteral("TFSobstvZemq")));
    ASSERT_TRUE(list);
    ASSERT_TRUE(list->rows().locate(QStringLiteral("ID_SOBSTV"), fb::Value(3)));
    auto* show = list->findChild<QPushButton*>(QStringLiteral("butPokajiRenta"));
    QTest::mouseClick(show, Qt::LeftButton);
    QTest::mouseClick(show, Qt::LeftButton);
    const auto payouts = main.findChildren<TFHoraZemqRenta*>();
    ASSERT_EQ(payouts.size(), 2);
    for (TFHoraZemqRenta* p : payouts)
        EXPECT_EQ(p->findChild<QLabel*>(QStringLiteral("dbtIme"))->text(), QStringLiteral("Петър"));
    EXPECT_EQ(prompter.shown().count(QStringLiteral("Липсва правило за рента!")), 2);
    testsupport::keepScreenshot(main.grab().toImage(), QStringLiteral("TFHoraZemqRenta-main"));

    list->closeWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.findChildren<TFHoraZemqRenta*>().isEmpty());
    EXPECT_TRUE(main.close());
}

}  // namespace
