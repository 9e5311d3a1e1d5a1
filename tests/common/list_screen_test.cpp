#include "app/startup.h"
#include "dm/tdm.h"
#include "common/list_screen.h"
#include "dataset/binders.h"
#include "dataset/dataset_model.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "support/sql.h"
#include "support/test_db.h"
#include "support/typing.h"

#include "common/failure.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

using testsupport::typeText;

// A small owners register built on the pattern the way the register screens
// are: its own list query under its own read transaction, a name filter, a
// sort by title, an identifier search, and an edit panel over THora.
class TestOwners : public ListScreen {
public:
    TestOwners(TDM& dm, Prompter& prompter, SortSwitch& direction, SortForm form,
               EditFlow::Closing closing = EditFlow::Closing::AskBeforeClosing)
        : ListScreen(prompter), IBTQueryTest(dm.IBDatabase1, QStringLiteral("IBTQueryTest"))
    {
        view = grid(QStringLiteral("jvdbgridTest"));
        list = &addList(
            view, QueryTest,
            {{QStringLiteral("EGN"), QStringLiteral("ЕГН"), QStringLiteral("HORA.EGN")},
             {QStringLiteral("IME"), QStringLiteral("Име"), QStringLiteral("HORA.IME"), QStringLiteral(" hora.egn ")}});
        list->setStatement({.base = {QStringLiteral("select hora.id_hora, hora.egn, hora.ime from hora")},
                            .defaultOrder = {QStringLiteral(" order by "), QStringLiteral(" hora.egn, hora.ime ")}});
        filterBox = new QLineEdit(this);
        list->addFilterBox(filterBox, {QStringLiteral("(upper(hora.ime) containing(")});
        list->connectFilter(filterButton = button(QStringLiteral("butFilterShow"), QStringLiteral("Филтрирай")),
                            clearButton = button(QStringLiteral("butFilterClear"), QStringLiteral("Изчисти")));
        list->setSort(form, direction, true);
        searchBox = new QLineEdit(this);
        list->setSearch(searchBox, searchButton = button(QStringLiteral("butSearch"), QStringLiteral("Търси")),
                        QStringLiteral("EGN"));

        panel = new QWidget(this);
        egn = new QLineEdit(panel);
        ime = new QLineEdit(panel);
        new dataset::LineEditBinder(egn, dm.THora, QStringLiteral("EGN"), true);
        new dataset::LineEditBinder(ime, dm.THora, QStringLiteral("IME"));
        flow = &addFlow(dm.THora, panel);
        flow->setList(*list, QStringLiteral("ID_HORA"));
        flow->setFirstField(egn);
        flow->lockWhileEditing(view);
        flow->setClosing(closing, QStringLiteral("Моля, запишете или откажете корекцията!"));
        flow->checks = {{[this] { return !ime->text().isEmpty(); }, QStringLiteral("Няма дани!")},
                        {[this] { return !egn->text().isEmpty(); }, QStringLiteral("Няма данни!")}};
        flow->closingChecks = {flow->checks[0]};
        flow->guards = {{[this, &dm] { return dm.TDelSobstv.locate(QStringLiteral("ID_HORA"), flow->selectedKey()); },
                         QStringLiteral("Този собственик има имоти!")}};
        flow->connectButtons(add = button(QStringLiteral("bitDob"), QStringLiteral("Добавяне")),
                             correct = button(QStringLiteral("bitKor"), QStringLiteral("Корекция")),
                             remove = button(QStringLiteral("bitDel"), QStringLiteral("Изтриване")),
                             save = button(QStringLiteral("bitZapis"), QStringLiteral("Запис"), panel),
                             cancel = button(QStringLiteral("bitOtkaz"), QStringLiteral("Отказ"), panel));
        list->reread();
    }

    // The identifiers the grid shows, top to bottom.
    QStringList shownEgn() const
    {
        QStringList out;
        for (int r = 0; r < view->model()->rowCount(); ++r)
            out << view->model()->index(r, 0).data().toString();
        return out;
    }
    QString selectedEgn() const { return view->currentIndex().data().toString(); }
    void clickTitle(int column) { emit view->horizontalHeader()->sectionClicked(column); }

    dataset::TransactionArea IBTQueryTest;
    dataset::Dataset QueryTest{IBTQueryTest, QStringLiteral("QueryTest")};
    QTableView* view;
    ListGrid* list;
    EditFlow* flow;
    QWidget* panel;
    QLineEdit *filterBox, *searchBox, *egn, *ime;
    QPushButton *filterButton, *clearButton, *searchButton, *add, *correct, *remove, *save, *cancel;
};

