#include "common/failure.h"
#include "rent/tfnerazdadenarenta.h"

#include "common/sort_switch.h"
#include "rent/receipt_numbers.h"
#include "rent/tfrko.h"
#include "rent_test_data.h"
#include "schema/rent_sql.h"
#include "support/pdf_text.h"
#include "support/scripted_output_chooser.h"
#include "support/screen_test.h"
#include "support/sql.h"
#include "support/typing.h"

#include <QDate>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>

namespace {

using testsupport::onModalDialog;

// Arrears of the small enterprise's owners: Иван two closed years unpaid,
// Мария one, and one of a year before 2000; Петър's of 2009/2010 was paid
// by a past-years payment (receipt number 7).
const QStringList kArrears = {
    "update HORA set PREDST = 'Петров' where ID_HORA = 1",
    "insert into ONR (ID_ONR, ID_HORA, PLOSHT, PRPLOSHT, SUMA, GODOT, GODDO) values (1, 1, 5.5, 6.457, 40.5, 2022, "
    "2023)",
    "insert into ONR (ID_ONR, ID_HORA, PLOSHT, PRPLOSHT, SUMA, GODOT, GODDO) values (2, 1, 5.5, 6.457, 60, 2023, 2024)",
    "insert into ONR (ID_ONR, ID_HORA, ID_RAZPPARI, PLOSHT, PRPLOSHT, SUMA, GODOT, GODDO) "
    "values (3, 2, 0, 2.5, 2.1, 25, 2023, 2024)",
    "insert into ONR (ID_ONR, ID_HORA, PLOSHT, PRPLOSHT, SUMA, GODOT, GODDO) values (4, 2, 1, 1, 5, 1999, 2000)",
    "insert into RAZP_PARI (ID_HORA, NOMER, DATA, SUMA, NPLP, NPLPTEKST, PMG) "
    "values (3, 7, '2025-01-15', 12.34, 0, 'В брой', 1)",
    "insert into ONR (ID_ONR, ID_HORA, ID_RAZPPARI, PLOSHT, PRPLOSHT, SUMA, GODOT, GODDO) "
    "select 5, 3, max(ID_RAZPPARI), 1.2, 1.5, 12.34, 2009, 2010 from RAZP_PARI",
};

const QString kIvan22 = QStringLiteral("7501010000 | Иван | 5,500 | 6,457 | 40,50 | 2022 | 2023 | не |  | ");
const QString kIvan23 = QStringLiteral("7501010000 | Иван | 5,500 | 6,457 | 60,00 | 2023 | 2024 | не |  | ");
const QString kMaria99 = QStringLiteral("7501020000 | Мария | 1,000 | 1,000 | 5,00 | 1999 | 2000 | не |  | ");
const QString kMaria23 = QStringLiteral("7501020000 | Мария | 2,500 | 2,100 | 25,00 | 2023 | 2024 | не |  | ");
const QString kPetar = QStringLiteral("7501030000 | Петър | 1,200 | 1,500 | 12,34 | 2009 | 2010 | да | 7 | 15.01.2025");

class TFNerazdadenaRentaTest : public testsupport::ScreenTest<TFNerazdadenaRenta> {
protected:
    TFNerazdadenaRentaTest() : previous_(QDir::currentPath())
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        seed(renttest::kEnterprise + renttest::kRules + kArrears);
        QDir::setCurrent(QStringLiteral(ARVENTA_LAYOUTS_DIR));
    }
    ~TFNerazdadenaRentaTest() override
    {
        delete screen.data();
        QDir::setCurrent(previous_);
    }

