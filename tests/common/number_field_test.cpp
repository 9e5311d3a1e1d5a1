#include "common/number_field.h"
#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "dm/domains.h"
#include "dm/tables.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/rent_sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

using dataset::Domain;

class NumberDomains : public ::testing::Test {
protected:
    NumberDomains() { QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria)); }

    const Domain& area = dm::domain(QStringLiteral("KATEGORIQ"), QStringLiteral("PLOSHT"));
    const Domain& money = dm::domain(QStringLiteral("RAZP RENTA"), QStringLiteral("KOL"));
    const Domain& goods = dm::domain(QStringLiteral("RAZP RENTA"), QStringLiteral("KOL"), QStringLiteral("goods"));
    const Domain& number = dm::domain(QStringLiteral("RAZP DANNI"), QStringLiteral("NOM"));
};

TEST_F(NumberDomains, EachDomainSaysItsRangeUnitAndDecimalsInOneMessage)
{
    EXPECT_EQ(area.message(), QStringLiteral("Полето „Площ“ приема число от 0 до 99 999,999 дка!"));
    EXPECT_EQ(
        money.message(),
        QStringLiteral("Полето „Количество“ приема число над 0 до 9 999 999,99 лв, с до 2 знака след запетаята!"));
    EXPECT_EQ(goods.message(), QStringLiteral("Полето „Количество“ приема цяло число над 0 до 9 999 999 кг!"));
    EXPECT_EQ(number.named(QStringLiteral("Номер")).message(),
              QStringLiteral("Полето „Номер“ приема цяло число от 1 до 2 147 483 647!"));
    // Every typed figure is in the one table, with a name to be said by.
    for (const dm::FieldDomain& d : dm::fieldDomains()) {
        EXPECT_FALSE(d.domain.name.isEmpty()) << d.table.toStdString() << "." << d.column.toStdString();
        EXPECT_LT(d.domain.least, d.domain.most) << d.column.toStdString();
    }
    EXPECT_THROW(dm::domain(QStringLiteral("HORA"), QStringLiteral("IME")), std::exception);

    // What the screens take, the rent statements can always compute with.
    namespace rent = schema::rent;
    EXPECT_LT(dm::domain(QStringLiteral("VIDRENTAKOL"), QStringLiteral("KOL")).most, rent::kComputableRuleQuantity);
    EXPECT_LT(dm::domain(QStringLiteral("VIDRENTAKOL"), QStringLiteral("EC")).most, rent::kComputablePrice);
    for (const char* share : {"REDPLOSHT", "PRREDPL"})
        EXPECT_LT(dm::domain(QStringLiteral("SOBSTV"), QLatin1String(share)).most, rent::kComputableArea);
}

TEST_F(NumberDomains, TypedTextIsReadWithEitherPointAndRefusedOutOfRangeNeverTurnedIntoAnotherNumber)
{
    EXPECT_EQ(typedNumber(QStringLiteral("12.5")), 12.5);
    EXPECT_EQ(typedNumber(QStringLiteral(" 12,5 ")), 12.5);
    EXPECT_EQ(typedNumber(QStringLiteral(",5")), 0.5);
    EXPECT_EQ(typedNumber(QStringLiteral("12.")), 12.0);
    for (const QString& none : {QStringLiteral(","), QStringLiteral("-"), QStringLiteral("1,2,3"),
                                QStringLiteral("1 000"), QStringLiteral("12a"), QStringLiteral("1e5"), QString()})
        EXPECT_FALSE(typedNumber(none)) << none.toStdString();

    // Areas: never negative, at most what one figure of the rent statements holds; typed
    // decimals past the third are rounded away as an area always was.
    EXPECT_EQ(numberRefusal(area, QStringLiteral("99999,999")), QString());
    EXPECT_EQ(domainValue(area, QStringLiteral("1,2345")), 1.235);
    for (const QString& out : {QStringLiteral("-3,5"), QStringLiteral("100000"), QStringLiteral("99999999999999999999"),
                               QStringLiteral("123456789012345678901234"), QStringLiteral(",")})
        EXPECT_EQ(numberRefusal(area, out), area.message()) << out.toStdString();
    EXPECT_EQ(numberRefusal(area, QStringLiteral("  ")), QString());  // empty is the screen's business
    EXPECT_FALSE(domainValue(area, QStringLiteral("  ")));

    // Money: two decimals and more than nothing; trailing zeros count as none.
    EXPECT_EQ(numberRefusal(money, QStringLiteral("812,789")), money.message());
    EXPECT_EQ(numberRefusal(money, QStringLiteral("0")), money.message());
    EXPECT_EQ(domainValue(money, QStringLiteral("812,780")), 812.78);
    EXPECT_EQ(domainValue(money, QStringLiteral("0.01")), 0.01);

    // Whole goods: a point is refused, not dropped, so 12.5 is never 125.
    EXPECT_EQ(numberRefusal(goods, QStringLiteral("12.5")), goods.message());
    EXPECT_EQ(domainValue(goods, QStringLiteral("12,0")), 12.0);
    EXPECT_EQ(shownNumber(goods, 40), QStringLiteral("40"));
    EXPECT_EQ(shownNumber(money, 12.5), QStringLiteral("12,5"));
    EXPECT_EQ(shownNumber(area, 12345.5), QStringLiteral("12345,500"));
}

