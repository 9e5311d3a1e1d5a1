#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/dataset_model.h"
#include "dataset/statement_lines.h"
#include "dataset/transaction_area.h"
#include "dm/tables.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

using namespace dataset;

namespace {

// A thousand owners, numbered 1 to 1000 in their identifiers.
class FetchOnDemandTest : public ::testing::Test {
protected:
    FetchOnDemandTest()
    {
        database.ensureConnected();
        fb::Transaction tr(database.connection());
        fb::execute(database.connection(), tr,
                    QStringLiteral("execute block as declare i integer = 1; begin while (i <= 1000) do begin "
                                   "insert into hora (egn, ime) values (lpad(:i, 10, '0'), 'Собственик ' || :i); "
                                   "i = i + 1; end end"));
        tr.commit();
    }

    testsupport::TestDatabase db;
    Database database{db.path()};
    TransactionArea area{database, QStringLiteral("IBTHora")};
};

TEST_F(FetchOnDemandTest, AListReadOnDemandReadsWhatIsAskedFor)
{
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    hora.setFetchOnDemand(true);
    hora.open();
    EXPECT_EQ(hora.loadedRowCount(), 200);
    EXPECT_TRUE(hora.hasMoreRows());

    // A move past the rows read reads on as far as it goes.
    hora.moveTo(449);
    EXPECT_EQ(hora.loadedRowCount(), 450);
    EXPECT_EQ(hora.field("EGN").asString(), "0000000450");
    hora.next();
    EXPECT_EQ(hora.field("EGN").asString(), "0000000451");
    // A search and a count read everything.
    EXPECT_TRUE(hora.locate(QStringLiteral("EGN"), QStringLiteral("0000000999")));
    EXPECT_EQ(hora.rowCount(), 1000);
    EXPECT_FALSE(hora.hasMoreRows());

    // Reading again starts over, back on the row it was on.
    hora.refresh();
    EXPECT_EQ(hora.field("EGN").asString(), "0000000999");
    hora.close();
    hora.open();
    EXPECT_EQ(hora.loadedRowCount(), 200);
    // A new row goes after the last one.
    hora.append();
    hora.field("EGN").setValue(QStringLiteral("0000001001"));
    hora.post();
    EXPECT_EQ(hora.currentRow(), 1000);
    area.commit();
    EXPECT_FALSE(hora.isOpen());
}

// Equal texts of a column come out held once, whether read at once or on demand.
TEST_F(FetchOnDemandTest, SharedTextsKeepTheirValuesAndAreHeldOnce)
{
    for (const bool onDemand : {false, true}) {
        Dataset list(area, QStringLiteral("QueryHora"));
        list.sql().setLines({QStringLiteral(
            "select egn, iif(mod(cast(egn as integer), 2) = 0, 'чётен', 'нечетен') kind, cast(null as varchar(5)) none "
            "from hora order by egn")});
        list.setShareTexts(true);
        list.setFetchOnDemand(onDemand);
        list.open();
        ASSERT_EQ(list.rowCount(), 1000);
        EXPECT_EQ(list.value(0, 0).toString(), QStringLiteral("0000000001"));
        EXPECT_EQ(list.value(0, 1).toString(), QStringLiteral("нечетен"));
        EXPECT_EQ(list.value(999, 1).toString(), QStringLiteral("чётен"));
        EXPECT_TRUE(list.value(500, 2).isNull());
        EXPECT_EQ(list.value(998, 1).toString().constData(), list.value(0, 1).toString().constData());
        EXPECT_EQ(list.value(999, 1).toString().constData(), list.value(1, 1).toString().constData());
        EXPECT_NE(list.value(1, 0).toString().constData(), list.value(0, 0).toString().constData());
        list.close();
    }
}

TEST_F(FetchOnDemandTest, AGridReadsOnAsItScrolls)
{
    Dataset list(area, QStringLiteral("QueryHora"));
    list.sql().setLines({QStringLiteral("select egn, ime from hora order by egn")});
    list.setFetchOnDemand(true);
    list.open();
    DatasetModel model(list, {{QStringLiteral("EGN"), QStringLiteral("ЕГН")}});
    EXPECT_EQ(model.rowCount(), 200);
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 700);
    // Something else counting the rows reads the rest; the grid is told.
    EXPECT_EQ(list.rowCount(), 1000);
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_FALSE(model.canFetchMore({}));
    EXPECT_EQ(model.index(999, 0).data().toString(), "0000001000");
    {
        QAbstractItemModelTester tester(&model);  // a sound model with every row read
    }

    // A commit ends the cursor: the list is as far as it was read.
    list.close();
    list.open();
    area.transaction();
    EXPECT_TRUE(list.hasMoreRows());
    area.commit();
    EXPECT_FALSE(list.hasMoreRows());
}

TEST(StatementLinesParse, AnExecuteBlocksVariablesAreNoParameters)
{
    const QString block = QStringLiteral(
        "execute block returns (x integer) as declare m integer; begin "
        "for select id_hora from hora where id_hora > :m into x do suspend; end");
    const StatementLines::Parsed parsed = StatementLines::parse(block);
    EXPECT_EQ(parsed.sql, block);
    EXPECT_TRUE(parsed.params.isEmpty());
}

}  // namespace
