#include "rent/tfrentakult.h"
#include "rent/tfvidrenta.h"
#include "rent_test_data.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTableView>

namespace {

using testsupport::typeText;

const QString kFillAll = QStringLiteral("Моля, попълнете всички данни!");
const QString kNoCorrection = QStringLiteral("Забранено за корекция!");
const QString kNoDeletion = QStringLiteral("Забранено за изтриване!");

// The rent types and the rent goods are alike but for their texts and guards.
template <typename S>
class RentListTest : public testsupport::ScreenTest<S> {
protected:
    S& open() { return this->show(new S(this->module(), this->prompter)); }
    QTableView* grid() const { return this->screen->template findChild<QTableView*>(); }
    void select(int row) { grid()->setCurrentIndex(grid()->model()->index(row, 0)); }
    QStringList names() const
    {
        QStringList out;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            out << grid()->model()->index(r, 0).data().toString();
        return out;
    }
    void seed(const QStringList& sql) { testsupport::runSql(this->db.path(), sql); }
    qint64 count(const QString& from) { return testsupport::countRows(this->db.path(), from); }
};

using TFVidRentaTest = RentListTest<TFVidRenta>;
using TFRentaKultTest = RentListTest<TFRentaKult>;

TEST_F(TFVidRentaTest, TheMoneyTypeStaysAsItIsWhileOthersAreCorrectedAndDeleted)
{
    seed({"insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (2, 'Пшеница', 'кг')"});
    TFVidRenta& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Вид рента"));
    EXPECT_EQ(grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Мерна ед."));
    EXPECT_EQ(names(), (QStringList{"Пари", "Пшеница"}));
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFVidRenta"));

    select(0);
    click("bitVRKor");
    click("bitVRDel");
    EXPECT_EQ(prompter.shown(), (QStringList{kNoCorrection, kNoDeletion}));
    EXPECT_TRUE(control<QWidget>("panelVidRenta")->isHidden());

    prompter.clearShown();
    select(1);
    click("bitVRKor");
    ASSERT_FALSE(control<QWidget>("panelVidRenta")->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedVRNaim"));
    typeText(edit("dbedVRNaim"), QStringLiteral(" лятна"));
    click("bitZapis");
    EXPECT_EQ(names(), (QStringList{"Пари", "Пшеница лятна"}));
    select(1);
    prompter.answerYes();
    click("bitVRDel");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Моля, потвърдете изтриването!")});
    EXPECT_EQ(count(QStringLiteral("VID_RENTA")), 1);
}

TEST_F(TFVidRentaTest, ATypeARuleLineUsesStaysWhileOneOnlyReceiptsNameGoes)
{
    seed({"insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (2, 'Пшеница', 'кг')",
          "insert into VID_RENTA (ID_VR, NAIM_VR, ME) values (3, 'Царевица', 'кг')",
          "insert into \"RENTA ZEML\" (ID_RZ, ID_ZEML, ID_DT) values (1, 1, 1)",
          "insert into VIDRENTAKOL (ID_VRK, ID_RZ, KOL, EC) values (2, 1, 40, 0.25)"});
    open();
    // The receipt is made after the screen opened: the checks read the tables as they stand.
    seed(renttest::receiptLine(1, 1));
    seed({"insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL) values (2, 1, 3, 2, 5)"});
    select(1);
    click("bitVRDel");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Използва се в правило!")});
    select(2);
    prompter.answerYes();
    click("bitVRDel");
    EXPECT_EQ(count(QStringLiteral("VID_RENTA where ID_VR = 3")), 0);
    EXPECT_EQ(names(), (QStringList{"Пари", "Пшеница"}));
}

TEST_F(TFVidRentaTest, ANameWithoutAUnitIsRefusedOnSavingAndOnClosing)
{
    TFVidRenta& s = open();
    click("bitVRDob");
    typeText(edit("dbedVRNaim"), QStringLiteral("Ечемик"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{kFillAll});
    EXPECT_FALSE(control<QWidget>("panelVidRenta")->isHidden());

    prompter.answerYes();
    s.close();
    EXPECT_FALSE(closed());
    EXPECT_EQ(prompter.shown().last(), kFillAll);

    typeText(edit("dbedVRME"), QStringLiteral("кг"));
    prompter.answerYes();
    s.close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(count(QStringLiteral("VID_RENTA where NAIM_VR = 'Ечемик' and ME = 'кг'")), 1);
    // The rules screen's picker offers it at once.
    EXPECT_TRUE(dm->TVidRenta.locate(QStringLiteral("NAIM_VR"), QStringLiteral("Ечемик")));
}

TEST_F(TFRentaKultTest, TheMoneyGoodsAndGoodsOnAReceiptStayWhileNewGoodsReachThePickerAtOnce)
{
    seed({"insert into RENTAKULT (ID_RK, RK) values (2, 'Пшеница')",
          "insert into RENTAKULT (ID_RK, RK) values (3, 'Ечемик')"});
    TFRentaKult& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Раздадена култура"));
    EXPECT_TRUE(s.isModal());
    EXPECT_EQ(names(), (QStringList{"Пари", "Пшеница", "Ечемик"}));
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFRentaKult"));
    select(0);
    click("bitRKKor");
    click("bitRKDel");
    // A receipt saved while the dialog is open keeps its goods.
    seed(renttest::receiptLine(1, 1));
    select(1);
    click("bitRKDel");
    EXPECT_EQ(prompter.shown(), (QStringList{kNoCorrection, kNoDeletion, QStringLiteral("Използва се в разписка!")}));

    prompter.clearShown();
    click("bitRKDob");
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Моля, въведете наименование!")});
    typeText(edit("dbedRK"), QStringLiteral("Царевица"));
    QTest::keyClick(edit("dbedRK"), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(names(), (QStringList{"Пари", "Пшеница", "Ечемик", "Царевица"}));
    click("bitExit");
    EXPECT_TRUE(closed());
    EXPECT_TRUE(dm->TRentaKult.locate(QStringLiteral("RK"), QStringLiteral("Царевица")));
}

TEST_F(TFRentaKultTest, AnEmptyListHasNothingToCorrectOrDelete)
{
    seed({"delete from RENTAKULT"});
    open();
    click("bitRKKor");
    click("bitRKDel");
    EXPECT_EQ(prompter.shown(), (QStringList{"Няма данни!", "Няма данни!"}));
}

}  // namespace
