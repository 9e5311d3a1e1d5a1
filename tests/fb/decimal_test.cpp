#include "fb/decimal.h"
#include "fb/value.h"

#include <gtest/gtest.h>

using fb::Decimal;

TEST(Decimal, RoundsHalvesAwayFromZero)
{
    EXPECT_EQ(Decimal({125, 1}).rescaled(0).units, 13);      // 12.5 -> 13
    EXPECT_EQ(Decimal({-125, 1}).rescaled(0).units, -13);    // -12.5 -> -13
    EXPECT_EQ(Decimal({12125, 3}).rescaled(2).units, 1213);  // 12.125 -> 12.13
    EXPECT_EQ(Decimal({12124, 3}).rescaled(2).units, 1212);
    EXPECT_EQ(Decimal({7, 0}).rescaled(2).units, 700);
    EXPECT_EQ(Decimal::fromDouble(2.675, 2).units, 268);  // as typed, not as stored in binary
    EXPECT_EQ(Decimal::fromDouble(3.4567, 3).units, 3457);
}

TEST(Decimal, ParsesAndPrints)
{
    EXPECT_EQ(Decimal::parse(QStringLiteral("-0,05"))->toString(), QStringLiteral("-0.05"));
    EXPECT_EQ(Decimal::parse(QStringLiteral("138"))->toString(QLatin1Char(',')), QStringLiteral("138"));
    EXPECT_EQ(Decimal({3450, 2}).toString(QLatin1Char(',')), QStringLiteral("34,50"));
    EXPECT_FALSE(Decimal::parse(QStringLiteral("1.2.3")));
    EXPECT_FALSE(Decimal::parse(QStringLiteral("12a")));
    EXPECT_FALSE(Decimal::parse(QStringLiteral("")));
    EXPECT_TRUE(Decimal({1050, 2}) == Decimal({105, 1}));
    EXPECT_TRUE(Decimal({1, 2}) < Decimal({1, 1}));
    EXPECT_EQ((Decimal{1, 2} + Decimal{3, 0}).toString(), QStringLiteral("3.01"));
}

TEST(Value, ConvertsForWidgetsAndBack)
{
    const QVariant v = fb::Value(Decimal{3450, 2}).toVariant();
    EXPECT_DOUBLE_EQ(v.toDouble(), 34.5);
    EXPECT_EQ(v.toString(), QStringLiteral("34.50"));
    EXPECT_EQ(fb::Value::fromVariant(v).toDecimal().units, 3450);
    EXPECT_TRUE(fb::Value::fromVariant(QVariant()).isNull());
    EXPECT_TRUE(fb::Value(QString()).isNull());
    EXPECT_FALSE(fb::Value(QStringLiteral("")).isNull());
}

TEST(Value, EqualityIsByNumberAcrossKindsAndNeverAcrossTextAndNumber)
{
    using fb::Value;
    // Numbers of any kind, by value.
    EXPECT_EQ(Value(7), Value(Decimal{700, 2}));
    EXPECT_EQ(Value(Decimal{1050, 2}), Value(Decimal{105, 1}));
    EXPECT_EQ(Value(2.5), Value(Decimal{25, 1}));
    EXPECT_EQ(Value(3), Value(3.0));
    EXPECT_EQ(Value(std::int64_t(9000000000LL)), Value(Decimal{90000000000LL, 1}));
    EXPECT_NE(Value(7), Value(Decimal{701, 2}));
    EXPECT_EQ(Value(0.1), Value(Decimal{1, 1}));
    EXPECT_NE(Value(0.1), Value(Decimal{2, 1}));
    // NULL equals NULL and nothing else, not even a zero or an empty text.
    EXPECT_EQ(Value(), Value());
    EXPECT_EQ(Value(), Value(QString()));
    EXPECT_NE(Value(), Value(0));
    EXPECT_NE(Value(), Value(QStringLiteral("")));
    EXPECT_NE(Value(0.0), Value());
    // Text by its text: a number written alike is another value.
    EXPECT_EQ(Value(QStringLiteral("Орешака")), Value("Орешака"));
    EXPECT_NE(Value(QStringLiteral("orehaka")), Value(QStringLiteral("OREHAKA")));
    EXPECT_NE(Value(QStringLiteral("5")), Value(5));
    EXPECT_NE(Value(Decimal{50, 1}), Value(QStringLiteral("5.0")));
    // Other kinds only with their own kind.
    EXPECT_EQ(Value(QDate(2010, 3, 7)), Value(QDate(2010, 3, 7)));
    EXPECT_NE(Value(QDate(2010, 3, 7)), Value(QDateTime(QDate(2010, 3, 7), QTime(0, 0))));
    EXPECT_NE(Value(true), Value(1));
}
