#include "common/date_field.h"
#include "common/prompter.h"
#include "dm/tables.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QDate kFirstOctober(2024, 10, 1);

// Only messages are expected of these fields.
struct PrompterRecord : Prompter {
    void message(const QString& text) override { shown << text; }
    bool confirm(const QString&, Default) override { return false; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override { return std::nullopt; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString browseFolder(const QString&, const QString&) override { return {}; }
    QStringList shown;
};

// A window with the date field and a plain edit after it, active, so that
// the focus moves as it does on a screen.
class DateFieldTest : public ::testing::Test {
protected:
    DateFieldTest()
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        auto* layout = new QVBoxLayout(&window);
        field = new DateField(&window);
        field->setObjectName(QStringLiteral("jvdbedFromYear"));
        next = new QLineEdit(&window);
        layout->addWidget(field);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void typeAndLeave(const QString& text)
    {
        field->clear();
        field->setFocus();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    QCalendarWidget* openCalendar()
    {
        QTest::mouseClick(button(), Qt::LeftButton);
        auto* calendar = field->findChild<QCalendarWidget*>();
        return calendar && calendar->isVisible() ? calendar : nullptr;
    }

    QToolButton* button() const { return window.findChild<QToolButton*>(QStringLiteral("jvdbedFromYearCalendar")); }

    QWidget window;
    DateField* field;
    QLineEdit* next;
};

TEST_F(DateFieldTest, EachTypedFormMeansTheSameDateAndTabGoesOn)
{
    QSignalSpy edited(field, &DateField::dateEdited);
    QSignalSpy impossible(field, &DateField::impossibleDate);
    for (const QString& form :
         {QStringLiteral("01.10.2024"), QStringLiteral("1.10.2024"), QStringLiteral("01/10/2024"),
          QStringLiteral("1-10-2024"), QStringLiteral("0a1.10. 2024"), QStringLiteral("01102024")}) {
        edited.clear();
        typeAndLeave(form);
        EXPECT_EQ(field->date(), kFirstOctober) << form.toStdString();
        EXPECT_EQ(field->text(), QStringLiteral("01.10.2024")) << form.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), next) << form.toStdString();
        ASSERT_FALSE(edited.isEmpty()) << form.toStdString();
        EXPECT_EQ(edited.last().at(0).toDate(), kFirstOctober);
    }
    QTest::keyClick(next, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), field);

    // A pasted date, with the separators typed elsewhere and the year's "г.".
    field->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral(" 1/10/2024 г.\n"));
    field->paste();
    EXPECT_EQ(field->text(), QStringLiteral("1.10.2024"));
    EXPECT_EQ(field->date(), kFirstOctober);

    // Emptied, the field holds no date, says so, and is left quietly.
    edited.clear();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    ASSERT_EQ(edited.size(), 1);
    EXPECT_FALSE(edited.last().at(0).toDate().isValid());
    EXPECT_TRUE(field->isBlank());
    EXPECT_FALSE(field->holdsImpossibleDate());
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_TRUE(impossible.isEmpty());

    field->setDate(QDate(2009, 3, 7));
    EXPECT_EQ(field->text(), QStringLiteral("07.03.2009"));
    field->setDate(QDate());
    EXPECT_TRUE(field->isBlank());
}

