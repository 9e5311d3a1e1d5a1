#include "dataset/usage_error.h"
#include "dm/tables.h"
#include "dm/tdm.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/schema.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TDMTest : public ::testing::Test {
protected:
    // Rows put in before the module is made, so that it opens on them.
    void seed(const QStringList& statements)
    {
        fb::Connection c;
        c.attach(db.path());
        fb::Transaction tr(c);
        for (const QString& s : statements)
            fb::execute(c, tr, s);
        tr.commit();
    }
    qint64 count(TDM& dm, const QString& from)
    {
        fb::Transaction tr(dm.IBDatabase1.connection());
        return fb::fetchScalar(dm.IBDatabase1.connection(), tr, QStringLiteral("select count(*) from ") + from)
            .toInt64();
    }
    void seedLand()
    {
        seed({QStringLiteral("insert into ZEMLISHTE (ID_ZEML, EKATTE) values (1, '00014')"),
              QStringLiteral("insert into ZEMLISHTE (ID_ZEML, EKATTE) values (2, '00028')"),
              QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (1, 1, 'Герена')"),
              QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO, ID_NTP) values (1, 1, '11', 1)"),
              QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO) values (2, 1, '12')"),
              QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (1, '7501010001', 'Иван')"),
              QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (2, '7501010002', 'Мария')"),
              QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 3, 2.5)"),
              QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (1, 4, 1.5)"),
              QStringLiteral("insert into KATEGORIQ (ID_ZEMQ, VID, PLOSHT) values (2, 3, 7)"),
              QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (1, 1, '1/2')"),
              QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (2, 1, '1/2')"),
              QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (2, 2, '1/1')"),
              QStringLiteral("insert into ISTORIQ (ID_HORA, ID_ZEMQ, CHAST) values (1, 1, '1/1')")});
    }

    testsupport::TestDatabase db;
};

TEST_F(TDMTest, EverySharedCursorIsOpenAtItsFirstRowAfterEachConnect)
{
    seedLand();
    TDM dm(db.path());
    auto allAtFirstRow = [&] {
        for (dataset::Dataset* c : dm.tableCursors()) {
            EXPECT_TRUE(c->isOpen()) << c->name().toStdString();
            EXPECT_EQ(c->currentRow(), c->isEmpty() ? -1 : 0) << c->name().toStdString();
        }
    };
    ASSERT_EQ(dm.tableCursors().size(), 41u);
    allAtFirstRow();
    EXPECT_FALSE(dm.QueryRD.isOpen());
    EXPECT_EQ(dm.TOblast.rowCount(), 28);
    // Details hold only their master's rows; second cursors nothing.
    EXPECT_EQ(dm.TZemq.rowCount(), 2);
    EXPECT_EQ(dm.TKategoriq.rowCount(), 2);
    EXPECT_EQ(dm.TSobstv.rowCount(), 2);
    EXPECT_EQ(dm.IBTable4.rowCount(), 1);
    EXPECT_EQ(dm.TImotiDog.rowCount(), 0);
    EXPECT_EQ(dm.TSobstv.field("ime").asString(), QStringLiteral("Иван"));
    EXPECT_EQ(dm.TSobstv.field("egn").asString(), QStringLiteral("7501010001"));
    EXPECT_EQ(dm.TIstoriq.field("IME").asString(), QStringLiteral("Иван"));
    EXPECT_EQ(dm.TZemq.field("NTP").asString(), dm.TNTP.field("NAIM_NTP").asString());
    EXPECT_FALSE(dm.TZemq.field("NTP").isNull());

    dm.THora.last();
    dm.disconnect();
    EXPECT_FALSE(dm.IBDatabase1.isConnected());
    EXPECT_FALSE(dm.THora.isOpen());
    dm.connect();
    allAtFirstRow();
    EXPECT_EQ(dm.IBTable4.rowCount(), 1);

    dm.setDatabaseName(db.path());  // the same file again, as year closing does
    EXPECT_FALSE(dm.IBDatabase1.isConnected());
    dm.connect();
    allAtFirstRow();
}