    TFNerazdadenaRenta& open() { return show(new TFNerazdadenaRenta(module(), prompter, outputs, direction)); }
    void seed(const QStringList& sql) { testsupport::runSql(db.path(), sql); }
    QTableView* list() const { return control<QTableView>("jvdbgridSpisykRenta"); }
    QStringList rows() const { return testsupport::gridRows(list()); }
    QStringList totals() const
    {
        return {control<QLabel>("labSumPl")->text(), control<QLabel>("labSumOstatyk")->text(),
                control<QLabel>("labSumIzpl")->text()};
    }
    void select(int r) { list()->setCurrentIndex(list()->model()->index(r, 0)); }
    void filter(const char* box, const QString& text)
    {
        edit(box)->setText(text);
        click("butFilterShow");
    }
    bool enabled(const char* name) const { return control<QPushButton>(name)->isEnabled(); }
    // Pays the selected row through the cash receipt dialog with the number
    // it proposes, the dialog showing the row's amount and representative.
    void payWithProposedNumber(const QString& amount)
    {
        onModalDialog<TFRKO>([amount](TFRKO& d) {
            EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("dbtRKOSuma"))->text(), amount);
            EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("dbedPredstRP"))->text(), QStringLiteral("Петров"));
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
        });
        click("butIzplRenta");
    }
    // The rent list and the unpaid rest of the current year, as the database computes them now.
    QString currentYear() const
    {
        return testsupport::selectedText(db.path(), schema::rent::rentList().text()) + " / " +
               testsupport::selectedText(db.path(), schema::rent::unpaidRest());
    }

    testsupport::ScriptedOutputChooser outputs;
    SortSwitch direction{SortSwitch::Ascending};
    QTemporaryDir out;

private:
    QString previous_;
};

// "20" lists 2000 to 2099 and not 1999; "2009" the year begun in 2009; every
// filled box narrows further; a sort by a title keeps the filter, the first
// click ascending.
TEST_F(TFNerazdadenaRentaTest, ListsTheArrearsWithCombinedFiltersSortingAndTotals)
{
    TFNerazdadenaRenta& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Списък за рента от минали години"));
    QStringList titles;
    for (int c = 0; c < list()->model()->columnCount(); ++c)
        titles << list()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"ЕГН/ЛНЧ/ЕИН", "Име/Наименование", "Площ в дка", "Приравнена площ", "Рента в лв",
                                   "Година: От", "Година: До", "Изплатена", "Разписка №", "Разписка: Дата"}));
    EXPECT_EQ(rows(), (QStringList{kIvan22, kIvan23, kMaria99, kMaria23, kPetar}));
    EXPECT_EQ(totals(), (QStringList{"15,700 дка", "142,84 лв", "12,34 лв"}));
    EXPECT_TRUE(enabled("butIzplRenta"));
    EXPECT_FALSE(enabled("butDelIzplRenta"));
    EXPECT_FALSE(enabled("btnPrintRazp"));
    select(4);
    EXPECT_FALSE(enabled("butIzplRenta"));
    EXPECT_TRUE(enabled("butDelIzplRenta"));
    EXPECT_TRUE(enabled("btnPrintRazp"));
    s.resize(s.sizeHint());
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFNerazdadenaRenta"));

    filter("edFilterIsIzpl", QStringLiteral("н"));
    EXPECT_EQ(rows(), (QStringList{kIvan22, kIvan23, kMaria99, kMaria23}));
    EXPECT_EQ(totals(), (QStringList{"14,500 дка", "130,50 лв", "0,00 лв"}));
    filter("edFilterGodOt", QStringLiteral("20"));
    EXPECT_EQ(rows(), (QStringList{kIvan22, kIvan23, kMaria23}));
    edit("edFilterIsIzpl")->clear();
    filter("edFilterGodOt", QStringLiteral("2009"));
    EXPECT_EQ(rows(), QStringList{kPetar});
    filter("edFilterGodOt", QString());
    filter("edFilterGodDo", QStringLiteral("2024"));
    EXPECT_EQ(rows(), (QStringList{kIvan23, kMaria23}));
    filter("edFilterIme", QStringLiteral("ИВ"));
    EXPECT_EQ(rows(), QStringList{kIvan23});

    edit("edFilterGodDo")->clear();
    filter("edFilterIme", QStringLiteral("а"));  // Иван, Мария
    emit list()->horizontalHeader()->sectionClicked(4);
    EXPECT_EQ(rows(), (QStringList{kMaria99, kMaria23, kIvan22, kIvan23}));
    emit list()->horizontalHeader()->sectionClicked(4);
    EXPECT_EQ(rows(), (QStringList{kIvan23, kIvan22, kMaria23, kMaria99}));
    click("butFilterClear");
    EXPECT_EQ(rows().size(), 5);

    edit("edEGN")->setText(QStringLiteral("750102"));
    click("butSearch");
    EXPECT_EQ(screen->rows().currentRow(), 2);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// Each of Иван's two years is paid and taken back on its own; a paid row
