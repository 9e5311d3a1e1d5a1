// The small row store of reports gives back every value as it was put in.
#include "report_engine/report_rows.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

using fb::Value;

namespace {

// Each kind of value, the edges of its range, and the kinds held aside.
TEST(ReportRows, EveryKindOfValueComesBackAsItWasPutIn)
{
    const std::vector<Value> row = {
        Value(),
        Value(std::numeric_limits<std::int64_t>::min()),
        Value(-2.5),
        Value(fb::Decimal{-123456789012345, 3}),
        Value(fb::Decimal{7, 18}),  // a scale beyond what the kind byte holds
        Value(QDate(1899, 12, 31)),
        Value(QTime(23, 59, 58, 999)),
        Value(QDateTime(QDate(2024, 2, 29), QTime(6, 30))),
        Value(QStringLiteral("Иван Петров")),
        Value(QStringLiteral("")),
        Value(true),
    };
    reports::Rows rows;
    rows.push_back(row);
    rows.push_back(row);
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_EQ(rows.width(), row.size());
    for (size_t r = 0; r < 2; ++r)
        for (size_t c = 0; c < row.size(); ++c) {
            const Value v = rows.value(r, c);
            EXPECT_EQ(v.type(), row[c].type()) << c;
            EXPECT_EQ(v, row[c]) << c;
            EXPECT_EQ(v.toString(), row[c].toString()) << c;  // a decimal keeps its scale
            EXPECT_EQ(rows.isNull(r, c), row[c].isNull()) << c;
        }
    EXPECT_EQ(rows.value(0, 9).toString(), QString());
    EXPECT_FALSE(rows.isNull(0, 9));  // an empty text is not NULL
}

// A short row is filled with NULLs; a row wider than the first is refused,
// and clearing starts the store afresh.
TEST(ReportRows, RowsKeepTheWidthOfTheFirst)
{
    reports::Rows rows;
    EXPECT_TRUE(rows.empty());
    rows.push_back({Value(1), Value(QStringLiteral("а")), Value(2.0)});
    rows.push_back({Value(2)});
    EXPECT_TRUE(rows.isNull(1, 1));
    EXPECT_TRUE(rows.isNull(1, 2));
    EXPECT_THROW(rows.push_back({Value(1), Value(2), Value(3), Value(4)}), std::invalid_argument);
    EXPECT_EQ(rows.size(), 2u);
    rows.clear();
    EXPECT_TRUE(rows.empty());
    rows.push_back({Value(QStringLiteral("б"))});
    EXPECT_EQ(rows.width(), 1u);
    EXPECT_EQ(rows.value(0, 0), Value(QStringLiteral("б")));
}

}  // namespace