class ListScreenTest : public ::testing::Test {
protected:
    ListScreenTest()
    {
        run({QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (1, '7001010011', 'Петър Иванов')"),
             QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (2, '7001010022', 'Мари О''Нийл')"),
             QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (3, '7101010033', 'Анна Петрова')"),
             QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (4, '121212121', 'ПЕТРОВ ООД')"),
             QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (5, '7201010044', '100% БИО')"),
             QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (3, 1, '1/1')")});
    }
    ~ListScreenTest() override { delete screen; }

    void run(const QStringList& statements) { testsupport::runSql(db.path(), statements); }
    qint64 count(const QString& from) { return testsupport::countRows(db.path(), from); }
    TestOwners& open(SortForm form = SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn, hora.ime ")),
                     EditFlow::Closing closing = EditFlow::Closing::AskBeforeClosing)
    {
        if (!dm)
            dm = std::make_unique<TDM>(db.path());
        screen = new TestOwners(*dm, prompter, direction, form, closing);
        return *screen;
    }
    void filter(TestOwners& s, const QString& text)
    {
        s.filterBox->setText(text);
        s.filterButton->click();
    }

    testsupport::TestDatabase db;
    testsupport::ScriptedPrompter prompter;
    std::unique_ptr<TDM> dm;
    SortSwitch direction;
    QPointer<TestOwners> screen;
};

const QStringList kAll = {QStringLiteral("121212121"), QStringLiteral("7001010011"), QStringLiteral("7001010022"),
                          QStringLiteral("7101010033"), QStringLiteral("7201010044")};

TEST_F(ListScreenTest, TwoSortsOnOneColumnReverseTheOrderAndAnotherColumnTakesTheNextDirection)
{
    TestOwners& s = open();
    EXPECT_EQ(s.shownEgn(), kAll);
    s.clickTitle(0);
    EXPECT_EQ(s.shownEgn(), kAll);
    EXPECT_EQ(s.list->lines().last(), QStringLiteral("HORA.EGN ASC, hora.egn, hora.ime "));
    EXPECT_EQ(s.list->model().sortMarkerColumn(), 0);
    s.clickTitle(0);
    EXPECT_EQ(s.shownEgn(), QStringList(kAll.rbegin(), kAll.rend()));
    EXPECT_EQ(s.list->model().headerData(0, Qt::Horizontal, dataset::DatasetModel::SortMarkerRole).toInt(),
              int(Qt::DescendingOrder));

    // One sort by the name, then the other column goes the other way.
    s.clickTitle(1);
    EXPECT_EQ(s.list->lines().last(), QStringLiteral("HORA.IME ASC, hora.egn "));
    EXPECT_EQ(s.shownEgn().first(), QStringLiteral("7201010044"));  // "100% БИО"
    s.clickTitle(0);
    EXPECT_EQ(s.list->lines().last(), QStringLiteral("HORA.EGN DESC, hora.egn, hora.ime "));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(ListScreenTest, TheAlternationSurvivesClosingAndOpeningTheScreenAgain)
{
    QTemporaryDir exeDir;
    Arventa program = startArventa(exeDir.path(), prompter, db.path());
    program.registry->add(QStringLiteral("TFTestList"), [](const ScreenContext& c) {
        return new TestOwners(c.dm, c.prompter, c.sorts.of(QStringLiteral("TFTestList"), SortSwitch::Ascending),
                              SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn, hora.ime ")));
    });
    const auto openList = [&] {
        program.main->openScreen(QStringLiteral("TFTestList"));
        return static_cast<TestOwners*>(program.registry->instance(QStringLiteral("TFTestList")));
    };
    TestOwners* first = openList();
    ASSERT_TRUE(first);
    first->clickTitle(0);
    EXPECT_EQ(first->shownEgn(), kAll);
    QPointer<TestOwners> gone = first;
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(gone);

    TestOwners* second = openList();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->shownEgn(), kAll);  // the default order at first
    second->clickTitle(0);
    EXPECT_EQ(second->shownEgn(), QStringList(kAll.rbegin(), kAll.rend()));
}

TEST_F(ListScreenTest, AnyFilterTextIsMatchedLiterallyAndTheFilterClears)
{
    TestOwners& s = open();
    filter(s, QStringLiteral("'"));
    EXPECT_EQ(s.shownEgn(), QStringList{QStringLiteral("7001010022")});
    filter(s, QStringLiteral("О'Н"));
    EXPECT_EQ(s.shownEgn(), QStringList{QStringLiteral("7001010022")});
    filter(s, QStringLiteral("петров"));  // letter case does not matter
    EXPECT_EQ(s.shownEgn(), (QStringList{QStringLiteral("121212121"), QStringLiteral("7101010033")}));
    filter(s, QStringLiteral("%"));
    EXPECT_EQ(s.shownEgn(), QStringList{QStringLiteral("7201010044")});
    for (const QString& text :
         {QStringLiteral("_"), QStringLiteral("' or 1=1 --"), QStringLiteral("'')) or ((''='"), QStringLiteral(":egn"),
          QStringLiteral("?"), QStringLiteral("\"IME\""), QStringLiteral("\\"), QString(200, QChar(u'я')),
          QString(200, QLatin1Char('\'')), QString(40000, QChar(u'я'))}) {
        filter(s, text);
        EXPECT_TRUE(s.shownEgn().isEmpty()) << text.left(40).toStdString();
    }
    EXPECT_EQ(s.filterBox->text().size(), 1000);  // a paste that long is cut before it reaches the statement
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(QLatin1Char('|')).toStdString();

    s.clearButton->click();
    EXPECT_TRUE(s.filterBox->text().isEmpty());
    EXPECT_EQ(s.shownEgn(), kAll);
}

TEST_F(ListScreenTest, SortsThatReplaceTheLastLineKeepTheFilterWhileARebuiltStatementShowsAllRowsAgain)
{
    {
        TestOwners& a = open();
        filter(a, QStringLiteral("петров"));
        a.clickTitle(0);
        a.clickTitle(0);
        EXPECT_EQ(a.shownEgn(), (QStringList{QStringLiteral("7101010033"), QStringLiteral("121212121")}));
        // A filter afterwards restores the default order.
        a.filterButton->click();
        EXPECT_EQ(a.list->lines(), a.list->statement().filtered({{QStringLiteral("(upper(hora.ime) containing(")}},
                                                                {QStringLiteral("петров")}));
        delete screen;
    }
    {
        // The order clause is two lines here, so the sort writes the key alone.
        TestOwners& b = open(SortForm::lastLine(QString()));
        filter(b, QStringLiteral("петров"));
        b.clickTitle(1);
        EXPECT_EQ(b.list->lines().last(), QStringLiteral("HORA.IME ASC"));
        EXPECT_EQ(b.shownEgn(), (QStringList{QStringLiteral("7101010033"), QStringLiteral("121212121")}));
        delete screen;
    }
    TestOwners& c = open(SortForm::rebuiltFromBase());
    filter(c, QStringLiteral("петров"));
    c.clickTitle(0);
    EXPECT_EQ(c.list->lines().last(), QStringLiteral(" order by HORA.EGN DESC"));
    EXPECT_EQ(c.shownEgn(), QStringList(kAll.rbegin(), kAll.rend()));
    EXPECT_EQ(c.filterBox->text(), QStringLiteral("петров"));  // the box keeps its text
}

TEST_F(ListScreenTest, SearchFindsTheNextRowBelowAndStaysOnTheLastMatch)
{
    TestOwners& s = open();
    s.searchButton->click();  // an empty box does nothing
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("121212121"));
    QTest::keyClicks(s.searchBox, QStringLiteral("7a0"));
    EXPECT_EQ(s.searchBox->text(), QStringLiteral("70"));
    s.searchButton->click();
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("7001010011"));
    s.searchButton->click();
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("7001010022"));
    s.searchButton->click();  // no wrap-around
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("7001010022"));
    s.searchBox->setText(QStringLiteral("9"));
    s.searchButton->click();
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("7001010022"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_F(ListScreenTest, CorrectAndDeleteOnAnEmptyListSayNoDataAndChangeNothing)
{
    TestOwners& s = open();
    filter(s, QStringLiteral("никой"));
    ASSERT_TRUE(s.shownEgn().isEmpty());
    s.correct->click();
    s.remove->click();
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Няма данни!"), QStringLiteral("Няма данни!")}));
    EXPECT_FALSE(s.flow->isEditing());
    EXPECT_TRUE(s.panel->isHidden());
    EXPECT_EQ(dm->THora.state(), dataset::State::Browse);
    EXPECT_EQ(count(QStringLiteral("HORA")), 5);
}

TEST_F(ListScreenTest, AddCorrectSaveAndCancelGoThroughTheAreaAndReselectTheRow)
{
    TestOwners& s = open();
    s.add->click();
    EXPECT_TRUE(s.flow->isEditing());
    EXPECT_FALSE(s.panel->isHidden());
    EXPECT_FALSE(s.view->isEnabled());
    EXPECT_EQ(dm->THora.state(), dataset::State::Insert);
    QTest::keyClicks(s.egn, QStringLiteral("6501010055"));
    s.save->click();  // no name yet
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Няма дани!")});
    EXPECT_TRUE(s.flow->isEditing());
    typeText(s.ime, QStringLiteral("Нов Собственик"));
    s.save->click();
    EXPECT_FALSE(s.flow->isEditing());
    EXPECT_TRUE(s.panel->isHidden());
    EXPECT_TRUE(s.view->isEnabled());
    EXPECT_EQ(count(QStringLiteral("HORA where IME = 'Нов Собственик'")), 1);  // committed
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("6501010055"));                  // the list shows the new row, selected
    EXPECT_EQ(dm->THora.field("EGN").asString(), QStringLiteral("6501010055"));

    // Correct the row below, then cancel: nothing changes and it stays selected.
    s.view->setCurrentIndex(s.view->model()->index(3, 0));
    s.correct->click();
    EXPECT_EQ(dm->THora.state(), dataset::State::Edit);
    EXPECT_EQ(s.ime->text(), QStringLiteral("Мари О'Нийл"));
    s.ime->selectAll();
    typeText(s.ime, QStringLiteral("Друго"));
    s.cancel->click();
    EXPECT_FALSE(s.flow->isEditing());
    EXPECT_EQ(count(QStringLiteral("HORA where IME = 'Друго'")), 0);
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("7001010022"));

    // And correct it for real.
    s.correct->click();
    s.ime->selectAll();
    typeText(s.ime, QStringLiteral("Мари Нийл"));
    s.save->click();
    EXPECT_EQ(count(QStringLiteral("HORA where ID_HORA = 2 and IME = 'Мари Нийл'")), 1);
    EXPECT_EQ(s.selectedEgn(), QStringLiteral("7001010022"));
    EXPECT_EQ(prompter.shown().size(), 1);
}

