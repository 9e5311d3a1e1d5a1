#include "common/failure.h"
#include "rent/tfsobstvzemq.h"

#include "common/sort_switch.h"
#include "rent_test_data.h"
#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/typing.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

namespace {

using testsupport::typeText;

// The small enterprise's figures: Иван 2.5 + 3 decares, equalised 3.457 + 3,
// due 138 kg (34.50) and 103.71 leva in Изгрев, 39 kg (11.70) and 36.39
// leva in Бело поле; Мария 84 kg (21.00) and 63.00 leva; Петър only 33.00
// leva for his land under a rule (1.2 decares, 1.5 equalised), while his
// land in Бело поле under a terminated Аренда has no rule (0.8, 0.75).
const QString kIvan = QStringLiteral("7501010000 | Иван | 5,500 дка | 6,457 дка | 186,30 лв | 0,00 лв | 186,30 лв");
const QString kMaria = QStringLiteral("7501020000 | Мария | 2,500 дка | 2,100 дка | 84,00 лв | 0,00 лв | 84,00 лв");
const QString kPetar = QStringLiteral("7501030000 | Петър | 2,000 дка | 2,250 дка | 33,00 лв | 0,00 лв | 33,00 лв");

class TFSobstvZemqTest : public testsupport::ScreenTest<TFSobstvZemq> {
protected:
    TFSobstvZemqTest() : previous_(QDir::currentPath())
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        seed(renttest::kEnterprise);
        seed(renttest::kRules);
        QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    }
    // The screen goes before the sort switch it was given.
    ~TFSobstvZemqTest() override
    {
        delete screen.data();
        QDir::setCurrent(previous_);
    }

    TFSobstvZemq& open() { return show(new TFSobstvZemq(module(), prompter, outputs, direction)); }
    void seed(const QStringList& sql) { testsupport::runSql(db.path(), sql); }
    // The window becomes the active one again, as when a payout screen closes.
    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(screen, &activation);
    }

    QTableView* list() const { return control<QTableView>("jvdbgridSpisykRenta"); }
    QString label(const char* name) const { return control<QLabel>(name)->text(); }
    // The totals under the list, in their order.
    QStringList totals() const
    {
        return {label("labSumPl"), label("labPrPlosht"), label("labSumNR"), label("labSumIR"), label("labSumOstatyk")};
    }
    QStringList rows() const
    {
        QStringList out;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            out << row(r);
        return out;
    }
    QString row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < list()->model()->columnCount(); ++c)
            cells << list()->model()->index(r, c).data().toString();
        return cells.join(QStringLiteral(" | "));
    }
    QStringList names() const
    {
        QStringList out;
        for (int r = 0; r < list()->model()->rowCount(); ++r)
            out << list()->model()->index(r, 1).data().toString();
        return out;
    }
    void clickTitle(int c) { emit list()->horizontalHeader()->sectionClicked(c); }
    int currentRow() const { return screen->rows().currentRow(); }
    void select(int r) { list()->setCurrentIndex(list()->model()->index(r, 0)); }
    QStringList printed(const QString& pdf) const { return testsupport::pdfLines(pdf); }

    testsupport::ScriptedOutputChooser outputs;
    SortSwitch direction{SortSwitch::Ascending};
    QTemporaryDir out;

private:
    QString previous_;
};

