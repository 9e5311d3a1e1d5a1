#include "schema/equalised_area.h"

#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

namespace {

// The products the plot editor and the category equalisation must agree on:
// stored as doubles, exact halves in the fourth decimal among them, which a
// rounding of the double product decides by the binary noise.
struct Case {
    double plosht;
    double coefficient;
    const char* prpl;
};
const Case kCases[] = {
    {8.59, 1.15, "9.879"},  // the double product is 9.878499…
    {1.001, 0.5, "0.501"},   {2.345, 1.1, "2.580"},      {0.123, 1.5, "0.185"}, {10.005, 0.9, "9.005"},
    {0.001, 0.5, "0.001"},   {3.333, 0.75, "2.500"},     {1.235, 1, "1.235"},   {2.5, 0.8, "2.000"},
    {25.125, 1.2, "30.150"}, {4.321, 0.333333, "1.440"},
};

TEST(EqualisedArea, TheProgramAndTheDatabaseRoundTheExactProductHalfAwayFromZero)
{
    testsupport::TestDatabase db;
    fb::Connection c;
    c.attach(db.path());
    fb::Transaction tr(c);
    const QString sql = QStringLiteral("select %1 from rdb$database")
                            .arg(schema::prplSql(QStringLiteral("cast(? as double precision)"),
                                                 QStringLiteral("cast(? as double precision)")));
    for (const Case& k : kCases) {
        const QString expected = QString::fromLatin1(k.prpl);
        EXPECT_EQ(schema::prpl(k.plosht, k.coefficient).toString(), expected) << k.plosht << " x " << k.coefficient;
        const fb::Value inDatabase = fb::fetchScalar(c, tr, sql, {k.plosht, k.coefficient});
        EXPECT_EQ(inDatabase.toDecimal().toString(), expected) << k.plosht << " x " << k.coefficient;
    }
    // What the double product gives, for the record of why neither uses it.
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select cast(8.59e0 * 1.15e0 as decimal(15,3)) from rdb$database"))
                  .toDecimal()
                  .toString(),
              QStringLiteral("9.878"));

    // An empty area counts as none; an empty coefficient leaves the product empty.
    EXPECT_EQ(fb::fetchScalar(c, tr, sql, {fb::Value(), 1.2}).toDecimal().toString(), QStringLiteral("0.000"));
    EXPECT_TRUE(fb::fetchScalar(c, tr, sql, {2.0, fb::Value()}).isNull());
}

}  // namespace