TEST_F(DateFieldTest, ATextThatIsNoDateIsKeptAndReportedOnLeaving)
{
    EXPECT_EQ(DateField::impossibleDateMessage(), QStringLiteral("Невалидна дата!"));
    QSignalSpy edited(field, &DateField::dateEdited);
    QSignalSpy impossible(field, &DateField::impossibleDate);
    for (const QString& text : {QStringLiteral("31.02.2024"), QStringLiteral("13.13.2024"),
                                QStringLiteral("29.02.2023"), QStringLiteral("01.10.24"), QStringLiteral("01.10")}) {
        impossible.clear();
        typeAndLeave(text);
        ASSERT_EQ(impossible.size(), 1) << text.toStdString();
        EXPECT_EQ(impossible.first().at(0).toString(), text);
        EXPECT_EQ(field->text(), text);
        EXPECT_FALSE(field->date().isValid()) << text.toStdString();
        EXPECT_TRUE(field->holdsImpossibleDate());
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_TRUE(edited.isEmpty());
    typeAndLeave(QStringLiteral("29.02.2024"));
    EXPECT_EQ(field->date(), QDate(2024, 2, 29));

    // A save refuses the field while it holds no date, naming nothing else.
    PrompterRecord prompter;
    EXPECT_FALSE(refuseImpossibleDate(&window, prompter));
    for (const QString& text : {QStringLiteral("00.00.0000"), QStringLiteral("31022025")}) {
        typeAndLeave(text);
        EXPECT_TRUE(refuseImpossibleDate(&window, prompter));
        EXPECT_EQ(QApplication::focusWidget(), field);
    }
    EXPECT_EQ(prompter.shown, QStringList(2, QStringLiteral("Невалидна дата!")));
    field->setEnabled(false);
    EXPECT_FALSE(refuseImpossibleDate(&window, prompter));
}

TEST_F(DateFieldTest, TheCalendarOpensAtTheFieldsDateOrTodayAndFillsTheField)
{
    ASSERT_TRUE(button());
    EXPECT_EQ(button()->focusPolicy(), Qt::NoFocus);
    QSignalSpy edited(field, &DateField::dateEdited);
    QSignalSpy impossible(field, &DateField::impossibleDate);

    field->setDate(kFirstOctober);
    field->setFocus();
    QCalendarWidget* calendar = openCalendar();
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->selectedDate(), kFirstOctober);
    // The next day, chosen with the keyboard.
    auto* days = calendar->findChild<QTableView*>();
    ASSERT_TRUE(days);
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(field->text(), QStringLiteral("02.10.2024"));
    ASSERT_EQ(edited.size(), 1);
    EXPECT_EQ(edited.first().at(0).toDate(), QDate(2024, 10, 2));
    EXPECT_EQ(QApplication::focusWidget(), field);

    // Blank, or holding no real date, it opens at today; the calendar taking
    // the keyboard is not the user leaving the field.
    for (const QString& text : {QString(), QStringLiteral("31.02.2024")}) {
        field->setText(text);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F4);
        calendar = field->findChild<QCalendarWidget*>();
        ASSERT_TRUE(calendar && calendar->isVisible());
        EXPECT_EQ(calendar->selectedDate(), QDate::currentDate());
        QTest::keyClick(calendar, Qt::Key_Escape);
        EXPECT_FALSE(calendar->isVisible());
        EXPECT_EQ(field->text(), text);
    }
    EXPECT_TRUE(impossible.isEmpty());
    EXPECT_EQ(edited.size(), 1);

    field->setReadOnly(true);
    EXPECT_FALSE(button()->isEnabled());
    field->setObjectName(QStringLiteral("jvdbedToYear"));
    EXPECT_TRUE(window.findChild<QToolButton*>(QStringLiteral("jvdbedToYearCalendar")));
}

// The plots' entry date: one plot has it, the other has none.
class DateFieldBinderTest : public ::testing::Test {
protected:
    DateFieldBinderTest()
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        database.connect();
        fb::Transaction tr(database.connection());
        fb::execute(database.connection(), tr,
                    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, NZDATA) values (1, 1, '101', "
                                   "'2010-03-07')"));
        fb::execute(database.connection(), tr,
                    QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO) values (2, 1, '102')"));
        tr.commit();
        dm::useTable(zemq, QStringLiteral("ZEMQ"));
        zemq.open();
    }

    QDate stored(int id)
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        return fb::fetchScalar(c, tr, QStringLiteral("select NZDATA from ZEMQ where ID_ZEMQ = ?"), {id}).toDate();
    }

    testsupport::TestDatabase db;
    dataset::Database database{db.path()};
    dataset::TransactionArea area{database, QStringLiteral("IBTImot")};
    dataset::Dataset zemq{area, QStringLiteral("TZemq")};
};

TEST_F(DateFieldBinderTest, ShowsTheRowsDateAndWritesTheDateOrNullButNeverANonDate)
{
    DateField field;
    new DateFieldBinder(&field, zemq, QStringLiteral("NZDATA"));
    EXPECT_EQ(field.text(), QStringLiteral("07.03.2010"));
    zemq.next();
    EXPECT_TRUE(field.isBlank());

    QTest::keyClicks(&field, QStringLiteral("1/10/2024"));
    EXPECT_EQ(zemq.field("NZDATA").asDate(), kFirstOctober);
    EXPECT_EQ(field.text(), QStringLiteral("1.10.2024"));  // left as typed while typing
    zemq.post();

    zemq.first();
    EXPECT_EQ(field.text(), QStringLiteral("07.03.2010"));
    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("31.02.2024"));
    EXPECT_EQ(zemq.field("NZDATA").asDate(), QDate(2010, 3, 7));
    EXPECT_EQ(field.text(), QStringLiteral("31.02.2024"));
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_TRUE(zemq.field("NZDATA").isNull());
    zemq.post();
    area.commit();
    EXPECT_FALSE(stored(1).isValid());
    EXPECT_EQ(stored(2), kFirstOctober);

    // Moving to another row shows its date over a text that was no date.
    zemq.open();
    zemq.first();
    QTest::keyClicks(&field, QStringLiteral("99.99.9999"));
    zemq.next();
    EXPECT_EQ(field.text(), QStringLiteral("01.10.2024"));

    // A date kept in a text column is written as the field shows it.
    zemq.setAutoEdit(true);
    DateField kept;
    new DateFieldBinder(&kept, zemq, QStringLiteral("SVAKTNO"));  // a text column
    QTest::keyClicks(&kept, QStringLiteral("06102024"));
    EXPECT_EQ(zemq.field("SVAKTNO").asString(), QStringLiteral("06.10.2024"));
    zemq.cancel();

    // A dataset that cannot take the date now shows its own again.
    zemq.setAutoEdit(false);
    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("02.10.2024"));
    EXPECT_EQ(field.text(), QStringLiteral("01.10.2024"));
    EXPECT_EQ(zemq.field("NZDATA").asDate(), kFirstOctober);
}

}  // namespace