// A window with the number field and a plain edit after it, active, so that
// the focus moves as it does on a screen.
class NumberFieldTest : public NumberDomains {
protected:
    NumberFieldTest()
    {
        auto* layout = new QVBoxLayout(&window);
        field = new NumberField(area, &window);
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

    QWidget window;
    NumberField* field;
    QLineEdit* next;
};

TEST_F(NumberFieldTest, OnlyWhatCanBeANumberIsTakenAndARefusedNumberIsSaidOnLeaving)
{
    QSignalSpy refused(field, &NumberField::refusedOnLeaving);
    // No sign, no letters, one point shown the Bulgarian way.
    typeAndLeave(QStringLiteral("-1a2.5,7"));
    EXPECT_EQ(field->text(), QStringLiteral("12,57"));
    EXPECT_EQ(field->value(), 12.57);
    EXPECT_TRUE(refused.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), next);

    // A paste with a letter is refused whole; a number with the full stop is taken.
    field->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("12.5 дка"));
    field->paste();
    EXPECT_TRUE(field->isBlank());
    QGuiApplication::clipboard()->setText(QStringLiteral("12.5"));
    field->paste();
    EXPECT_EQ(field->value(), 12.5);

    // Out of range: kept as typed, said once on leaving, never a value.
    typeAndLeave(QStringLiteral("123456"));
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused.first().at(0).toString(), area.message());
    EXPECT_EQ(field->text(), QStringLiteral("123456"));
    EXPECT_FALSE(field->value());
    EXPECT_EQ(field->refusal(), area.message());

    // A lone point is no number yet: left to the save.
    typeAndLeave(QStringLiteral("."));
    EXPECT_EQ(refused.size(), 1);
    EXPECT_EQ(field->refusal(), area.message());

    // A whole-number domain takes the point and refuses it.
    field->setDomain(goods);
    typeAndLeave(QStringLiteral("12.5"));
    EXPECT_EQ(field->text(), QStringLiteral("12,5"));
    ASSERT_EQ(refused.size(), 2);
    EXPECT_EQ(refused.last().at(0).toString(), goods.message());
}

// The plots' categories: the data layer refuses what is out of its column's domain.
class NumberStoreTest : public NumberDomains {
protected:
    NumberStoreTest()
    {
        database.connect();
        fb::Transaction tr(database.connection());
        fb::execute(database.connection(), tr,
                    QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 2, 3.5)"));
        tr.commit();
        dm::useTable(kategoriq, QStringLiteral("KATEGORIQ"));
        kategoriq.open();
    }

    qint64 stored(const QString& where)
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        return fb::fetchScalar(c, tr, QStringLiteral("select count(*) from KATEGORIQ where ") + where).toInt64();
    }

    testsupport::TestDatabase db;
    dataset::Database database{db.path()};
    dataset::TransactionArea area_{database, QStringLiteral("IBTImot")};
    dataset::Dataset kategoriq{area_, QStringLiteral("TKategoriq")};
};

TEST_F(NumberStoreTest, TheBinderWritesOnlyWhatTheDomainTakesAndThePostRefusesTheRest)
{
    NumberField field(*kategoriq.field(QStringLiteral("PLOSHT")).domain());
    new NumberFieldBinder(&field, kategoriq, QStringLiteral("PLOSHT"));
    EXPECT_EQ(field.text(), QStringLiteral("3,500"));

    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("12.5"));
    EXPECT_EQ(kategoriq.field(QStringLiteral("PLOSHT")).asDouble(), 12.5);
    EXPECT_EQ(field.text(), QStringLiteral("12,5"));  // left as typed
    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("999999"));
    EXPECT_EQ(kategoriq.field(QStringLiteral("PLOSHT")).asDouble(), 99999);  // the last number it took
    EXPECT_EQ(field.text(), QStringLiteral("999999"));                       // the refused text writes nothing
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_TRUE(kategoriq.field(QStringLiteral("PLOSHT")).isNull());

    // A figure the screens should have refused never reaches the engine.
    for (const fb::Value& absurd : {fb::Value(-3.5), fb::Value(1e20), fb::Value(QStringLiteral("12,5 дка"))}) {
        kategoriq.field(QStringLiteral("PLOSHT")).setValue(absurd);
        try {
            kategoriq.post();
            ADD_FAILURE() << "posted " << absurd.toString().toStdString();
        } catch (const fb::Error& e) {
            EXPECT_EQ(e.message(), area.message());
            EXPECT_TRUE(e.codes().empty());
        }
        EXPECT_TRUE(kategoriq.isEditing());  // the row and what was typed stay
    }
    kategoriq.field(QStringLiteral("PLOSHT")).setValue(QStringLiteral("7.25"));  // a full stop reads too
    kategoriq.post();
    area_.commit();
    EXPECT_EQ(stored(QStringLiteral("PLOSHT = 7.25")), 1);
}

}  // namespace