TEST_F(ListScreenTest, DeleteRunsTheGuardsAsksAndRollsBackAFailureSilently)
{
    run({QStringLiteral("create exception E_NO_DELETE 'not now'"),
         QStringLiteral("create trigger HORA_KEEP for HORA before delete as begin "
                        "if (old.IME = 'ПЕТРОВ ООД') then exception E_NO_DELETE; end")});
    TestOwners& s = open();
    s.view->setCurrentIndex(s.view->model()->index(3, 0));  // Анна Петрова holds a share
    s.remove->click();
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Този собственик има имоти!")});

    prompter.clearShown();
    s.view->setCurrentIndex(s.view->model()->index(1, 0));
    prompter.answerNo();
    s.remove->click();
    EXPECT_EQ(count(QStringLiteral("HORA")), 5);
    EXPECT_TRUE(dm->IBTHora.isActive());  // a No leaves the transaction as it is

    prompter.answerYes();
    s.remove->click();
    EXPECT_EQ(count(QStringLiteral("HORA where ID_HORA = 1")), 0);
    EXPECT_EQ(s.shownEgn().size(), 4);

    // The database refuses: rolled back without a message, the row stays listed.
    s.view->setCurrentIndex(s.view->model()->index(0, 0));
    prompter.answerYes();
    s.remove->click();
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Моля, потвърдете изтриването!"),
                                             QStringLiteral("Моля, потвърдете изтриването!"),
                                             QStringLiteral("Моля, потвърдете изтриването!")}));
    EXPECT_EQ(count(QStringLiteral("HORA")), 4);
    EXPECT_TRUE(s.shownEgn().contains(QStringLiteral("121212121")));
    EXPECT_TRUE(dm->THora.isOpen());
}