// Стоян's only land lies where no rule is; Петър was paid more than due,
// and Мария's payment of past-years rent is none of this year's.
TEST_F(TFSobstvZemqTest, ListsOwnersUnderARuleWithAllTheirLandAndTotalsOfTheRowsShown)
{
    seed({"insert into HORA (ID_HORA, EGN, IME) values (4, '7501040000', 'Стоян')",
          "insert into SOBSTV (ID_HORA, ID_ZEMQ, REDPLOSHT, PRREDPL) values (4, 200, 0.5, 0.5)",
          "insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ, ID_SOBSTV, REDPLOSHT) values (8, 100, 200, 4, 0.5)",
          "insert into RAZP_PARI (ID_HORA, NOMER, DATA, SUMA) values (3, 11, '2025-01-10', 50)",
          "insert into RAZP_PARI (ID_HORA, NOMER, DATA, SUMA, PMG) values (2, 2, '2025-01-11', 500, 1)"});
    TFSobstvZemq& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Списък за рента"));
    QStringList titles;
    for (int c = 0; c < list()->model()->columnCount(); ++c)
        titles << list()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"ЕГН/ЛНЧ/ЕИН", "Име/Наименование", "Площ", "Пр. площ", "Начислена рента",
                                   "Изплатена рента", "Остатък"}));
    const QString petarOverpaid =
        QStringLiteral("7501030000 | Петър | 2,000 дка | 2,250 дка | 33,00 лв | 50,00 лв | -17,00 лв");
    EXPECT_EQ(rows(), (QStringList{kIvan, kMaria, petarOverpaid}));
    EXPECT_EQ(totals(), (QStringList{"10,000 дка", "10,807 дка", "303,30 лв", "50,00 лв", "253,30 лв"}));
    EXPECT_EQ(control<QPushButton>("bitPrintSP")->toolTip(),
              QStringLiteral("Печат без Изплатена рента, Остатък и Площ"));
    EXPECT_EQ(control<QPushButton>("bitPrintAll")->toolTip(), QStringLiteral("Печат с всички колони"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFSobstvZemq"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// A fragment in lower case finds the name in capitals; a quote in it is
// matched literally; a sort by a title lists everyone again in the run's
// alternating directions while the box keeps its text.
TEST_F(TFSobstvZemqTest, NameFilterIgnoresCaseAndASortDropsIt)
{
    seed({"update HORA set IME = 'Мария д''Арк' where ID_HORA = 2"});
    open();
    edit("edFilterIme")->setFocus();
    typeText(edit("edFilterIme"), QStringLiteral("мар"));
    QTest::keyClick(edit("edFilterIme"), Qt::Key_Return);
    EXPECT_EQ(names(), QStringList{"Мария д'Арк"});
    EXPECT_EQ(totals(), (QStringList{"2,500 дка", "2,100 дка", "84,00 лв", "0,00 лв", "84,00 лв"}));
    edit("edFilterIme")->clear();
    typeText(edit("edFilterIme"), QStringLiteral("Д'АР"));
    click("butFilterShow");
    EXPECT_EQ(names(), QStringList{"Мария д'Арк"});

    clickTitle(4);  // the rent due, ascending first
    EXPECT_EQ(names(), (QStringList{"Петър", "Мария д'Арк", "Иван"}));
    EXPECT_EQ(edit("edFilterIme")->text(), QStringLiteral("Д'АР"));
    EXPECT_EQ(totals(), (QStringList{"10,000 дка", "10,807 дка", "303,30 лв", "0,00 лв", "303,30 лв"}));
    clickTitle(0);  // the identifier, descending
    EXPECT_EQ(names(), (QStringList{"Петър", "Мария д'Арк", "Иван"}));
    clickTitle(0);
    EXPECT_EQ(names(), (QStringList{"Иван", "Мария д'Арк", "Петър"}));

    typeText(edit("edFilterIme"), QStringLiteral("x"));
    click("butFilterShow");
    EXPECT_TRUE(names().isEmpty());
    EXPECT_EQ(totals(), (QStringList{"0,000 дка", "0,000 дка", "0,00 лв", "0,00 лв", "0,00 лв"}));
    QSignalSpy payouts(screen.data(), &TFSobstvZemq::payoutRequested);
    click("butPokajiRenta");  // no owner to show
    EXPECT_EQ(payouts.count(), 0);
    click("butFilterClear");
    EXPECT_TRUE(edit("edFilterIme")->text().isEmpty());
    EXPECT_EQ(names(), (QStringList{"Иван", "Мария д'Арк", "Петър"}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// Digits only, Backspace does nothing while Delete works; the search finds
// the first match in the list's order, from the top, and a miss leaves the
// row where it is without a word.
TEST_F(TFSobstvZemqTest, IdentifierSearchFromTheTopInTheListsOrder)
{
    open();
    QLineEdit* egn = edit("edEGN");
    EXPECT_EQ(egn->maxLength(), 10);
    egn->setFocus();
    QTest::keyClicks(egn, "75a0-1");
    EXPECT_EQ(egn->text(), QStringLiteral("7501"));
    QTest::keyClick(egn, Qt::Key_Backspace);
    EXPECT_EQ(egn->text(), QStringLiteral("7501"));
    QTest::keyClick(egn, Qt::Key_Home);
    QTest::keyClick(egn, Qt::Key_Delete);
    EXPECT_EQ(egn->text(), QStringLiteral("501"));
    egn->setText(QStringLiteral("750103"));

    QTest::keyClick(egn, Qt::Key_Return);
    EXPECT_EQ(currentRow(), 2);
    egn->setText(QStringLiteral("7501"));
    click("butSearch");
    EXPECT_EQ(currentRow(), 0) << "the first match from the top, not the next one";
    clickTitle(1);  // by name, ascending
    clickTitle(1);  // descending: Петър first
    click("butSearch");
    EXPECT_EQ(names().value(currentRow()), QStringLiteral("Петър"));
    select(1);
    egn->setText(QStringLiteral("9"));
    click("butSearch");
    EXPECT_EQ(currentRow(), 1);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    QTest::keyClick(egn, Qt::Key_Escape);
    EXPECT_TRUE(closed());
}

// "Покажи рента" remembers the owner; whatever changed meanwhile (a receipt
// saved, a rule's money raised) shows when the window is active again, back
// on that owner.
TEST_F(TFSobstvZemqTest, ActivationReadsFreshFiguresBackOnTheRememberedOwner)
{
    open();
    QSignalSpy payouts(screen.data(), &TFSobstvZemq::payoutRequested);
    select(1);
    click("butPokajiRenta");
    click("butPokajiRenta");
    EXPECT_EQ(payouts.count(), 2) << "a new payout screen on every press";
    EXPECT_EQ(screen->rememberedOwner(), QStringLiteral("2"));

    seed({"insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM, SUMA) values (1, 2, 1, 21)",
          "insert into \"RAZP RENTA\" (ID_RR, ID_RD, ID_VR, ID_RK, KOL, STOINOST, ID_ZEML, ID_DT) "
          "values (1, 1, 2, 2, 84, 21, 1, 1)",
          "update VIDRENTAKOL set KOL = 40 where ID_RZ = 1 and ID_VRK = 1"});
    select(0);
    EXPECT_EQ(row(1), kMaria) << "nothing read before the window is active again";
    activate();
    EXPECT_EQ(currentRow(), 1);
    // Мария: 84 kg (21.00) and 40 × 2.1 = 84.00 leva; Иван: 40 × 3.457 = 138.28 in Изгрев.
    EXPECT_EQ(row(1), QStringLiteral("7501020000 | Мария | 2,500 дка | 2,100 дка | 105,00 лв | 21,00 лв | 84,00 лв"));
    EXPECT_EQ(totals(), (QStringList{"10,000 дка", "10,807 дка", "358,87 лв", "21,00 лв", "337,87 лв"}));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// What the database says when the kept figures cannot be brought up to
// date is shown as it comes, once as the screen opens in the work area, and
// the list stays empty.
// A rule line or a share stored with a figure no statement can multiply (an
// older register, a hand edit) is named; everyone else's rent is listed.
TEST_F(TFSobstvZemqTest, AnAbsurdStoredFigureIsNamedAndHidesNobodyElsesRent)
{
    seed({"update VIDRENTAKOL set KOL = 1e20 where ID_VRK = 2 and ID_RZ = 2",
          "update SOBSTV set PRREDPL = 1e12 where ID_HORA = 3 and ID_ZEMQ = 101"});
    open();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(
        prompter.shown().first(),
        QStringLiteral("Рентата не може да бъде изчислена за:\n"
                       "- правило: землище Бело поле, тип договор Наем, вид рента Пшеница\n"
                       "- собственик: 7501030000 Петър, имот 102\n"
                       "Стойностите им са извън допустимото; поправете ги. Останалите суми са изчислени без тях."));
    // Иван without the 39 kg (11.70 leva) of the absurd line; Мария as she was.
    EXPECT_EQ(rows().at(0),
              QStringLiteral("7501010000 | Иван | 5,500 дка | 6,457 дка | 174,60 лв | 0,00 лв | 174,60 лв"));
    EXPECT_EQ(rows().at(1), kMaria);
}

TEST_F(TFSobstvZemqTest, ADatabaseErrorOnReadingShowsTheClientsText)
{
    seed({"create exception E_KEPT_FIGURES 'kept figures locked'",
          "create trigger NO_REFRESH for NACH_RENTA_PROM before delete as begin exception E_KEPT_FIGURES; end"});
    const QString error = testsupport::clientError(db.path(), QStringLiteral("delete from NACH_RENTA_PROM"));
    ASSERT_FALSE(error.isEmpty());
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
    screen = new TFSobstvZemq(module(), prompter, outputs, direction);
    area.addSubWindow(screen)->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    QApplication::processEvents();
    EXPECT_EQ(prompter.shown(),
              QStringList{failure::text(QStringLiteral("Списъкът не може да бъде прочетен."), error)});
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(totals(), (QStringList{"0,000 дка", "0,000 дка", "0,00 лв", "0,00 лв", "0,00 лв"}));
}

// Both prints take the rows as they stand: the full one every column with
// the totals, the short one without the area, paid and rest columns.
TEST_F(TFSobstvZemqTest, PrintsTheRowsAsTheyStandInFullAndShort)
{
    seed({"insert into RAZP_PARI (ID_HORA, NOMER, DATA, SUMA) values (3, 11, '2025-01-10', 50)"});
    open();
    clickTitle(4);  // by the rent due
    const QString all = out.filePath(QStringLiteral("all.pdf"));
    outputs.answerPdf(all);
    click("bitPrintAll");
    const QStringList full = printed(all);
    EXPECT_EQ(full.value(0), QStringLiteral("Списък за рента"));
    const QStringList expected = {
        "7501030000 Петър 2,000 2,250 33,00 50,00 -17,00",
        "7501020000 Мария 2,500 2,100 84,00 0,00 84,00",
        "7501010000 Иван 5,500 6,457 186,30 0,00 186,30",
    };
    const qsizetype first = full.indexOf(expected[0]);
    ASSERT_GE(first, 0) << full.join(u'|').toStdString();
    EXPECT_EQ(full.mid(first, 3), expected);
    for (const char* total : {"Площ: 10,000 дка", "Приравнена площ: 10,807 дка", "Начислена рента: 303,30 лв",
                              "Изплатена рента: 50,00 лв", "Остатък: 253,30 лв"})
        EXPECT_TRUE(full.join(u'|').contains(QString::fromUtf8(total))) << total;
    EXPECT_TRUE(full.join(u'|').contains(QStringLiteral("Брой собственици: 3")));

    typeText(edit("edFilterIme"), QStringLiteral("ив"));
    click("butFilterShow");
    const QString shortList = out.filePath(QStringLiteral("short.pdf"));
    outputs.answerPdf(shortList);
    click("bitPrintSP");
    const QString text = printed(shortList).join(u'|');
    EXPECT_TRUE(text.contains(QStringLiteral("ЕГН/ЛНЧ/ЕИН Име/Наименование Пр. площ Начислена рента")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("7501010000 Иван 6,457 186,30"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Петър")));
    EXPECT_FALSE(text.contains(QStringLiteral("Остатък")));
    EXPECT_FALSE(text.contains(QStringLiteral("Изплатена")));
    EXPECT_TRUE(text.contains(QStringLiteral("Приравнена площ: 6,457 дка")));
    EXPECT_TRUE(text.contains(QStringLiteral("Начислена рента: 186,30 лв")));
    // The list printed under a filter names it; the whole list did not.
    EXPECT_TRUE(text.contains(QStringLiteral("Име/Наименование: ив"))) << text.toStdString();
    EXPECT_FALSE(full.join(u'|').contains(QStringLiteral("Име/Наименование: ")));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

}  // namespace
