#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using fb::Connection;
using fb::Statement;
using fb::Transaction;
using fb::TransactionOptions;
using fb::Value;

namespace {

int countKultura(Connection& c, Transaction& tr, const QString& name)
{
    return fb::fetchScalar(c, tr, QStringLiteral("select count(*) from kultura where naim_kult = ?"), {name}).toInt();
}

}  // namespace

TEST(Transactions, UncommittedRowsStayInsideTheirTransaction)
{
    testsupport::TestDatabase db;
    Connection c;
    c.attach(db.path());
    Transaction writer(c);
    Transaction snapshot(c, TransactionOptions::snapshot());
    Transaction committed(c, TransactionOptions::readCommitted(false));

    snapshot.start();  // its view is fixed from here on
    fb::execute(c, writer, QStringLiteral("insert into kultura (naim_kult) values (?)"), {QStringLiteral("Овес")});
    EXPECT_EQ(countKultura(c, writer, QStringLiteral("Овес")), 1);
    EXPECT_EQ(countKultura(c, committed, QStringLiteral("Овес")), 0);
    EXPECT_EQ(countKultura(c, snapshot, QStringLiteral("Овес")), 0);

    writer.commit();
    EXPECT_FALSE(writer.isActive());
    EXPECT_EQ(countKultura(c, committed, QStringLiteral("Овес")), 1) << "read committed sees the commit at once";
    EXPECT_EQ(countKultura(c, snapshot, QStringLiteral("Овес")), 0) << "a snapshot keeps the view it started with";
    snapshot.commit();
    EXPECT_EQ(countKultura(c, snapshot, QStringLiteral("Овес")), 1) << "a new snapshot sees it";
}

TEST(Transactions, RunningTransactionIsCommittedAtDetachAndRolledBackWhenDestroyed)
{
    testsupport::TestDatabase db;
    Connection c;
    c.attach(db.path());
    {
        Transaction dropped(c);
        fb::execute(c, dropped, QStringLiteral("insert into kultura (naim_kult) values ('Лен')"));
    }
    Transaction kept(c);
    fb::execute(c, kept, QStringLiteral("insert into kultura (naim_kult) values ('Соя')"));
    Statement open(c, QStringLiteral("select naim_kult from kultura"));
    open.open(kept);
    ASSERT_TRUE(open.fetch());
    c.detach();
    EXPECT_FALSE(kept.isActive());
    EXPECT_FALSE(open.isOpen());

    c.attach(db.path());
    Transaction tr(c);
    EXPECT_EQ(countKultura(c, tr, QStringLiteral("Соя")), 1);
    EXPECT_EQ(countKultura(c, tr, QStringLiteral("Лен")), 0);
    // The statement made before the detach prepares itself again.
    open.open(tr);
    EXPECT_TRUE(open.fetch());
}