// shows its receipt, the current year's rent does not move, and a payment
// taken back frees its number.
TEST_F(TFNerazdadenaRentaTest, PaysARowAsPastYearsRentAndTakesThePaymentBack)
{
    const QString before = currentYear();
    open();
    select(1);
    payWithProposedNumber(QStringLiteral("60,00"));
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(screen->rows().currentRow(), 1);
    EXPECT_EQ(rows().at(1),
              QStringLiteral("7501010000 | Иван | 5,500 | 6,457 | 60,00 | 2023 | 2024 | да | 8 | ") + today);
    EXPECT_EQ(totals().at(2), QStringLiteral("72,34 лв"));
    EXPECT_FALSE(enabled("butIzplRenta"));
    EXPECT_EQ(
        testsupport::selectedText(db.path(),
                                  "select id_hora, nomer, cast(suma as decimal(15,2)), predstrp, pmg from razp_pari "
                                  "where id_razppari = (select id_razppari from onr where id_onr = 2)"),
        QStringLiteral("1 8 60.00 Петров 1"));
    EXPECT_EQ(currentYear(), before);

    select(0);
    payWithProposedNumber(QStringLiteral("40,50"));
    EXPECT_EQ(rows().at(0).section(QStringLiteral(" | "), 7, 8), QStringLiteral("да | 9"));
    EXPECT_EQ(rows().at(1).section(QStringLiteral(" | "), 7, 8), QStringLiteral("да | 8"));

    select(1);
    prompter.answerYes();
    click("butDelIzplRenta");
    EXPECT_EQ(rows().at(1), kIvan23);
    EXPECT_EQ(screen->rows().currentRow(), 1);
    EXPECT_EQ(rows().at(0).section(QStringLiteral(" | "), 7, 8), QStringLiteral("да | 9"));
    EXPECT_FALSE(receipts::numberUsed(module(), 8));
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("RAZP_PARI")), 2);
    select(0);
    prompter.answerNo();
    click("butDelIzplRenta");
    EXPECT_EQ(rows().at(0).section(QStringLiteral(" | "), 7, 8), QStringLiteral("да | 9"));
    EXPECT_EQ(currentYear(), before);
    EXPECT_EQ(prompter.shown(), (QStringList{"Моля, потвърдете изтриването!", "Моля, потвърдете изтриването!"}));
}

// A row paid, its payment taken back and paid again: the new payment's
// transaction begins after the row was unlinked, so it links the row
// without an update conflict, each time.
TEST_F(TFNerazdadenaRentaTest, ARowPaidTakenBackAndPaidAgainIsPaid)
{
    open();
    select(1);
    // Paid with the proposed number; a payment refused leaves the dialog by "Отказ".
    const auto pay = [this] {
        onModalDialog<TFRKO>([](TFRKO& d) {
            QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
            if (d.isVisible())
                QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitOtkaz")), Qt::LeftButton);
        });
        click("butIzplRenta");
    };
    for (int round = 0; round < 3; ++round) {
        pay();
        ASSERT_EQ(rows().at(1).section(QStringLiteral(" | "), 7, 8), QStringLiteral("да | 8")) << round;
        prompter.answerYes();
        click("butDelIzplRenta");
        ASSERT_EQ(rows().at(1), kIvan23) << round;
    }
    pay();
    EXPECT_EQ(rows().at(1).section(QStringLiteral(" | "), 7, 8), QStringLiteral("да | 8"));
    EXPECT_EQ(testsupport::selectedText(db.path(),
                                        "select r.nomer, r.pmg from onr o join razp_pari r "
                                        "on r.id_razppari = o.id_razppari where o.id_onr = 2"),
              QStringLiteral("8 1"));
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("RAZP_PARI")), 2);
    EXPECT_EQ(prompter.shown(), QStringList(3, QStringLiteral("Моля, потвърдете изтриването!")));
}

