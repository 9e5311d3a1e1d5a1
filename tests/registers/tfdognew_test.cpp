#include "registers/tfdognew.h"

#include "common/date_field.h"
#include "common/list_grid.h"
#include "registers/contract_test_data.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

namespace {

using contracttest::column;
using testsupport::countRows;

class TFDogNewTest : public testsupport::ScreenTest<TFDogNew> {
protected:
    TFDogNewTest() { testsupport::runSql(db.path(), contracttest::kContracts); }

    // The editor on a contract, as the register's "Корекция" opens it.
    TFDogNew& open(int contractId, TFDogNew::Opening opening = TFDogNew::Opening::Correction)
    {
        TDM& dm = module();
        dm.IBTDog.ensureStarted();
        EXPECT_TRUE(dm.TDogovor.locateFresh(QStringLiteral("ID_DOG"), contractId));
        return show(new TFDogNew(dm, prompter, opening));
    }
    QTableView* grid(const char* name) const { return control<QTableView>(name); }
    // Selects a plot by its number, then an owner of it by name.
    void selectShare(const QString& plot, const QString& owner)
    {
        QTableView* plots = grid("jvdbgridImoti");
        plots->selectRow(column(plots, 2).indexOf(plot));
        QTableView* shares = grid("jvdbgridSobstv");
        const int row = column(shares, 1).indexOf(owner);
        ASSERT_GE(row, 0) << owner.toStdString();
        shares->selectRow(row);
    }
    void selectLineOf(const QString& owner)
    {
        QTableView* lines = grid("jvdbgridDHZ");
        lines->selectRow(column(lines, 8).indexOf(owner));
    }
    QString total() const { return control<QLabel>("lblObshto")->text(); }
    QString shareLink(int owner, int plot) const
    {
        return QStringLiteral("SOBSTV where ID_HORA = %1 and ID_ZEMQ = %2").arg(owner).arg(plot);
    }
    void setDates(const QString& from, const QString& to)
    {
        for (auto [name, text] : {std::pair{"dtpOtData", from}, std::pair{"dtpDoData", to}}) {
            auto* field = control<DateField>(name);
            field->clear();
            testsupport::typeText(field, text);
        }
    }
};

TEST_F(TFDogNewTest, AShareBecomesALineWithItsPartAndAreaAndGoesBackFreed)
{
    open(100);  // contract 9, no lines yet
    EXPECT_EQ(total(), "0,000 дка");
    // Бело поле before Изгрев; arable "Да" when OBRAB is 0, "Не" when 1.
    EXPECT_EQ(column(grid("jvdbgridImoti"), 2), (QStringList{"201", "101", "102"}));
    EXPECT_EQ(column(grid("jvdbgridImoti"), 9), (QStringList{"", "Да", "Не"}));

    selectShare("101", "Мария");
    click("bitDob");
    EXPECT_EQ(column(grid("jvdbgridDHZ"), 8), QStringList{"Мария"});
    EXPECT_EQ(column(grid("jvdbgridDHZ"), 9), QStringList{"1/2"});
    EXPECT_EQ(total(), "2,500 дка");
    // The share shows its contract at once; nothing is committed yet.
    EXPECT_EQ(column(grid("jvdbgridSobstv"), 5).contains("9"), true);
    EXPECT_EQ(countRows(db.path(), "DOGHORAZEMI where ID_DOG = 100"), 0);

    // The same share again, and a share in contract 10.
    selectShare("101", "Мария");
    click("bitDob");
    selectShare("102", "Петър");
    click("bitDob");
    EXPECT_EQ(prompter.shown(), (QStringList{"Има договор!!", "Има договор!!"}));

    selectShare("201", "Иван");
    click("bitDob");
    EXPECT_EQ(total(), "5,500 дка");
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFDogNew"));
    selectLineOf("Мария");
    click("bitVryshtane");
    EXPECT_EQ(column(grid("jvdbgridDHZ"), 8), QStringList{"Иван"});
    EXPECT_EQ(total(), "3,000 дка");

    click("bitZapis");  // the kind and type are there, and the period
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(),
                        "DOGHORAZEMI where ID_DOG = 100 and ID_SOBSTV = 1 and ID_ZEMQ = 200 and "
                        "CHAST = '1/1' and REDPLOSHT = 3"),
              1);
    EXPECT_EQ(countRows(db.path(), shareLink(1, 200) + " and ID_DOG = 100 and ID_DHZ = "
                                                       "(select ID_DHZ from DOGHORAZEMI where ID_DOG = 100)"),
              1);
    EXPECT_EQ(countRows(db.path(), shareLink(2, 100) + " and ID_DOG = 0 and ID_DHZ = 0"), 1);
    EXPECT_TRUE(module().TDHZ.isOpen());
}

