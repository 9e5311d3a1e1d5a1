#include "registers/tfdogovor.h"

#include "registers/contract_rules.h"
#include "registers/tfdognomer.h"
#include "registers/contract_test_data.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>

namespace {

using contracttest::column;
using testsupport::countRows;
using testsupport::onModalDialog;

class TFDogovorTest : public testsupport::ScreenTest<TFDogovor> {
protected:
    TFDogovorTest() { testsupport::runSql(db.path(), contracttest::kContracts); }
    ~TFDogovorTest() override
    {
        if (screen && screen->editor())
            delete screen->editor();
        delete screen.data();
    }

    TFDogovor& open() { return show(new TFDogovor(module(), prompter, direction)); }
    QTableView* list() const { return control<QTableView>("jvdbgridDogovor"); }
    QStringList numbers() const { return column(list(), 0); }
    void sortBy(int c) { emit list()->horizontalHeader()->sectionClicked(c); }
    // The number dialog answered with `number` and "Запис".
    void addWithNumber(const QString& number, QString* proposed = nullptr)
    {
        onModalDialog<TFDogNomer>([number, proposed](TFDogNomer& d) {
            auto* edit = d.findChild<QLineEdit*>("edNomer");
            if (proposed)
                *proposed = edit->text();
            edit->setText(number);
            d.findChild<QPushButton*>("bitZapis")->click();
        });
        click("bitDogDob");
    }

    SortSwitch direction{SortSwitch::Descending};
};

TEST_F(TFDogovorTest, ListsContractsByNumberAndSortsByTheKindsId)
{
    open();
    EXPECT_EQ(numbers(), (QStringList{"9", "10", "41", "57"}));
    QStringList titles;
    for (int c = 0; c < list()->model()->columnCount(); ++c)
        titles << list()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles.mid(0, 8), (QStringList{"Договор №", "Дата", "Вид договор", "Тип договор", "От дата", "До дата",
                                             "Състояние", "Дата на прекратяване"}));
    EXPECT_EQ(titles.size(), 19);
    EXPECT_EQ(column(list(), 2), (QStringList{"Анекс", "Нов договор", "Нов договор", "Продължение"}));
    testsupport::keepScreenshot(screen->grab().toImage(), QStringLiteral("TFDogovor"));

    sortBy(0);  // first descending
    EXPECT_EQ(numbers(), (QStringList{"57", "41", "10", "9"}));
    sortBy(2);  // then ascending, by the kind's id: Нов договор 1, Анекс 2, Продължение 3
    EXPECT_EQ(column(list(), 2).mid(2), (QStringList{"Анекс", "Продължение"}));
    EXPECT_EQ(column(list(), 2).first(), "Нов договор");
}

TEST_F(TFDogovorTest, NumberDialogProposesTheNumberAfterTheLastMadeContract)
{
    open();
    QString proposed;
    onModalDialog<TFDogNomer>([&proposed](TFDogNomer& d) {
        auto* edit = d.findChild<QLineEdit*>("edNomer");
        proposed = edit->text();
        edit->clear();
        testsupport::typeText(edit, QStringLiteral("12ab34567"));  // letters cannot be typed, six digits at most
        EXPECT_EQ(edit->text(), "123456");
        edit->clear();
        d.findChild<QPushButton*>("bitZapis")->click();  // empty: asked again
        EXPECT_TRUE(d.isVisible());
        d.reject();
    });
    click("bitDogDob");
    EXPECT_EQ(proposed, "42");  // 41 was made last, though 57 is higher
    EXPECT_EQ(prompter.shown(), QStringList{"Въведете номер на договор"});
    EXPECT_FALSE(screen->editor());

    EXPECT_EQ(contract::proposedNumber(QStringLiteral("41")), QStringLiteral("42"));
    EXPECT_EQ(contract::proposedNumber(QStringLiteral("12/а")), std::nullopt);
    EXPECT_EQ(contract::proposedNumber(QStringLiteral("999999")), std::nullopt);  // seven digits do not fit
}

