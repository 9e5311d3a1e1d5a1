#include "registers/contract_rules.h"

#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/sql.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

TEST(ContractRules, NumbersPeriodsTerminationsAndTotals)
{
    QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
    // The next number after the last contract's, when it is a number that fits.
    EXPECT_EQ(contract::proposedNumber(QStringLiteral(" 0041 ")), QStringLiteral("42"));
    EXPECT_EQ(contract::proposedNumber(QStringLiteral("999998")), QStringLiteral("999999"));
    for (const QString& none : {QString(), QStringLiteral("12/а"), QStringLiteral("-3"), QStringLiteral("999999"),
                                QStringLiteral("1234567890123456")})
        EXPECT_EQ(contract::proposedNumber(none), std::nullopt) << none.toStdString();

    // A period may be one day; a date missing is another check's business.
    const QDate first(2024, 10, 1), last(2025, 9, 30);
    EXPECT_TRUE(contract::periodIsRight(first, last));
    EXPECT_TRUE(contract::periodIsRight(first, first));
    EXPECT_FALSE(contract::periodIsRight(last, first));
    EXPECT_TRUE(contract::periodIsRight(QDate(), first));

    // A termination is a real date, not before the contract's (the same day passes).
    EXPECT_TRUE(contract::terminationDateIsRight(first, first));
    EXPECT_FALSE(contract::terminationDateIsRight(first.addDays(-1), first));
    EXPECT_TRUE(contract::terminationDateIsRight(first, QDate()));
    EXPECT_FALSE(contract::terminationDateIsRight(QDate(), first));

    EXPECT_EQ(contract::areaTotalText(12345.6786), QStringLiteral("12345,679 дка"));
    EXPECT_EQ(contract::areaTotalText(0), QStringLiteral("0,000 дка"));
}

// Numbers typed by an older program (letters, blanks) sort with no number
// instead of failing the register's list; digit strings sort as numbers.
TEST(ContractRules, TheRegistersListSortsNumbersAsNumbersAndSurvivesOtherText)
{
    testsupport::TestDatabase db;
    testsupport::runSql(db.path(), {"insert into \"DOG DANNI\" (ID_DOG, NOMER) values (1, '10')",
                                    "insert into \"DOG DANNI\" (ID_DOG, NOMER) values (2, '9')",
                                    "insert into \"DOG DANNI\" (ID_DOG, NOMER) values (3, '12/а')",
                                    "insert into \"DOG DANNI\" (ID_DOG, NOMER) values (4, ' 7 ')"});
    fb::Connection c;
    c.attach(db.path());
    fb::Transaction tr(c);
    const ListStatement statement = contract::registerStatement();
    fb::Statement st(c, (statement.base + statement.defaultOrder).join(QLatin1Char('\n')));
    QStringList order;
    for (const auto& row : fb::fetchAll(st, tr))
        order << row[8].toString().trimmed();
    // Firebird puts no number (NULL) first in an ascending order.
    EXPECT_EQ(order, (QStringList{"12/а", "7", "9", "10"}));
}

}  // namespace