TEST(Statements, ParametersAndColumnsKeepTheirTypes)
{
    testsupport::TestDatabase db;
    Connection c;
    c.attach(db.path());
    Transaction tr(c);
    Statement st(c, QStringLiteral("select cast(? as integer), cast(? as bigint), cast(? as double precision), "
                                   "cast(? as decimal(15,2)), cast(? as date), cast(? as varchar(20)), "
                                   "cast(? as integer), cast(1.005 as decimal(15,2)), cast(12.125 as decimal(15,2)) "
                                   "from rdb$database"));
    st.bind(0, 42);
    st.bind(1, std::int64_t(9000000000LL));
    st.bind(2, 0.25);
    st.bind(3, fb::Decimal{-12345, 3});  // -12.345 rounds away from zero
    st.bind(4, QDate(2015, 9, 30));
    st.bind(5, QStringLiteral("Мирослава"));
    st.bind(6, Value());
    st.open(tr);
    ASSERT_TRUE(st.fetch());
    EXPECT_EQ(st.value(0).toInt(), 42);
    EXPECT_EQ(st.value(1).toInt64(), 9000000000LL);
    EXPECT_EQ(st.value(2).toDouble(), 0.25);
    ASSERT_EQ(st.value(3).type(), Value::Type::Decimal);
    EXPECT_EQ(st.value(3).toDecimal().units, -1235);
    EXPECT_EQ(st.value(3).toDecimal().scale, 2);
    EXPECT_EQ(st.value(4).toDate(), QDate(2015, 9, 30));
    EXPECT_EQ(st.value(5).toString(), QStringLiteral("Мирослава"));
    EXPECT_TRUE(st.value(6).isNull());
    EXPECT_EQ(st.value(7).toDecimal().toString(), QStringLiteral("1.01"));
    EXPECT_EQ(st.value(8).toDecimal().toString(), QStringLiteral("12.13"));
    EXPECT_EQ(st.column(5).charLength, 20);
    using fb::ColumnType;
    const std::vector<ColumnType> types{ColumnType::Integer, ColumnType::Integer, ColumnType::Float,
                                        ColumnType::Decimal, ColumnType::Date,    ColumnType::Text,
                                        ColumnType::Integer, ColumnType::Decimal, ColumnType::Decimal};
    for (int i = 0; i < st.columnCount(); ++i)
        EXPECT_EQ(st.column(i).type, types[size_t(i)]) << "column " << i;
    EXPECT_EQ(st.column(3).scale, 2);
    Statement more(c, QStringLiteral("select cast('12:30:00' as time), cast('2010-03-07 10:00:00' as timestamp), "
                                     "true, cast('x' as blob sub_type text), cast(7 as numeric(9,0)), "
                                     "cast(1.5 as float), cast(2 as smallint) from rdb$database"));
    more.open(tr);
    ASSERT_TRUE(more.fetch());
    const std::vector<ColumnType> moreTypes{ColumnType::Time,   ColumnType::Timestamp, ColumnType::Boolean,
                                            ColumnType::Text,   ColumnType::Decimal,   ColumnType::Float,
                                            ColumnType::Integer};
    for (int i = 0; i < more.columnCount(); ++i)
        EXPECT_EQ(more.column(i).type, moreTypes[size_t(i)]) << "column " << i;
    EXPECT_EQ(more.value(3).toString(), QStringLiteral("x"));
    ASSERT_EQ(more.value(4).type(), Value::Type::Decimal);  // exact even without decimals
    EXPECT_EQ(more.value(4), Value(7));
    more.close();
    EXPECT_FALSE(st.fetch());
    EXPECT_FALSE(st.isOpen());
}

TEST(Statements, TextIsHandedToTheDatabaseWhateverItsLength)
{
    testsupport::TestDatabase db;
    Connection c;
    c.attach(db.path());
    Transaction tr(c);
    // A number typed as text is converted by the database.
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select cast(? as integer) + 1 from rdb$database"),
                              {QStringLiteral("41")})
                  .toInt(),
              42);
    // A text longer than the column gets the database's own truncation error.
    try {
        fb::execute(c, tr, QStringLiteral("insert into kultura (naim_kult) values (?)"), {QString(31, QChar(u'Ж'))});
        FAIL() << "expected a truncation error";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("truncation"))) << e.what();
    }
}

TEST(Errors, CarryTheClientTextAndLeaveTheConnectionUsable)
{
    testsupport::TestDatabase db;
    Connection c;
    try {
        c.attach(QDir(db.folder()).absoluteFilePath(QStringLiteral("MISSING.FDB")));
        FAIL() << "attaching a missing file must fail";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("MISSING.FDB"))) << e.what();
        EXPECT_NE(e.code(), 0);
    }
    EXPECT_FALSE(c.isAttached());

    const QString junk = QDir(db.folder()).absoluteFilePath(QStringLiteral("JUNK.FDB"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(40000, 'x'));
    f.close();
    EXPECT_THROW(c.attach(junk), fb::Error);
    EXPECT_FALSE(c.isAttached());

    c.attach(db.path());
    Transaction tr(c);
    try {
        fb::execute(c, tr, QStringLiteral("select no_such_column from hora"));
        FAIL();
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("NO_SUCH_COLUMN"))) << e.what();
    }
    EXPECT_EQ(fb::fetchScalar(c, tr, QStringLiteral("select count(*) from oblast")).toInt(), 28);
}

TEST(Connections, BareFileNameIsFoundInTheCurrentFolder)
{
    testsupport::TestDatabase db;
    const QString before = QDir::currentPath();
    QDir::setCurrent(db.folder());
    Connection c;
    EXPECT_NO_THROW(c.attach(QStringLiteral("ARVENTA.FDB")));
    QDir::setCurrent(before);
    for (const char* server : {"server:/data/ARVENTA.FDB", "server/3051:/data/ARVENTA.FDB", "127.0.0.1/3051:arventa",
                               "inet://server/data/ARVENTA.FDB"})
        EXPECT_EQ(Connection::resolve(QString::fromLatin1(server)), QString::fromLatin1(server));
    // A drive letter is no host.
    EXPECT_TRUE(Connection::resolve(QStringLiteral("C:/data/ARVENTA.FDB")).endsWith("C:/data/ARVENTA.FDB"));
}