TEST_F(TFDogovorTest, ANewContractIsMadeUncommittedAndOtkazLeavesNoTrace)
{
    open();
    addWithNumber(QStringLiteral("58"));
    ASSERT_TRUE(screen->editor());
    TDM& dm = module();
    EXPECT_EQ(dm.TDogovor.field("NOMER").value().toString(), "58");
    EXPECT_FALSE(dm.TDogovor.field("ID_DOG").value().isNull());
    EXPECT_EQ(countRows(db.path(), "\"DOG DANNI\" where NOMER = '58'"), 0);  // not committed
    EXPECT_EQ(screen->rememberedNumber(), "58");
    EXPECT_TRUE(screen->editor()->findChild<QWidget*>("panelPrekr")->isHidden());

    screen->editor()->findChild<QPushButton*>("bitOtkaz")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(screen->editor());
    EXPECT_EQ(countRows(db.path(), "\"DOG DANNI\" where NOMER = '58'"), 0);
    EXPECT_FALSE(dm.TDogovor.locate(QStringLiteral("NOMER"), QStringLiteral("58")));
    EXPECT_TRUE(dm.TDHZ.isOpen());  // the contract cursors are open again
}

TEST_F(TFDogovorTest, AnExistingNumberOpensThatContract)
{
    open();
    addWithNumber(QStringLiteral("10"));
    EXPECT_EQ(prompter.shown(), QStringList{"Договор с такъв номер съществува!"});
    ASSERT_TRUE(screen->editor());
    EXPECT_EQ(module().TDogovor.field("ID_DOG").value().toInt(), 101);
    EXPECT_EQ(countRows(db.path(), "\"DOG DANNI\""), 4);
    EXPECT_EQ(screen->rememberedNumber(), "10");
}

TEST_F(TFDogovorTest, TheRememberedContractIsSelectedWhenTheRegisterIsActiveAgain)
{
    open();
    list()->selectRow(3);
    click("bitDogKor");
    ASSERT_TRUE(screen->editor());
    EXPECT_EQ(screen->rememberedNumber(), "57");
    EXPECT_FALSE(screen->editor()->findChild<QWidget*>("panelPrekr")->isHidden());
    screen->editor()->findChild<QPushButton*>("bitOtkaz")->click();
    list()->selectRow(0);
    screen->activateWindow();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(screen, &activate);
    EXPECT_EQ(list()->currentIndex().row(), 3);
}

TEST_F(TFDogovorTest, AContractInForceKeepsItsLinesAndATerminatedOneGoesWithThem)
{
    open();
    list()->selectRow(1);  // contract 10, in force with a line
    click("bitDogDel");
    EXPECT_EQ(prompter.shown(), QStringList{"Има въведени имоти и собственици към този договор!"});

    testsupport::runSql(db.path(), {"update \"DOG DANNI\" set SYSTOQNIE = 'Прекратен' where ID_DOG = 101"});
    screen->list()->reread();
    list()->selectRow(1);
    prompter.answerYes();
    click("bitDogDel");
    EXPECT_EQ(countRows(db.path(), "\"DOG DANNI\" where ID_DOG = 101"), 0);
    EXPECT_EQ(countRows(db.path(), "DOGHORAZEMI where ID_DOG = 101"), 0);
    EXPECT_EQ(numbers(), (QStringList{"9", "41", "57"}));
    EXPECT_TRUE(module().TDHZ.isOpen());

    // Nothing selected to delete on an empty list.
    testsupport::runSql(db.path(), {"delete from \"DOG DANNI\""});
    screen->list()->reread();
    prompter.clearShown();
    click("bitDogDel");
    click("bitDogKor");
    EXPECT_EQ(prompter.shown(), (QStringList{"Няма данни!", "Няма данни!"}));
}

}  // namespace