TEST_F(TFDogNewTest, AddingWithNoOwnerAddsNothing)
{
    testsupport::runSql(db.path(),
                        {"insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP, ID_FS) values (300, 10, '100', 1, 2)"});
    open(100);
    grid("jvdbgridImoti")->selectRow(column(grid("jvdbgridImoti"), 2).indexOf("100"));  // without owners
    ASSERT_EQ(grid("jvdbgridSobstv")->model()->rowCount(), 0);
    click("bitDob");
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(grid("jvdbgridDHZ")->model()->rowCount(), 0);
}

TEST_F(TFDogNewTest, FiltersArePrefixesJoinedByOneAnd)
{
    open(100);
    edit("edZemlishte")->setText(QStringLiteral("из"));
    edit("edImot")->setText(QStringLiteral("10"));
    click("bitFilter");
    EXPECT_EQ(column(grid("jvdbgridImoti"), 2), (QStringList{"101", "102"}));
    const QStringList lines = grid("jvdbgridImoti")->findChild<ListGrid*>()->lines();
    EXPECT_EQ(lines.count(QStringLiteral(" and ")), 1);
    EXPECT_TRUE(lines.contains(QStringLiteral("WHERE ")));
    edit("edMestnost")->setText(QStringLiteral("Лив"));
    click("bitFilter");
    EXPECT_EQ(grid("jvdbgridImoti")->model()->rowCount(), 0);
    click("bitClear");
    EXPECT_EQ(grid("jvdbgridImoti")->model()->rowCount(), 3);
}

TEST_F(TFDogNewTest, SavingChecksThePeriodAndTheRequiredFields)
{
    open(102);  // contract 57: no dates
    click("bitZapis");
    EXPECT_EQ(prompter.shown(), QStringList{"Въведете задължителните полета!"});
    setDates(QStringLiteral("02.10.2024"), QStringLiteral("01.10.2024"));
    focusOn("dtpDoData");
    focusOn("dtpOtData");  // leaving "До дата:" says it at once
    click("bitZapis");
    EXPECT_EQ(prompter.shown().mid(1), (QStringList{"Въведете правилен период!", "Въведете правилен период!"}));
    setDates(QStringLiteral("01.10.2024"), QStringLiteral("01.10.2024"));  // one day is a period
    // A day that does not exist is refused, never stored as no date; the
    // court's date is kept as text in the form the field shows.
    testsupport::typeText(control<DateField>("dbedData"), QStringLiteral("31.02.2025"));
    testsupport::typeText(control<DateField>("dbedSvDelo"), QStringLiteral("00.00.0000"));
    click("bitZapis");
    click("bitZapis");
    EXPECT_EQ(prompter.shown().mid(3), (QStringList{"Невалидна дата!", "Невалидна дата!"}));
    EXPECT_FALSE(closed());
    control<DateField>("dbedData")->clear();
    testsupport::typeText(control<DateField>("dbedData"), QStringLiteral("06102024"));
    click("bitZapis");
    EXPECT_EQ(prompter.shown().size(), 6);
    control<DateField>("dbedSvDelo")->clear();
    testsupport::typeText(control<DateField>("dbedSvDelo"), QStringLiteral("7.10.2024"));
    click("bitZapis");
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(),
                        "\"DOG DANNI\" where ID_DOG = 102 and OTDATA = '2024-10-01' and DODATA = OTDATA "
                        "and DATA = '2024-10-06' and SVDELO = '07.10.2024'"),
              1);
}

TEST_F(TFDogNewTest, TheCloseQuestionSavesOrTakesEverythingBack)
{
    open(102);
    selectShare("101", "Иван");
    click("bitDob");
    prompter.answerYes();
    screen->close();  // no dates: the two-line message, the editor stays
    EXPECT_FALSE(closed());
    EXPECT_EQ(prompter.shown().last(), "Не са въведени всички задължителни полета,\n\rданните няма да бъдат записани!");
    prompter.answerNo();
    screen->close();
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(), "DOGHORAZEMI where ID_DOG = 102"), 0);
    EXPECT_EQ(countRows(db.path(), shareLink(1, 100) + " and ID_DOG is null"), 1);
    TDM& dm = module();
    EXPECT_FALSE(dm.TDogovor.isEditing());
    EXPECT_TRUE(dm.TDogovor.isOpen());
}