TEST_F(TDMTest, FieldsAreReachableByTheirFullNamesWithTheirFormats)
{
    TDM dm(db.path());
    EXPECT_EQ(&dm.field("TFirmaNAIM_FIRMA"), &dm.TFirma.field("NAIM_FIRMA"));
    EXPECT_EQ(&dm.field("THoraCHFL"), &dm.THora.field("CHFL"));
    EXPECT_EQ(dm.field("TZemqPLOSHT").displayFormat(), QStringLiteral("#0.000"));
    EXPECT_EQ(dm.field("TDHZREDPLOSHT").displayFormat(), QStringLiteral("#####0.000"));
    EXPECT_EQ(dm.field("TVidRentaED_CENA").displayFormat(), QStringLiteral("######0.00"));
    EXPECT_EQ(dm.field("TRKOSUMA").displayFormat(), QStringLiteral("#0.00"));
    EXPECT_EQ(dm.field("TDogovorSVDELO").editMask(), QStringLiteral("!99/99/0000;1;_"));
    EXPECT_EQ(dm.field("TZemqIMOT_NO2").editMask(), QStringLiteral("#####.###.###;1;_"));
    EXPECT_THROW(dm.field("TZemqNOPE"), dataset::UsageError);
    EXPECT_EQ(dm.cursor(QStringLiteral("TDelSobstv")), &dm.TDelSobstv);

    EXPECT_EQ(dm.IBTDog.options().isolation, fb::TransactionOptions::Isolation::ReadCommitted);
    EXPECT_FALSE(dm.IBTDog.options().wait);
    EXPECT_TRUE(dm.IBTRazp.options().wait);
    EXPECT_TRUE(dm.IBTFirma.endsItself());
    EXPECT_FALSE(dm.IBTHora.endsItself());
}

TEST_F(TDMTest, APlotGoesWithItsCategoriesAndSharesButNotItsHistory)
{
    seedLand();
    TDM dm(db.path());
    ASSERT_EQ(dm.TZemq.field("ID_ZEMQ").asInt(), 1);
    dm.TZemq.remove();
    EXPECT_EQ(count(dm, QStringLiteral("KATEGORIQ where ID_ZEMQ = 1")), 2);  // not committed yet
    dm.IBTImot.rollback();
    EXPECT_EQ(count(dm, QStringLiteral("ZEMQ")), 2);
    EXPECT_EQ(count(dm, QStringLiteral("SOBSTV")), 3);

    dm.TZemq.open();
    dm.TZemq.remove();
    dm.IBTImot.commit();
    EXPECT_EQ(count(dm, QStringLiteral("ZEMQ")), 1);
    EXPECT_EQ(count(dm, QStringLiteral("KATEGORIQ where ID_ZEMQ = 1")), 0);
    EXPECT_EQ(count(dm, QStringLiteral("SOBSTV where ID_ZEMQ = 1")), 0);
    EXPECT_EQ(count(dm, QStringLiteral("KATEGORIQ")), 1);
    EXPECT_EQ(count(dm, QStringLiteral("SOBSTV")), 1);
    EXPECT_EQ(count(dm, QStringLiteral("ISTORIQ where ID_ZEMQ = 1")), 1);
}

TEST_F(TDMTest, AContractAndAGoodsReceiptGoWithTheirLines)
{
    seed({QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER) values (1, '1')"),
          QStringLiteral("insert into \"DOG DANNI\" (ID_DOG, NOMER) values (2, '2')"),
          QStringLiteral("insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ) values (1, 1, 1)"),
          QStringLiteral("insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ) values (2, 1, 2)"),
          QStringLiteral("insert into DOGHORAZEMI (ID_DHZ, ID_DOG, ID_ZEMQ) values (3, 2, 3)"),
          QStringLiteral("insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (1, 1, 1)"),
          QStringLiteral("insert into \"RAZP DANNI\" (ID_RD, ID_HORA, NOM) values (2, 1, 2)"),
          QStringLiteral("insert into \"RAZP RENTA\" (ID_RR, ID_RD, KOL) values (1, 1, 100)"),
          QStringLiteral("insert into \"RAZP RENTA\" (ID_RR, ID_RD, KOL) values (2, 1, 50)"),
          QStringLiteral("insert into \"RAZP RENTA\" (ID_RR, ID_RD, KOL) values (3, 2, 10)")});
    TDM dm(db.path());
    EXPECT_EQ(dm.TDHZ.rowCount(), 2);
    dm.TDogovor.remove();
    dm.IBTDog.rollback();
    EXPECT_EQ(count(dm, QStringLiteral("DOGHORAZEMI")), 3);
    dm.TDogovor.open();
    dm.TDogovor.remove();
    dm.IBTDog.commit();
    EXPECT_EQ(count(dm, QStringLiteral("\"DOG DANNI\"")), 1);
    EXPECT_EQ(count(dm, QStringLiteral("DOGHORAZEMI where ID_DOG = 1")), 0);
    EXPECT_EQ(count(dm, QStringLiteral("DOGHORAZEMI where ID_DOG = 2")), 1);

    EXPECT_EQ(dm.TRR.field("TRRKOL").displayText(), QStringLiteral("100,00"));
    dm.TRD.remove();
    dm.IBTRazp.commit();
    EXPECT_EQ(count(dm, QStringLiteral("\"RAZP DANNI\"")), 1);
    EXPECT_EQ(count(dm, QStringLiteral("\"RAZP RENTA\" where ID_RD = 1")), 0);
    EXPECT_EQ(count(dm, QStringLiteral("\"RAZP RENTA\"")), 1);
}

