#include "schema/csv.h"

#include <gtest/gtest.h>

TEST(Csv, ReadsQuotedFieldsAndSkipsBlankLines)
{
    const auto rows =
        schema::parseCsv(QStringLiteral("a,b,c\r\n1,\"x, y\",\"say \"\"hi\"\"\"\n\n2,,\n3,\"two\nlines\",z"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], QStringList({"a", "b", "c"}));
    EXPECT_EQ(rows[1], QStringList({"1", "x, y", "say \"hi\""}));
    EXPECT_EQ(rows[2], QStringList({"2", "", ""}));
    EXPECT_EQ(rows[3], QStringList({"3", "two\nlines", "z"}));
}
