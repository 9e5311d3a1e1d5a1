#include "reports/tfjurnal.h"

#include "reports/property_reports_test.h"
#include "support/typing.h"

#include <QLineEdit>
#include <QTest>

namespace {

using propertyreports::ReportScreenTest;
using testsupport::typeText;

// The land of the property reports was entered row by row: its trail is the
// journal's list (26 rows; the categories, coefficients and history are not
// trailed).
class TFJurnalTest : public ReportScreenTest<TFJurnal> {
protected:
    TFJurnal& open() { return show(new TFJurnal(module(), prompter, outputs)); }
    QTableView* list() const { return grid("jvdbgridJurnal"); }
    void filterBy(const char* box, const QString& text)
    {
        edit(box)->clear();
        typeText(edit(box), text);
        click("butFilterShow");
    }
    static QString day(int fromToday)
    {
        return QDate::currentDate().addDays(fromToday).toString(QStringLiteral("dd.MM.yyyy"));
    }
};

TEST_F(TFJurnalTest, ListsTheTrailNewestFirstWithTheKindsAndOwnersAClerkKnows)
{
    TFJurnal& s = open();
    EXPECT_EQ(s.windowTitle(), QStringLiteral("Журнал на промените"));
    EXPECT_EQ(titles(list()), (QStringList{"Време", "Потребител", "Вид", "Действие", "Ключ", "Собственик",
                                           "Стари стойности", "Нови стойности"}));
    ASSERT_EQ(list()->model()->rowCount(), 26);
    // The last line of contract entered comes first; the first plot last.
    EXPECT_EQ(row(list(), 0).mid(2, 4),
              (QStringList{"Редове на договори", "Добавяне", "ID_DHZ=4, ID_DOG=1", "Иван Петров"}));
    EXPECT_TRUE(row(list(), 0).value(7).contains(QStringLiteral("REDPLOSHT=5;")))
        << row(list(), 0).value(7).toStdString();
    EXPECT_EQ(row(list(), 25).mid(2, 3), (QStringList{"Имоти", "Добавяне", "ID_ZEMQ=1"}));
    // The deleted share shows what it held.
    const int deleted = column(list(), 3).indexOf(QStringLiteral("Изтриване"));
    ASSERT_GE(deleted, 0);
    EXPECT_EQ(row(list(), deleted).value(5), QStringLiteral("Стоян Колев"));
    EXPECT_EQ(row(list(), deleted).value(6),
              QStringLiteral("ID_HORA=4; ID_ZEMQ=2; REDPLOSHT=0; CHAST=0/1; PRREDPL=0;"));
    testsupport::keepScreenshot(s.grab().toImage(), QStringLiteral("TFJurnal"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
}

// Kind, owner and user by what they begin with (the owner anywhere in the
// name), days from and to inclusive; a day that does not exist is refused
// and the list stays as it was.
TEST_F(TFJurnalTest, FiltersByKindOwnerUserAndDays)
{
    open();
    filterBy("edFilterVid", QStringLiteral("дял"));
    EXPECT_EQ(list()->model()->rowCount(), 9);
    filterBy("edFilterSobstv", QStringLiteral("мария"));
    EXPECT_EQ(list()->model()->rowCount(), 3);
    edit("edFilterVid")->clear();
    click("butFilterShow");
    EXPECT_EQ(list()->model()->rowCount(), 5);  // her owner row, three shares, a line of contract

    click("butFilterClear");
    filterBy("edFilterPotrebitel", QStringLiteral("никой-такъв"));
    EXPECT_EQ(list()->model()->rowCount(), 0);
    click("butFilterClear");
    filterBy("edFilterOt", day(0));
    filterBy("edFilterDo", day(0));
    EXPECT_EQ(list()->model()->rowCount(), 26);
    // Enter in a date box filters, as in any filter box.
    edit("edFilterOt")->clear();
    typeText(edit("edFilterOt"), day(1));
    edit("edFilterOt")->setFocus();
    QTest::keyClick(edit("edFilterOt"), Qt::Key_Return);
    EXPECT_EQ(list()->model()->rowCount(), 0);
    edit("edFilterOt")->clear();
    filterBy("edFilterDo", day(-1));
    EXPECT_EQ(list()->model()->rowCount(), 0);
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();

    filterBy("edFilterDo", QStringLiteral("31.02.2026"));
    EXPECT_EQ(prompter.shown(), QStringList{QStringLiteral("Невалидна дата!")});
    EXPECT_EQ(list()->model()->rowCount(), 0);  // as it was
    EXPECT_EQ(edit("edFilterDo")->text(), QStringLiteral("31.02.2026"));
}

TEST_F(TFJurnalTest, PrintListsTheTrailAsFiltered)
{
    open();
    filterBy("edFilterSobstv", QStringLiteral("Мария"));
    const QString pdf = out.filePath(QStringLiteral("jurnal.pdf"));
    outputs.answerPdf(pdf);
    click("bitPrint");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.shown().join(u'|').toStdString();
    const QString text = printed(pdf).join(u'|');
    EXPECT_TRUE(text.startsWith(QStringLiteral("Журнал на промените|Филтър — Собственик: Мария")))
        << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Добавяне Мария Иванова")), 4) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Добавяне ID_HORA=2 Мария Иванова"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy ")))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Иван Петров"))) << text.toStdString();
}

}  // namespace