TEST_F(TDMTest, ADetailOfAnEmptyMasterShowsNoRows)
{
    seedLand();
    TDM dm(db.path());
    EXPECT_EQ(dm.TZemq.rowCount(), 2);
    ASSERT_TRUE(dm.TZemlishte.locate(QStringLiteral("ID_ZEML"), 2));
    EXPECT_TRUE(dm.TMestnost.isEmpty());
    EXPECT_TRUE(dm.TZemq.isEmpty());
    EXPECT_TRUE(dm.TKategoriq.isEmpty());
    EXPECT_TRUE(dm.TSobstv.isEmpty());
}

// A locality of many plots: its first ones in key order at once, the rest
// as they are used; a move to another locality and back reads it afresh.
// A register of the seventh version gets the index that walks them so.
TEST_F(TDMTest, ALocalitysPlotsComeInKeyOrderTheFirstOnesAtOnce)
{
    seedLand();
    QStringList plots;
    for (int k = 0; k < 300; ++k)  // keys given out of order
        plots << QStringLiteral("insert into ZEMQ (ID_ZEMQ, ID_MEST, IMOT_NO) values (%1, 1, '%2')")
                     .arg(1000 + (k * 7) % 300)
                     .arg(k);
    seed(plots);
    seed({QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (2, 1, 'Лозята')"),
          QStringLiteral("drop index IX_ZEMQ_MEST_ZEMQ"), QStringLiteral("update arventa_schema set version = 7")});
    TDM dm(db.path());
    EXPECT_EQ(count(dm, QStringLiteral("rdb$indices where rdb$index_name = 'IX_ZEMQ_MEST_ZEMQ'")), 1);
    EXPECT_EQ(count(dm, QStringLiteral("arventa_schema where version = %1").arg(schema::kVersion)), 1);

    EXPECT_LT(dm.TZemq.loadedRowCount(), 302);
    EXPECT_EQ(dm.TZemq.field("ID_ZEMQ").asInt(), 1);
    EXPECT_EQ(dm.TZemq.rowCount(), 302);
    QList<int> keys;
    for (dm.TZemq.first(); !dm.TZemq.eof(); dm.TZemq.next())
        keys << dm.TZemq.field("ID_ZEMQ").asInt();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(keys.back(), 1299);

    ASSERT_TRUE(dm.TMestnost.locate(QStringLiteral("ID_MESTN"), 2));
    EXPECT_TRUE(dm.TZemq.isEmpty());
    ASSERT_TRUE(dm.TMestnost.locate(QStringLiteral("ID_MESTN"), 1));
    EXPECT_TRUE(dm.TZemq.locate(QStringLiteral("ID_ZEMQ"), 1299));
    EXPECT_EQ(dm.TZemq.field("IMOT_NO").asString(), QStringLiteral("257"));  // 1000 + (257 * 7) % 300
}