TEST_F(ListScreenTest, ADatabaseErrorOnPostOrCommitKeepsThePanelAndTheTransaction)
{
    run({QStringLiteral("create exception E_BAD_NAME 'no such name'"),
         QStringLiteral("create trigger HORA_CHECK for HORA before insert or update as begin "
                        "if (new.IME = 'ГРЕШКА') then exception E_BAD_NAME; end"),
         QStringLiteral("create trigger COMMIT_CHECK on transaction commit as begin "
                        "if (exists(select 1 from HORA where IME = 'ОТКАЗ')) then exception E_BAD_NAME; end")});
    const QString postError = testsupport::clientError(
        db.path(), QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (9, '1', 'ГРЕШКА')"));
    ASSERT_FALSE(postError.isEmpty());
    TestOwners& s = open();
    s.add->click();
    QTest::keyClicks(s.egn, QStringLiteral("6501010055"));
    typeText(s.ime, QStringLiteral("ГРЕШКА"));
    s.save->click();
    EXPECT_EQ(prompter.shown(), QStringList{failure::text(QStringLiteral("Записът не е направен."), postError)});
    EXPECT_TRUE(s.flow->isEditing());
    EXPECT_EQ(dm->THora.state(), dataset::State::Insert);
    EXPECT_TRUE(dm->IBTHora.isActive());
    EXPECT_EQ(s.egn->text(), QStringLiteral("6501010055"));  // nothing typed is lost

    // The commit fails: the posted row comes back into the panel, still uncommitted.
    s.ime->selectAll();
    typeText(s.ime, QStringLiteral("ОТКАЗ"));
    prompter.clearShown();
    s.save->click();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shown().first().contains(QStringLiteral("no such name")));
    EXPECT_TRUE(s.flow->isEditing());
    EXPECT_TRUE(dm->IBTHora.isActive());
    EXPECT_EQ(dm->THora.state(), dataset::State::Edit);
    EXPECT_EQ(s.ime->text(), QStringLiteral("ОТКАЗ"));
    EXPECT_EQ(count(QStringLiteral("HORA")), 5);

    // Corrected, it saves; the row that failed to commit is the one stored.
    s.ime->selectAll();
    typeText(s.ime, QStringLiteral("Поправен"));
    s.save->click();
    EXPECT_FALSE(s.flow->isEditing());
    EXPECT_EQ(count(QStringLiteral("HORA where IME = 'Поправен' and EGN = '6501010055'")), 1);
    EXPECT_EQ(count(QStringLiteral("HORA")), 6);
}

