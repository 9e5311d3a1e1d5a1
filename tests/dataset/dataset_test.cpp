#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/statement_lines.h"
#include "dataset/transaction_area.h"
#include "dataset/usage_error.h"
#include "dm/tables.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <type_traits>

using namespace dataset;

namespace {

class DatasetTest : public ::testing::Test {
protected:
    // Seeds committed rows through a transaction of its own.
    void sql(const QString& text)
    {
        database.ensureConnected();
        fb::Transaction tr(database.connection());
        fb::execute(database.connection(), tr, text);
        tr.commit();
    }
    qint64 count(const QString& table)
    {
        database.ensureConnected();
        fb::Transaction tr(database.connection());
        return fb::fetchScalar(database.connection(), tr, QStringLiteral("select count(*) from ") + table).toInt64();
    }
    void addOwner(Dataset& d, const QString& egn, const QString& name)
    {
        d.append();
        d.field("EGN").setValue(egn);
        d.field("IME").setValue(name);
        d.post();
    }

    testsupport::TestDatabase db;
    Database database{db.path()};
    TransactionArea area{database, QStringLiteral("IBTHora")};
};

TEST_F(DatasetTest, PostCancelEditDeleteRoundTrip)
{
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    hora.open();  // connects by itself
    EXPECT_TRUE(database.isConnected());
    EXPECT_TRUE(hora.isEmpty());
    EXPECT_TRUE(hora.bof() && hora.eof());

    addOwner(hora, QStringLiteral("7501010001"), QStringLiteral("Иван Петров"));
    // The database gave the key; the program sent none.
    const int first = hora.field("ID_HORA").asInt();
    EXPECT_GT(first, 0);
    addOwner(hora, QStringLiteral("7501010002"), QString(60, QChar(0x0416)));  // longer than the column
    EXPECT_EQ(hora.state(), State::Browse);
    EXPECT_EQ(hora.field("IME").asString().size(), 50);
    EXPECT_EQ(hora.field("THoraEGN").asString(), QStringLiteral("7501010002"));

    // Cancel brings back the stored values.
    hora.first();
    hora.edit();
    hora.field("IME").setValue(QStringLiteral("Грешно"));
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Грешно"));
    hora.cancel();
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Иван Петров"));

    hora.edit();
    hora.field("TEL").setValue(QStringLiteral("0888"));
    hora.post();
    const Row key = hora.key();
    area.commit();
    EXPECT_FALSE(hora.isOpen());  // a commit closes the area's datasets
    EXPECT_EQ(count(QStringLiteral("HORA")), 2);

    ASSERT_TRUE(hora.openAtKey(key));
    EXPECT_EQ(hora.field("TEL").asString(), QStringLiteral("0888"));
    hora.next();
    EXPECT_EQ(hora.field("IME").asString(), QString(50, QChar(0x0416)));  // stored cut, not refused
    EXPECT_GT(hora.field("ID_HORA").asInt(), first);

    hora.remove();
    EXPECT_EQ(hora.rowCount(), 1);
    area.rollback();
    EXPECT_EQ(count(QStringLiteral("HORA")), 2);
    hora.open();
    hora.last();
    hora.remove();
    area.commit();
    EXPECT_EQ(count(QStringLiteral("HORA")), 1);
}

TEST_F(DatasetTest, AFailedPostKeepsTheRowAndItsValues)
{
    sql(QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ, CHAST) values (1, 1, '1/2')"));
    Dataset sobstv(area, QStringLiteral("TSobstv"));
    dm::useTable(sobstv, QStringLiteral("SOBSTV"));
    sobstv.open();
    sobstv.append();
    sobstv.field("ID_HORA").setValue(1);
    sobstv.field("ID_ZEMQ").setValue(1);
    sobstv.field("CHAST").setValue(QStringLiteral("1/4"));
    EXPECT_THROW(sobstv.post(), fb::Error);
    EXPECT_EQ(sobstv.state(), State::Insert);
    EXPECT_EQ(sobstv.field("CHAST").asString(), QStringLiteral("1/4"));
    EXPECT_TRUE(area.isActive());
    sobstv.field("ID_ZEMQ").setValue(2);
    sobstv.post();
    EXPECT_EQ(sobstv.rowCount(), 2);

    // A key column changed in an edit is found by its old value.
    sobstv.first();
    sobstv.edit();
    sobstv.field("ID_HORA").setValue(5);
    sobstv.post();
    area.commit();
    EXPECT_EQ(count(QStringLiteral("SOBSTV where ID_HORA = 5 and ID_ZEMQ = 1")), 1);
}

TEST_F(DatasetTest, AFailedCommitKeepsTheRowsAndTheTransaction)
{
    // A commit trigger stands in for any failure at commit time.
    sql(QStringLiteral("create exception E_NO_COMMIT 'commit refused'"));
    sql(QStringLiteral(
        "create trigger T_NO_COMMIT on transaction commit as begin "
        "if (exists(select 1 from KULTURA where NAIM_KULT = 'refuse')) then exception E_NO_COMMIT; end"));
    TransactionArea kult(database, QStringLiteral("IBTKult"));
    Dataset crops(kult, QStringLiteral("TKULT"));
    dm::useTable(crops, QStringLiteral("KULTURA"));
    crops.open();
    const int before = crops.rowCount();
    crops.append();
    crops.field("NAIM_KULT").setValue(QStringLiteral("refuse"));
    crops.post();

    EXPECT_THROW(kult.commit(), fb::Error);
    EXPECT_TRUE(kult.isActive());
    ASSERT_TRUE(crops.isOpen());
    EXPECT_EQ(crops.rowCount(), before + 1);
    EXPECT_EQ(crops.field("NAIM_KULT").asString(), QStringLiteral("refuse"));

    crops.edit();
    crops.field("NAIM_KULT").setValue(QStringLiteral("Овес"));
    crops.post();
    kult.commit();
    EXPECT_FALSE(crops.isOpen());
    EXPECT_EQ(count(QStringLiteral("KULTURA where NAIM_KULT = 'Овес'")), 1);
}

TEST_F(DatasetTest, ATableWithoutKeyChangesOneRowOfEqualOnes)
{
    sql(QStringLiteral("insert into OIR (ID_HORA, SUMA_OIR) values (7, 10.5)"));
    sql(QStringLiteral("insert into OIR (ID_HORA, SUMA_OIR) values (7, 10.5)"));
    Dataset oir(area, QStringLiteral("TOIR"));
    dm::useTable(oir, QStringLiteral("OIR"));
    oir.open();
    ASSERT_EQ(oir.rowCount(), 2);
    oir.edit();
    oir.field("SUMA_OIR").setValue(3.25);
    oir.post();
    oir.last();
    oir.remove();
    area.commit();
    EXPECT_EQ(count(QStringLiteral("OIR")), 1);
    EXPECT_EQ(count(QStringLiteral("OIR where SUMA_OIR = 3.25")), 1);
}

TEST_F(DatasetTest, NavigationAndLocate)
{
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    hora.open();
    for (int i = 1; i <= 3; ++i)
        addOwner(hora, QStringLiteral("000000000%1").arg(i), QStringLiteral("Собственик %1").arg(i));
    area.commit();
    hora.open();
    QSignalSpy moved(&hora, &Dataset::currentChanged);
    EXPECT_TRUE(hora.bof());
    hora.prior();
    EXPECT_EQ(moved.count(), 0);
    hora.next();
    hora.next();
    EXPECT_FALSE(hora.eof());
    hora.next();
    EXPECT_TRUE(hora.eof());
    EXPECT_EQ(hora.currentRow(), 2);
    EXPECT_EQ(moved.count(), 2);

    EXPECT_TRUE(hora.locate(QStringLiteral("EGN"), QStringLiteral("0000000002")));
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Собственик 2"));
    EXPECT_FALSE(hora.locate(QStringLiteral("EGN"), QStringLiteral("9")));
    EXPECT_EQ(hora.currentRow(), 1);  // no move on a miss
    EXPECT_TRUE(hora.locate({QStringLiteral("EGN"), QStringLiteral("IME")},
                            {QStringLiteral("0000000003"), QStringLiteral("Собственик 3")}));
    EXPECT_EQ(hora.currentRow(), 2);
    hora.refresh();  // re-reads and stays on the row's key
    EXPECT_EQ(hora.currentRow(), 2);
}

TEST_F(DatasetTest, LocatingComparesNumbersByValueAndTextByText)
{
    sql(QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (3, '3', 'Мария')"));
    sql(QStringLiteral("insert into HORA (ID_HORA, EGN, IME, TEL) values (5, '5', 'Стоян', '')"));
    sql(QStringLiteral("insert into HORA (ID_HORA, EGN, IME, TEL) values (7, '7', 'Петър', '02')"));
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    hora.open();
    const int id = hora.field("ID_HORA").index();
    EXPECT_EQ(hora.findRow(id, fb::Decimal{500, 2}), 1);
    EXPECT_EQ(hora.findRow(id, 7.0), 2);
    EXPECT_EQ(hora.findRow(id, 7.5), -1);
    EXPECT_EQ(hora.findRow(id, QStringLiteral("5")), -1);  // text is never a number
    const int egn = hora.field("EGN").index();
    EXPECT_EQ(hora.findRow(egn, QStringLiteral("5")), 1);
    EXPECT_EQ(hora.findRow(egn, 5), -1);
    // NULL finds the row without a phone, the empty text the row with an empty one.
    const int tel = hora.field("TEL").index();
    EXPECT_EQ(hora.findRow(tel, fb::Value()), 0);
    EXPECT_EQ(hora.findRow(tel, QStringLiteral("")), 1);

    EXPECT_TRUE(hora.locate({QStringLiteral("ID_HORA"), QStringLiteral("TEL")}, {fb::Decimal{70, 1}, "02"}));
    EXPECT_EQ(hora.currentRow(), 2);
    EXPECT_FALSE(hora.locate({QStringLiteral("ID_HORA"), QStringLiteral("TEL")}, {5, fb::Value()}));
    EXPECT_EQ(hora.currentRow(), 2);
    EXPECT_TRUE(hora.locateKey({fb::Decimal{30, 1}}));
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Мария"));
    EXPECT_THROW(hora.locate({QStringLiteral("ID_HORA"), QStringLiteral("TEL")}, {5}), UsageError);
}

TEST_F(DatasetTest, ARowInEditIsNeitherLeftNorPostedByAMove)
{
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    hora.open();
    for (int i = 1; i <= 3; ++i)
        addOwner(hora, QStringLiteral("000000000%1").arg(i), QStringLiteral("Собственик %1").arg(i));
    const auto stored = [&](const QString& name) {
        return fb::fetchScalar(database.connection(), area.transaction(),
                               QStringLiteral("select count(*) from HORA where IME = ?"), {name})
            .toInt();
    };

    hora.moveTo(1);
    const Row key = hora.key();
    hora.edit();
    hora.field("IME").setValue(QStringLiteral("Променено"));
    QSignalSpy moved(&hora, &Dataset::currentChanged);
    EXPECT_THROW(hora.first(), UsageError);
    EXPECT_THROW(hora.next(), UsageError);
    EXPECT_THROW(hora.prior(), UsageError);
    EXPECT_THROW(hora.last(), UsageError);
    EXPECT_THROW(hora.moveTo(2), UsageError);
    EXPECT_THROW(hora.moveTo(1), UsageError);
    EXPECT_THROW(hora.locate(QStringLiteral("EGN"), QStringLiteral("0000000003")), UsageError);
    EXPECT_THROW(hora.locateKey(key), UsageError);
    EXPECT_THROW(hora.openAtKey(key), UsageError);
    EXPECT_THROW(hora.refresh(), UsageError);
    EXPECT_THROW(hora.insert(), UsageError);
    EXPECT_THROW(hora.append(), UsageError);
    EXPECT_EQ(moved.count(), 0);
    EXPECT_EQ(hora.state(), State::Edit);
    EXPECT_EQ(hora.currentRow(), 1);
    EXPECT_EQ(hora.field("IME").asString(), QStringLiteral("Променено"));
    EXPECT_EQ(stored(QStringLiteral("Променено")), 0);
    hora.post();
    EXPECT_EQ(stored(QStringLiteral("Променено")), 1);
    hora.next();
    EXPECT_EQ(hora.currentRow(), 2);

    // A new row likewise stays until it is posted or cancelled.
    hora.append();
    hora.field("EGN").setValue(QStringLiteral("0000000004"));
    EXPECT_THROW(hora.first(), UsageError);
    EXPECT_EQ(hora.state(), State::Insert);
    EXPECT_EQ(hora.field("EGN").asString(), QStringLiteral("0000000004"));
    hora.cancel();
    EXPECT_EQ(hora.rowCount(), 3);
    hora.first();

    // A second cursor does not read other rows over the one it edits.
    Dataset egn(area, QStringLiteral("TEGNHora"));
    dm::useTable(egn, QStringLiteral("HORA"));
    egn.setSecondCursor(true);
    ASSERT_TRUE(egn.locate(QStringLiteral("EGN"), QStringLiteral("0000000001")));
    egn.edit();
    egn.field("TEL").setValue(QStringLiteral("02"));
    EXPECT_THROW(egn.locate(QStringLiteral("EGN"), QStringLiteral("0000000002")), UsageError);
    EXPECT_EQ(egn.rowCount(), 1);
    EXPECT_EQ(egn.field("TEL").asString(), QStringLiteral("02"));
    egn.cancel();
    EXPECT_TRUE(egn.field("TEL").isNull());
}

TEST_F(DatasetTest, AMasterInEditStaysAndItsDetailKeepsItsRows)
{
    sql(QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (1, 1, 'Орешака')"));
    sql(QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (2, 1, 'Герена')"));
    sql(QStringLiteral("insert into ZEMQ (ID_MEST, IMOT_NO) values (1, '1')"));
    sql(QStringLiteral("insert into ZEMQ (ID_MEST, IMOT_NO) values (2, '2')"));
    Dataset mestnost(area, QStringLiteral("TMestnost"));
    dm::useTable(mestnost, QStringLiteral("MESTNOST"));
    Dataset zemq(area, QStringLiteral("TZemq"));
    dm::useTable(zemq, QStringLiteral("ZEMQ"));
    zemq.setMaster(mestnost, QStringLiteral("ID_MEST"), QStringLiteral("ID_MESTN"));
    mestnost.open();
    zemq.open();

    // A detail in edit keeps its row while its master moves.
    zemq.edit();
    zemq.field("IMOT_NO").setValue(QStringLiteral("1а"));
    mestnost.next();
    EXPECT_EQ(zemq.state(), State::Edit);
    EXPECT_EQ(zemq.field("IMOT_NO").asString(), QStringLiteral("1а"));
    zemq.post();
    EXPECT_EQ(count(QStringLiteral("ZEMQ where IMOT_NO = '1а'")), 0);  // not committed, but posted
    mestnost.first();
    EXPECT_EQ(zemq.field("IMOT_NO").asString(), QStringLiteral("1а"));

    // A master in edit does not move, so its detail keeps showing its rows.
    mestnost.edit();
    mestnost.field("NAIM_MESTN").setValue(QStringLiteral("Нова"));
    EXPECT_THROW(mestnost.next(), UsageError);
    EXPECT_EQ(zemq.field("IMOT_NO").asString(), QStringLiteral("1а"));
    mestnost.cancel();
}

TEST_F(DatasetTest, MisuseIsAUsageErrorAndNeverADatabaseError)
{
    static_assert(std::is_base_of_v<std::logic_error, UsageError>);
    static_assert(!std::is_base_of_v<fb::Error, UsageError> && !std::is_base_of_v<UsageError, fb::Error>);
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    // A handler of database errors, as every screen has, must not see it.
    const auto kind = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const fb::Error&) {
            return QStringLiteral("database");
        } catch (const UsageError&) {
            return QStringLiteral("usage");
        }
        return QStringLiteral("none");
    };
    EXPECT_EQ(kind([&] { hora.edit(); }), QStringLiteral("usage"));  // closed
    EXPECT_EQ(kind([&] { hora.field("IME").setValue(QStringLiteral("x")); }), QStringLiteral("usage"));
    EXPECT_EQ(kind([&] { hora.field("NOPE"); }), QStringLiteral("usage"));
    hora.open();
    EXPECT_EQ(kind([&] { hora.remove(); }), QStringLiteral("usage"));                               // nothing to delete
    EXPECT_EQ(kind([&] { dm::useTable(hora, QStringLiteral("HORA")); }), QStringLiteral("usage"));  // open
    EXPECT_EQ(kind([&] { dm::useTable(hora, QStringLiteral("NO_SUCH_TABLE")); }), QStringLiteral("usage"));

    Dataset query(area, QStringLiteral("QueryHora"));
    query.sql().setLines({QStringLiteral("select egn from hora")});
    query.open();
    EXPECT_EQ(kind([&] { query.edit(); }), QStringLiteral("usage"));
    EXPECT_EQ(kind([&] { query.remove(); }), QStringLiteral("usage"));

    auto gone = std::make_unique<TransactionArea>(database, QStringLiteral("IBTGone"));
    Dataset orphan(*gone, QStringLiteral("TOrphan"));
    dm::useTable(orphan, QStringLiteral("HORA"));
    gone.reset();
    EXPECT_EQ(kind([&] { orphan.open(); }), QStringLiteral("usage"));
    auto closedDown = std::make_unique<Database>(db.path());
    TransactionArea left(*closedDown, QStringLiteral("IBTLeft"));
    closedDown.reset();
    EXPECT_EQ(kind([&] { left.start(); }), QStringLiteral("usage"));

    // What the database says stays the database's.
    query.close();
    query.sql().setLines({QStringLiteral("select no_such_column from hora")});
    EXPECT_EQ(kind([&] { query.open(); }), QStringLiteral("database"));
}

TEST_F(DatasetTest, ATableDescribedByHandIsReadAndWritten)
{
    // The dataset layer needs no catalogue: a quoted name and a key the
    // database fills are all in the description.
    sql(
        QStringLiteral("create table \"NOTE BOOK\" (ID integer generated by default as identity primary key, "
                       "TXT varchar(10), AMOUNT decimal(9,2))"));
    TableDescription notes{QStringLiteral("NOTE BOOK"),
                           QStringLiteral("\"NOTE BOOK\""),
                           {{QStringLiteral("ID"), DataType::Integer, 0, true, true},
                            {QStringLiteral("TXT"), DataType::Text, 10},
                            {QStringLiteral("AMOUNT"), DataType::Decimal}}};
    Dataset d(area, QStringLiteral("TNotes"));
    d.setTable(notes);
    EXPECT_EQ(d.table(), QStringLiteral("NOTE BOOK"));
    ASSERT_EQ(d.keyFields(), std::vector<int>{0});
    d.open();
    d.append();
    d.field("TXT").setValue(QStringLiteral("дванадесет знака"));
    d.field("AMOUNT").setValue(fb::Decimal{1250, 2});
    d.post();
    EXPECT_EQ(d.field("TXT").asString(), QStringLiteral("дванадесет"));
    const int id = d.field("ID").asInt();
    EXPECT_GT(id, 0);
    d.append();
    d.field("TXT").setValue(QStringLiteral("втори"));
    d.post();
    d.first();
    d.edit();
    d.field("AMOUNT").setValue(fb::Decimal{3, 0});
    d.post();
    d.last();
    d.remove();
    area.commit();
    EXPECT_EQ(count(QStringLiteral("\"NOTE BOOK\"")), 1);
    EXPECT_EQ(count(QStringLiteral("\"NOTE BOOK\" where AMOUNT = 3 and TXT = 'дванадесет'")), 1);
    d.open();
    EXPECT_EQ(d.key(), Row{id});
}

TEST_F(DatasetTest, DetailFollowsItsMasterAndLoadsOnlyItsRows)
{
    sql(QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (1, 1, 'Орешака')"));
    sql(QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (2, 1, 'Герена')"));
    sql(QStringLiteral("insert into MESTNOST (ID_MESTN, ID_ZEML, NAIM_MESTN) values (3, 1, 'Празна')"));
    for (int i = 1; i <= 5; ++i)
        sql(QStringLiteral("insert into ZEMQ (ID_MEST, IMOT_NO, PLOSHT) values (%1, '%2', 1.5)")
                .arg(i <= 3 ? 1 : 2)
                .arg(i));
    TransactionArea imot(database, QStringLiteral("IBTImot"));
    Dataset mestnost(area, QStringLiteral("TMestnost"));
    dm::useTable(mestnost, QStringLiteral("MESTNOST"));
    Dataset zemq(imot, QStringLiteral("TZemq"));
    dm::useTable(zemq, QStringLiteral("ZEMQ"));
    zemq.setMaster(mestnost, QStringLiteral("ID_MEST"), QStringLiteral("ID_MESTN"));

    zemq.open();  // before its master: empty
    EXPECT_TRUE(zemq.isEmpty());
    mestnost.open();
    EXPECT_EQ(zemq.rowCount(), 3);
    mestnost.next();
    EXPECT_EQ(zemq.rowCount(), 2);
    EXPECT_EQ(zemq.field("IMOT_NO").asString(), QStringLiteral("4"));
    mestnost.next();
    EXPECT_TRUE(zemq.isEmpty());

    // A new detail row takes its link from the master.
    zemq.append();
    EXPECT_EQ(zemq.field("ID_MEST").asInt(), 3);
    zemq.field("IMOT_NO").setValue(QStringLiteral("6"));
    zemq.post();
    imot.commit();
    zemq.open();
    EXPECT_EQ(zemq.rowCount(), 1);

    // An empty master means an empty detail.
    mestnost.first();
    while (!mestnost.isEmpty())
        mestnost.remove();
    EXPECT_TRUE(zemq.isEmpty());
    zemq.append();
    EXPECT_TRUE(zemq.field("ID_MEST").isNull());
    zemq.cancel();
}

TEST_F(DatasetTest, LookupFieldsResolveByKey)
{
    sql(QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (4, '111', 'Мария')"));
    sql(QStringLiteral("insert into HORA (ID_HORA, EGN, IME) values (9, '222', 'Стоян')"));
    sql(QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ) values (9, 1)"));
    sql(QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ) values (4, 2)"));
    sql(QStringLiteral("insert into SOBSTV (ID_HORA, ID_ZEMQ) values (5, 3)"));
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    Dataset sobstv(area, QStringLiteral("TSobstv"));
    dm::useTable(sobstv, QStringLiteral("SOBSTV"));
    sobstv.setOrder({QStringLiteral("ID_ZEMQ")});
    Field& ime = sobstv.addLookupField(QStringLiteral("ime"), 50, QStringLiteral("ID_HORA"), hora,
                                       QStringLiteral("ID_HORA"), QStringLiteral("IME"));
    hora.open();
    sobstv.open();
    EXPECT_EQ(ime.asString(), QStringLiteral("Стоян"));
    sobstv.next();
    EXPECT_EQ(sobstv.field("ime").asString(), QStringLiteral("Мария"));
    sobstv.next();
    EXPECT_TRUE(ime.isNull());  // no such owner
    EXPECT_THROW(sobstv.field("ime").setValue(QStringLiteral("x")), UsageError);
}

TEST_F(DatasetTest, ASecondCursorAsksTheDatabaseForTheRowsItNeeds)
{
    sql(QStringLiteral("insert into HORA (EGN, IME) values ('111', 'Мария')"));
    sql(QStringLiteral("insert into HORA (EGN, IME) values ('222', 'Стоян')"));
    Dataset egn(area, QStringLiteral("TEGNHora"));
    dm::useTable(egn, QStringLiteral("HORA"));
    egn.setSecondCursor(true);
    egn.open();
    EXPECT_TRUE(egn.isOpen());
    EXPECT_EQ(egn.rowCount(), 0);
    EXPECT_TRUE(egn.locate(QStringLiteral("EGN"), QStringLiteral("222")));
    EXPECT_EQ(egn.rowCount(), 1);
    EXPECT_EQ(egn.field("IME").asString(), QStringLiteral("Стоян"));
    EXPECT_FALSE(egn.locate(QStringLiteral("EGN"), QStringLiteral("333")));
    EXPECT_TRUE(egn.locate({QStringLiteral("EGN"), QStringLiteral("TEL")}, {QStringLiteral("111"), fb::Value()}));
    // It can change the row it found.
    egn.edit();
    egn.field("TEL").setValue(QStringLiteral("02"));
    egn.post();
    area.commit();
    EXPECT_EQ(count(QStringLiteral("HORA where TEL = '02'")), 1);
}

TEST_F(DatasetTest, QueriesRunStatementLinesWithNamedParameters)
{
    sql(QStringLiteral("insert into HORA (EGN, IME) values ('111', 'O''Brien')"));
    sql(QStringLiteral("insert into HORA (EGN, IME) values ('222', 'Стоян')"));
    Dataset query(area, QStringLiteral("QueryHora"));
    query.sql().setLines({QStringLiteral("select hora.egn, hora.ime from hora"), QStringLiteral(" WHERE "),
                          QStringLiteral("(hora.ime containing 'o''b') or hora.egn = :egn"),
                          QStringLiteral(" order by "), QStringLiteral(" hora.egn ")});
    query.setParam(QStringLiteral("egn"), QStringLiteral("222"));
    query.open();
    ASSERT_EQ(query.rowCount(), 2);
    EXPECT_EQ(query.field("IME").asString(), QStringLiteral("O'Brien"));
    EXPECT_THROW(query.append(), UsageError);  // read-only

    query.close();
    query.sql().setLastLine(QStringLiteral(" hora.egn desc"));
    query.open();
    EXPECT_EQ(query.field("EGN").asString(), QStringLiteral("222"));

    const auto parsed = StatementLines::parse(QStringLiteral("select ':x', \":y\" from t where a = :A_1 and b=:b"));
    EXPECT_EQ(parsed.sql, QStringLiteral("select ':x', \":y\" from t where a = ? and b=?"));
    EXPECT_EQ(parsed.params, (QStringList{QStringLiteral("A_1"), QStringLiteral("B")}));
}

TEST_F(DatasetTest, AnAreaThatEndsItselfCommitsWhenItsLastDatasetCloses)
{
    TransactionArea obl(database, QStringLiteral("IBTObl"), fb::TransactionOptions::snapshot(), true);
    Dataset a(obl, QStringLiteral("TOblast"));
    dm::useTable(a, QStringLiteral("OBLAST"));
    Dataset b(obl, QStringLiteral("TOblast2"));
    dm::useTable(b, QStringLiteral("OBLAST"));
    a.open();
    b.open();
    EXPECT_EQ(a.rowCount(), 28);
    a.close();
    EXPECT_TRUE(obl.isActive());
    b.close();
    EXPECT_FALSE(obl.isActive());

    // One that does not end itself keeps running.
    Dataset hora(area, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    hora.open();
    hora.close();
    EXPECT_TRUE(area.isActive());
}

TEST_F(DatasetTest, OpeningWithoutADatabaseGivesTheClientsError)
{
    Database missing(db.folder() + QStringLiteral("/NONE.FDB"));
    int afterConnect = 0;
    missing.setAfterConnect([&] { ++afterConnect; });
    TransactionArea tr(missing, QStringLiteral("IBTHora"));
    Dataset hora(tr, QStringLiteral("THora"));
    dm::useTable(hora, QStringLiteral("HORA"));
    QString expected;
    try {
        fb::Connection c;
        c.attach(missing.fileName());
    } catch (const fb::Error& e) {
        expected = e.message();
    }
    ASSERT_FALSE(expected.isEmpty());
    try {
        hora.open();
        FAIL() << "opened a missing database";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.message(), expected);
    }
    EXPECT_FALSE(hora.isOpen());
    EXPECT_EQ(afterConnect, 0);

    missing.setFileName(db.path());
    hora.open();
    EXPECT_EQ(afterConnect, 1);
}

}  // namespace