TEST(Tables, TheCatalogueDescribesEachTableToTheDatasets)
{
    const dataset::TableDescription dog = dm::tableDescription(QStringLiteral("dog danni"));
    EXPECT_EQ(dog.name, QStringLiteral("DOG DANNI"));
    EXPECT_EQ(dog.sqlName, QStringLiteral("\"DOG DANNI\""));
    ASSERT_EQ(dog.columns.size(), 21u);
    EXPECT_EQ(dog.columns[0].name, QStringLiteral("ID_DOG"));
    EXPECT_TRUE(dog.columns[0].key && dog.columns[0].generated);
    EXPECT_EQ(dog.columns[1].type, dataset::DataType::Date);
    EXPECT_EQ(dog.columns[6].type, dataset::DataType::Text);
    EXPECT_EQ(dog.columns[6].size, 15);
    EXPECT_FALSE(dog.columns[6].key || dog.columns[6].generated);

    const dataset::TableDescription sobstv = dm::tableDescription(QStringLiteral("SOBSTV"));
    EXPECT_EQ(sobstv.sqlName, QStringLiteral("SOBSTV"));
    int keys = 0;
    for (const auto& c : sobstv.columns) {
        keys += c.key;
        EXPECT_FALSE(c.generated) << c.name.toStdString();
    }
    EXPECT_EQ(keys, 2);
    const dataset::TableDescription rd = dm::tableDescription(QStringLiteral("RAZP DANNI"));
    EXPECT_EQ(rd.columns[4].type, dataset::DataType::Float);
    EXPECT_EQ(rd.columns[5].type, dataset::DataType::Integer);  // smallint
    EXPECT_THROW(dm::tableDescription(QStringLiteral("NO_SUCH_TABLE")), dataset::UsageError);
}

TEST_F(TDMTest, ACursorOverAQuotedTableWritesThroughItsTransaction)
{
    TDM dm(db.path());
    dataset::Dataset receipts(dm.IBTRazp, QStringLiteral("TReceipts"));
    dm::useTable(receipts, QStringLiteral("RAZP DANNI"));
    receipts.open();
    receipts.append();
    receipts.field("ID_HORA").setValue(1);
    receipts.field("NOM").setValue(7);
    receipts.field("SUMA").setValue(12.5);
    receipts.post();
    const int id = receipts.field("ID_RD").asInt();
    EXPECT_GT(id, 0);
    receipts.edit();
    receipts.field("NOM").setValue(8);
    receipts.post();
    dm.IBTRazp.commit();
    EXPECT_EQ(count(dm, QStringLiteral("\"RAZP DANNI\" where NOM = 8 and SUMA = 12.5")), 1);
    ASSERT_TRUE(receipts.openAtKey({id}));
    receipts.remove();
    dm.IBTRazp.commit();
    EXPECT_EQ(count(dm, QStringLiteral("\"RAZP DANNI\"")), 0);
}

TEST_F(TDMTest, AMissingDatabaseIsReportedToTheFirstReaderOnly)
{
    const QString missing = db.folder() + QStringLiteral("/NONE.FDB");
    TDM dm(missing);  // no exception, nothing shown
    EXPECT_FALSE(dm.IBDatabase1.isConnected());
    for (dataset::Dataset* c : dm.tableCursors())
        EXPECT_FALSE(c->isOpen());
    QString clientText;
    try {
        fb::Connection c;
        c.attach(missing);
    } catch (const fb::Error& e) {
        clientText = e.message();
    }
    try {
        dm.THora.open();
        FAIL() << "the owners opened without a database";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.message(), clientText);
    }
}

TEST_F(TDMTest, UncommittedRowsStayInsideTheirAreasTransaction)
{
    TDM dm(db.path());
    dataset::TransactionArea listArea(dm.IBDatabase1, QStringLiteral("IBTList"));
    dataset::Dataset list(listArea, QStringLiteral("QueryList"));
    list.sql().setLines({QStringLiteral("select hora.egn from hora where hora.egn = :egn")});
    list.setParam(QStringLiteral("egn"), QStringLiteral("8001010000"));

    dm.IBTHora.ensureStarted();
    dm.THora.append();
    dm.THora.field("EGN").setValue(QStringLiteral("8001010000"));
    dm.THora.post();
    list.open();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(dm.TEGNHora.locate(QStringLiteral("EGN"), QStringLiteral("8001010000")));  // same transaction

    dm.IBTHora.commit();
    list.refresh();
    EXPECT_EQ(list.rowCount(), 0);  // a snapshot keeps its view until it is committed
    listArea.commit();
    list.open();
    EXPECT_EQ(list.rowCount(), 1);
}

}  // namespace