// A link the database refuses leaves no payment: the dialog shows the
// client's text and stays, and "Отказ" takes the payment back with it. A
// refused unlink keeps both the payment and the link.
TEST_F(TFNerazdadenaRentaTest, PaymentAndLinkAreStoredTogetherOrNotAtAll)
{
    seed({"create exception E_ONR_LOCKED 'arrears locked'",
          "create trigger ONR_LOCKED for ONR before update as begin exception E_ONR_LOCKED; end"});
    const QString error = testsupport::clientError(db.path(), QStringLiteral("update onr set suma = 1"));
    ASSERT_FALSE(error.isEmpty());
    open();
    onModalDialog<TFRKO>([](TFRKO& d) {
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitZapis")), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("bitOtkaz")), Qt::LeftButton);
    });
    click("butIzplRenta");
    EXPECT_EQ(prompter.shown(), QStringList{failure::text(QStringLiteral("Плащането не е записано."), error)});
    EXPECT_EQ(rows().at(0), kIvan22);
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("RAZP_PARI")), 1);

    prompter.clearShown();
    select(4);
    prompter.answerYes();
    click("butDelIzplRenta");
    EXPECT_EQ(prompter.shown(), (QStringList{"Моля, потвърдете изтриването!",
                                             failure::text(QStringLiteral("Плащането не е отменено."), error)}));
    EXPECT_EQ(rows().at(4), kPetar);
    EXPECT_EQ(testsupport::countRows(db.path(), QStringLiteral("RAZP_PARI")), 1);
}

// "Разписка" prints the row's own payment with the owner and the years;
// "Печат" the rows as shown with their totals.
TEST_F(TFNerazdadenaRentaTest, PrintsTheRowsReceiptAndTheListAsShown)
{
    seed({"insert into RAZP_PARI (ID_HORA, NOMER, DATA, SUMA, PMG) values (3, 11, '2025-02-01', 99, 1)",
          "update FIRMA set ADRESS = 'Плевен', EIN = '123456789'"});
    open();
    select(4);
    const QString receipt = out.filePath(QStringLiteral("receipt.pdf"));
    outputs.answerPdf(receipt);
    click("btnPrintRazp");
    const QString printed = testsupport::pdfLines(receipt).join(u'\n');
    EXPECT_TRUE(printed.contains(QStringLiteral("№ 7 от 15.01.2025"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Сума: 12,34 лв"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("Петър"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("2009 - 2010"))) << printed.toStdString();
    EXPECT_FALSE(printed.contains(QStringLiteral("99,00"))) << "another payment of the owner";

    filter("edFilterIsIzpl", QStringLiteral("не"));
    const QString listPdf = out.filePath(QStringLiteral("list.pdf"));
    outputs.answerPdf(listPdf);
    click("bitPrintAll");
    const QString list = testsupport::pdfLines(listPdf).join(u'\n');
    EXPECT_TRUE(list.contains(QStringLiteral("7501020000 Мария 1,000 1,000 5,00 1999 2000 не\n")))
        << list.toStdString();
    EXPECT_TRUE(list.contains(
        QStringLiteral("Брой редове: 4 Площ: 14,500 дка\nОбщо рента: 130,50 лв\nОбщо изплатена рента: 0,00 лв")))
        << list.toStdString();
    EXPECT_TRUE(list.contains(QStringLiteral("Филтър"))) << list.toStdString();  // it names the filter
    EXPECT_TRUE(list.contains(QStringLiteral("Изплатена: не"))) << list.toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

}  // namespace
