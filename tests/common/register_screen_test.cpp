#include "common/register_screen.h"
#include "common/sort_switch.h"
#include "dataset/dataset_model.h"
#include "dm/tdm.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

using kit::FieldSpec;
using testsupport::typeText;

// A small owners list told as data: a list query of its own with a name
// filter and an identifier search, and a panel over THora whose fields are
// declared out of their visual order.
kit::RegisterForm ownersForm(TDM& dm, SortSwitch& direction, const FilterCondition& nameCondition)
{
    return {
        .kind = QStringLiteral("TFTestOwners"),
        .caption = QStringLiteral("Собственици"),
        .list = {.grid = QStringLiteral("jvdbgridTest"),
                 .group = QStringLiteral("Собственици"),
                 .query = QStringLiteral("QueryTest"),
                 .statement = {.base = {QStringLiteral("select hora.id_hora, hora.egn, hora.ime from hora")},
                               .defaultOrder = {QStringLiteral(" order by "), QStringLiteral(" hora.egn ")}},
                 .columns = {{QStringLiteral("EGN"), QStringLiteral("ЕГН"), QStringLiteral("HORA.EGN")},
                             {QStringLiteral("IME"), QStringLiteral("Име"), QStringLiteral("HORA.IME")}},
                 .key = QStringLiteral("ID_HORA"),
                 .filters = {{QStringLiteral("edFilterIme"), QStringLiteral("Име:"), nameCondition}},
                 .searchBox = QStringLiteral("edSearchEGN"),
                 .searchLabel = QStringLiteral("ЕГН:"),
                 .searchField = QStringLiteral("EGN"),
                 .sort = SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn ")),
                 .direction = &direction,
                 .marker = true},
        .cursor = &dm.THora,
        .panel = QStringLiteral("panelTest"),
        .fields = {{.name = QStringLiteral("dbedAdres"),
                    .label = QStringLiteral("Адрес:"),
                    .column = QStringLiteral("ADRES"),
                    .row = 1,
                    .col = 0},
                   {.name = QStringLiteral("dbedIme"),
                    .label = QStringLiteral("Име:"),
                    .column = QStringLiteral("IME"),
                    .row = 0,
                    .col = 2},
                   {.name = QStringLiteral("dbedEGN"),
                    .label = QStringLiteral("ЕГН:"),
                    .column = QStringLiteral("EGN"),
                    .kind = FieldSpec::Kind::Digits,
                    .row = 0,
                    .col = 0}},
        .firstField = QStringLiteral("dbedEGN"),
        .checks = {kit::Check::filled(QStringLiteral("dbedIme"), QStringLiteral("Няма дани!"))},
        .leaveChecks = {{QStringLiteral("dbedEGN"),
                         {[](const kit::PanelValues& v) { return v.text(QStringLiteral("dbedEGN")).size() == 10; },
                          QStringLiteral("Грешен ЕГН!")}}},
        .guards = {kit::Guard::inTable(QStringLiteral("SOBSTV"), QStringLiteral("ID_HORA"),
                                       QStringLiteral("Този собственик има имоти!"))},
    };
}

class RegisterScreenTest : public ::testing::Test {
protected:
    RegisterScreenTest()
    {
        testsupport::runSql(
            db.path(), {QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (1, '7001010011', 'Петър Иванов')"),
                        QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (2, '7101010033', 'Анна Петрова')"),
                        QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (2, 1, '1/1')")});
    }
    ~RegisterScreenTest() override { delete screen.data(); }

    RegisterScreen& open(const FilterCondition& nameCondition = {QStringLiteral("(upper(hora.ime) containing(")})
    {
        dm = std::make_unique<TDM>(db.path());
        screen = new RegisterScreen(prompter, ownersForm(*dm, direction, nameCondition));
        screen->start();
        screen->show();
        screen->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(screen));
        return *screen;
    }
    QLineEdit* edit(const char* name) const { return screen->control<QLineEdit>(QLatin1String(name)); }
    QTableView* grid() const { return screen->control<QTableView>(QStringLiteral("jvdbgridTest")); }
    QStringList shownEgn() const
    {
        QStringList out;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            out << grid()->model()->index(r, 0).data().toString();
        return out;
    }
    void press(QWidget* w, Qt::Key key)
    {
        w->setFocus();
        QTest::keyClick(w, key);
    }
    bool closed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return screen.isNull();
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
    SortSwitch direction;
    QPointer<RegisterScreen> screen;
};

TEST_F(RegisterScreenTest, TheTabKeyWalksThePanelAsItIsSeenThenSaveAndCancel)
{
    RegisterScreen& s = open();
    s.control<QPushButton>(QStringLiteral("bitDob"))->click();
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedEGN"));
    QStringList walked;
    QWidget* w = edit("dbedEGN");
    for (int i = 0; i < 4; ++i) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(&s));
        walked << w->objectName();
    }
    EXPECT_EQ(walked, (QStringList{"dbedIme", "dbedAdres", "bitZapis", "bitOtkaz"}));
}