TEST_F(TFDogNewTest, OwnersWithAReceiptKeepTheTypeTheirLineAndTheContract)
{
    testsupport::runSql(db.path(), contracttest::receiptFor(3));
    testsupport::runSql(db.path(),
                        {"insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, CHAST, REDPLOSHT) "
                         "values (101, 101, 100, 1, '1/2', 2.5)",
                         "update SOBSTV set ID_DOG = 101, ID_DHZ = 101 where ID_HORA = 1 and ID_ZEMQ = 100"});
    open(101);
    EXPECT_FALSE(combo("jvdblcDogTip")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("jvdblcDogTipBtn")->isEnabled());
    selectLineOf("Петър");
    EXPECT_FALSE(control<QPushButton>("bitVryshtane")->isEnabled());
    selectLineOf("Иван");
    EXPECT_TRUE(control<QPushButton>("bitVryshtane")->isEnabled());
    click("bitPrekr");
    EXPECT_EQ(prompter.shown(), QStringList{"Има издадени разписки, не можете да прекратите договора"});

    // Without receipts the type may change.
    click("bitOtkaz");
    ASSERT_TRUE(closed());
    open(100);
    EXPECT_TRUE(combo("jvdblcDogTip")->isEnabled());
}

TEST_F(TFDogNewTest, TerminationFreesEveryShareKeepsTheLinesAndClosesTheContract)
{
    open(101);  // contract 10 of 15.03.2021 with Петър's share
    selectShare("101", "Иван");
    click("bitDob");  // added in this very edit
    auto* date = control<DateField>("dtpPrekr");
    date->setDate(QDate(2021, 3, 14));
    click("bitPrekr");
    EXPECT_EQ(prompter.shown(), QStringList{"Невалидна дата на прекратяване!"});
    date->setDate(QDate(2021, 3, 15));  // the contract's own day passes
    prompter.answerNo();
    click("bitPrekr");
    EXPECT_EQ(prompter.shown().last(), "Желаете ли да прекратите договор номер 10?");
    EXPECT_EQ(prompter.defaults().last(), Prompter::Default::No);
    EXPECT_FALSE(closed());
    prompter.answerYes();
    click("bitPrekr");
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(),
                        "\"DOG DANNI\" where ID_DOG = 101 and SYSTOQNIE = 'Прекратен' and "
                        "DATAPR = '2021-03-15'"),
              1);
    EXPECT_EQ(countRows(db.path(), "DOGHORAZEMI where ID_DOG = 101"), 2);
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_DOG = 101 or ID_DHZ <> 0"), 0);

    // The freed share goes into another contract; the terminated one is only looked at.
    open(100);
    selectShare("102", "Петър");
    click("bitDob");
    EXPECT_EQ(column(grid("jvdbgridDHZ"), 8), QStringList{"Петър"});
    click("bitOtkaz");
    ASSERT_TRUE(closed());
    open(101);
    EXPECT_TRUE(screen->isReadOnly());
    // Its plots are read, scrolled and chosen among, but nothing changes them.
    EXPECT_TRUE(grid("jvdbgridImoti")->isEnabled());
    EXPECT_TRUE(grid("jvdbgridSobstv")->isEnabled());
    for (QWidget* w : control<QWidget>("gbSobstvImoti")->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w)) {
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        }
    }
    EXPECT_FALSE(control<QWidget>("bitZapis")->isEnabled());
    EXPECT_EQ(control<DateField>("dtpPrekr")->date(), QDate(2021, 3, 15));
    screen->close();  // nothing to ask
    EXPECT_TRUE(closed());
}

TEST_F(TFDogNewTest, ADatabaseErrorKeepsTheEditAndOtkazTakesItAllBack)
{
    testsupport::runSql(db.path(), {"create exception no_lines 'Редовете са заключени'",
                                    "create trigger no_line_for_201 for DOGHORAZEMI before insert as begin "
                                    "if (new.ID_ZEMQ = 200) then exception no_lines; end"});
    open(100);
    selectShare("101", "Иван");
    click("bitDob");
    selectShare("201", "Иван");
    click("bitDob");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().contains("Редовете са заключени"));
    EXPECT_EQ(column(grid("jvdbgridDHZ"), 2), QStringList{"101"});  // the first line stays in the edit
    EXPECT_EQ(total(), "2,500 дка");
    EXPECT_FALSE(closed());
    click("bitOtkaz");
    EXPECT_TRUE(closed());
    EXPECT_EQ(countRows(db.path(), "DOGHORAZEMI where ID_DOG = 100"), 0);
    EXPECT_EQ(countRows(db.path(), "SOBSTV where ID_DOG = 100"), 0);
}

}  // namespace