TEST_F(ListScreenTest, TheCloseQuestionSavesDiscardsOrKeepsTheScreenOpen)
{
    TestOwners& s = open();
    s.close();  // browsing: no question
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(screen);

    // Yes with the minimal fields missing: the message, and the screen stays.
    TestOwners& t = open();
    t.add->click();
    QTest::keyClicks(t.egn, QStringLiteral("6501010055"));
    prompter.answerYes();
    EXPECT_FALSE(t.close());
    EXPECT_EQ(prompter.shown(), (QStringList{QStringLiteral("Желаете ли да запишете!"), QStringLiteral("Няма дани!")}));
    EXPECT_TRUE(t.flow->isEditing());

    // Yes with them: stored (the minimal checks only: no identifier needed) and closed.
    t.egn->clear();
    QTest::keyClick(t.egn, Qt::Key_Backspace);
    typeText(t.ime, QStringLiteral("Само Име"));
    prompter.answerYes();
    EXPECT_TRUE(t.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(screen);
    EXPECT_EQ(count(QStringLiteral("HORA where IME = 'Само Име'")), 1);

    // "Отказ" (or Esc): back to the work, nothing stored and nothing given up.
    TestOwners& u = open();
    u.correct->click();
    u.ime->selectAll();
    typeText(u.ime, QStringLiteral("Не се пази"));
    prompter.answerCancel();
    EXPECT_FALSE(u.close());
    EXPECT_TRUE(u.flow->isEditing());
    EXPECT_EQ(u.ime->text(), QStringLiteral("Не се пази"));
    EXPECT_EQ(dm->THora.state(), dataset::State::Edit);

    // No: discarded, rolled back, closed.
    prompter.answerNo();
    EXPECT_TRUE(u.close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(count(QStringLiteral("HORA where IME = 'Не се пази'")), 0);
    EXPECT_EQ(dm->THora.state(), dataset::State::Browse);
    EXPECT_FALSE(dm->IBTHora.isActive() && dm->THora.isEditing());

    // A screen that refuses to close says so with its own message, asking nothing.
    prompter.clearShown();
    TestOwners& v =
        open(SortForm::lastLineWithTieBreak(QStringLiteral(" hora.egn, hora.ime ")), EditFlow::Closing::Refuse);
    v.correct->click();
    EXPECT_FALSE(v.close());
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Моля, запишете или откажете корекцията!")});
    v.cancel->click();
    EXPECT_TRUE(v.close());
}

}  // namespace