TEST_F(RegisterScreenTest, EnterFiltersSearchesOrPressesAndEscCancelsThePanelOrClosesTheScreen)
{
    RegisterScreen& s = open();
    emit grid()->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(s.list()->model().sortMarkerColumn(), 1);
    QLineEdit* filter = edit("edFilterIme");
    filter->setText(QStringLiteral("анна"));
    press(filter, Qt::Key_Return);
    EXPECT_EQ(shownEgn(), QStringList{QStringLiteral("7101010033")});
    // A filter goes back to the default order: no title is marked.
    EXPECT_EQ(s.list()->model().sortMarkerColumn(), -1);
    filter->clear();
    press(filter, Qt::Key_Enter);
    EXPECT_EQ(shownEgn().size(), 2);

    QLineEdit* search = edit("edSearchEGN");
    search->setText(QStringLiteral("71"));
    press(search, Qt::Key_Return);
    EXPECT_EQ(grid()->currentIndex().row(), 1);
    press(search, Qt::Key_Return);  // nothing below: no box, the row stays
    EXPECT_EQ(grid()->currentIndex().row(), 1);

    press(s.control<QPushButton>(QStringLiteral("bitKor")), Qt::Key_Return);
    ASSERT_TRUE(s.flow().isEditing());
    typeText(edit("dbedIme"), QStringLiteral(" Х"));
    press(edit("dbedIme"), Qt::Key_Escape);  // "Отказ"
    EXPECT_FALSE(s.flow().isEditing());
    EXPECT_EQ(dm->THora.state(), dataset::State::Browse);
    EXPECT_FALSE(closed());
    press(grid(), Qt::Key_Escape);
    EXPECT_TRUE(closed());
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
}

TEST_F(RegisterScreenTest, AWindowOpensShowingItsListAndItsColumnsFitWhatTheyShow)
{
    QMdiArea area;
    area.resize(1400, 900);
    area.show();
    dm = std::make_unique<TDM>(db.path());
    screen = new RegisterScreen(prompter, ownersForm(*dm, direction, {QStringLiteral("(upper(hora.ime) containing(")}));
    screen->start();
    area.addSubWindow(screen);
    screen->show();
    const int rowHeight = grid()->verticalHeader()->defaultSectionSize();
    EXPECT_GE(grid()->viewport()->height(), 12 * rowHeight);
    const QFontMetrics fm = grid()->fontMetrics();
    EXPECT_GE(grid()->columnWidth(0), fm.horizontalAdvance(QStringLiteral("7001010011")));
    EXPECT_GE(grid()->columnWidth(1), fm.horizontalAdvance(QStringLiteral("Петър Иванов")));
    delete screen.data();
}

TEST_F(RegisterScreenTest, ARefusingLeaveCheckRunsOnSaveEvenWhenTheFocusNeverLeft)
{
    RegisterScreen& s = open();
    s.control<QPushButton>(QStringLiteral("bitDob"))->click();
    typeText(edit("dbedIme"), QStringLiteral("Нов"));
    edit("dbedEGN")->setFocus();
    typeText(edit("dbedEGN"), QStringLiteral("123"));
    // "Запис" does not take the focus, so the identifier was never left.
    QTest::mouseClick(s.control<QPushButton>(QStringLiteral("bitZapis")), Qt::LeftButton);
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Грешен ЕГН!")});
    EXPECT_TRUE(s.flow().isEditing());
    EXPECT_EQ(QApplication::focusWidget(), edit("dbedEGN"));
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("HORA")), 2);

    // Yes to the close question is no way round it either.
    prompter.answerYes();
    EXPECT_FALSE(s.close());
    EXPECT_EQ(prompter.shown().last(), QStringLiteral("Грешен ЕГН!"));
    typeText(edit("dbedEGN"), QStringLiteral("4567890"));
    QTest::mouseClick(s.control<QPushButton>(QStringLiteral("bitZapis")), Qt::LeftButton);
    EXPECT_FALSE(s.flow().isEditing());
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("HORA where EGN = '1234567890'")), 1);
}

TEST_F(RegisterScreenTest, TheDeleteQuestionDefaultsToNoAndAGuardInATableStopsIt)
{
    RegisterScreen& s = open();
    grid()->setCurrentIndex(grid()->model()->index(1, 0));  // Анна has a share
    s.control<QPushButton>(QStringLiteral("bitDel"))->click();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Този собственик има имоти!")});
    grid()->setCurrentIndex(grid()->model()->index(0, 0));
    prompter.answerYes();
    s.control<QPushButton>(QStringLiteral("bitDel"))->click();
    ASSERT_EQ(prompter.defaults().size(), 1);
    EXPECT_EQ(prompter.defaults().first(), Prompter::Default::No);
    EXPECT_EQ(shownEgn(), QStringList{QStringLiteral("7101010033")});
}

TEST_F(RegisterScreenTest, TextOutsideWindows1251NeverReachesTheDatabaseAndAFailedFilterKeepsItsRows)
{
    // A condition the database cannot evaluate for some texts.
    RegisterScreen& s = open({QStringLiteral("(cast(hora.egn as bigint) = cast("), QStringLiteral(" as bigint)) ")});
    QLineEdit* filter = edit("edFilterIme");
    typeText(filter, QStringLiteral("7001010011"));
    s.control<QPushButton>(QStringLiteral("butFilterShow"))->click();
    EXPECT_EQ(shownEgn(), QStringList{QStringLiteral("7001010011")});
    filter->setText(QStringLiteral("не е число"));
    s.control<QPushButton>(QStringLiteral("butFilterShow"))->click();
    ASSERT_EQ(prompter.shown().size(), 1);  // the client's own text
    EXPECT_EQ(shownEgn(), QStringList{QStringLiteral("7001010011")});

    prompter.clearShown();
    filter->clear();
    typeText(filter, QStringLiteral("Ελλάδα 😀 ğ 中"));
    EXPECT_EQ(filter->text(), QStringLiteral("   "));
    s.control<QPushButton>(QStringLiteral("bitKor"))->click();
    QLineEdit* name = edit("dbedIme");
    name->selectAll();
    typeText(name, QStringLiteral("Иван 😀 Ğ"));
    EXPECT_EQ(name->text(), QStringLiteral("Иван  "));
    QTest::mouseClick(s.control<QPushButton>(QStringLiteral("bitZapis")), Qt::LeftButton);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("HORA where IME = 'Иван  '")), 1);
}

}  // namespace
