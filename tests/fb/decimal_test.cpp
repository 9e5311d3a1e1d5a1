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
    EXPECT_EQ(fb::Value(7), fb::Value(Decimal{700, 2}));
}
