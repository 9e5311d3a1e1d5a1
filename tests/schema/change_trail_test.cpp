// The trail of changes written by the database's triggers: one row per row
// changed with the action, key, owner, user and values; nothing for a change
// rolled back or a correction that changes nothing; rows nobody changes.
#include "schema/change_trail.h"

#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/schema.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

class ChangeTrail : public ::testing::Test {
protected:
    void SetUp() override { c.attach(db.path()); }

    // The trail's rows after `afterId` as "TABLE|ACTION|KEY|OWNER|USER|OLD|NEW", oldest first.
    QStringList trail(qint64 afterId = 0)
    {
        fb::Transaction tr(c);
        fb::Statement st(c, QStringLiteral("select tablica, deistvie, kluch, id_hora, potrebitel, stari, novi "
                                           "from jurnal_prom where jp_id > ? order by jp_id"));
        st.bind(0, fb::Value(static_cast<std::int64_t>(afterId)));
        QStringList rows;
        for (const auto& row : fb::fetchAll(st, tr)) {
            QStringList fields;
            for (const fb::Value& v : row)
                fields << (v.isNull() ? QStringLiteral("-") : v.toString());
            rows << fields.join(QLatin1Char('|'));
        }
        return rows;
    }
    qint64 lastId()
    {
        fb::Transaction tr(c);
        return fb::fetchScalar(c, tr, QStringLiteral("select coalesce(max(jp_id), 0) from jurnal_prom")).toInt64();
    }
    void run(const QString& sql)
    {
        fb::Transaction tr(c);
        fb::execute(c, tr, sql);
        tr.commit();
    }

    testsupport::TestDatabase db;
    fb::Connection c;
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", QDir::home().dirName()));
};

TEST_F(ChangeTrail, EachChangeWritesOneRowWithItsValuesAndTheSystemUser)
{
    run(QStringLiteral("insert into hora (id_hora, ime, egn) values (501, 'Иван Петров', '7501010000')"));
    run(QStringLiteral("update hora set ime = 'Иван П. Петров', tel = '0888' where id_hora = 501"));
    run(QStringLiteral("update hora set ime = ime where id_hora = 501"));  // nothing changes: no row
    run(QStringLiteral("insert into zemq (id_zemq, imot_no, plosht, nzdata) values (77, '12.34', 1.5, '2024-03-05')"));
    run(QStringLiteral("insert into sobstv (id_hora, id_zemq, redplosht, chast) values (501, 77, 0.75, '1/2')"));
    run(QStringLiteral("update zemq set plosht = 10 where id_zemq = 77"));
    run(QStringLiteral("delete from sobstv where id_hora = 501"));
    EXPECT_EQ(trail(), (QStringList{
                           QStringLiteral("HORA|Добавяне|ID_HORA=501|501|%1|-|ID_HORA=501; EGN=7501010000; IME=Иван "
                                          "Петров;")
                               .arg(user),
                           QStringLiteral("HORA|Корекция|ID_HORA=501|501|%1|IME=Иван Петров; TEL=;|IME=Иван П. "
                                          "Петров; TEL=0888;")
                               .arg(user),
                           QStringLiteral("ZEMQ|Добавяне|ID_ZEMQ=77|-|%1|-|ID_ZEMQ=77; IMOT_NO=12.34; PLOSHT=1,5; "
                                          "NZDATA=05.03.2024;")
                               .arg(user),
                           QStringLiteral("SOBSTV|Добавяне|ID_HORA=501, ID_ZEMQ=77|501|%1|-|ID_HORA=501; ID_ZEMQ=77; "
                                          "REDPLOSHT=0,75; CHAST=1/2;")
                               .arg(user),
                           QStringLiteral("ZEMQ|Корекция|ID_ZEMQ=77|-|%1|PLOSHT=1,5;|PLOSHT=10;").arg(user),
                           QStringLiteral("SOBSTV|Изтриване|ID_HORA=501, ID_ZEMQ=77|501|%1|ID_HORA=501; ID_ZEMQ=77; "
                                          "REDPLOSHT=0,75; CHAST=1/2;|-")
                               .arg(user),
                       }));
}

// A receipt's lines name the receipt's owner; contracts and their lines,
// rules and their lines, cash payments and the past years' rest are
// trailed too; a change rolled back leaves nothing behind.
TEST_F(ChangeTrail, EveryWorkingTableIsTrailedAndARolledBackChangeLeavesNothing)
{
    run(QStringLiteral("insert into hora (id_hora, ime) values (601, 'Мария')"));
    const qint64 start = lastId();
    run(QStringLiteral("insert into \"DOG DANNI\" (id_dog, nomer) values (31, 'Д-31')"));
    run(QStringLiteral("insert into doghorazemi (id_dhz, id_dog, id_sobstv, redplosht) values (41, 31, 601, 2)"));
    run(QStringLiteral("insert into \"RENTA ZEML\" (id_rz, razmer) values (51, 30)"));
    run(QStringLiteral("insert into vidrentakol (id_vrk, id_rz, kol) values (61, 51, 2.5)"));
    run(QStringLiteral("insert into \"RAZP DANNI\" (id_rd, id_hora, nom, suma) values (71, 601, 9, 12.3)"));
    run(QStringLiteral("insert into \"RAZP RENTA\" (id_rr, id_rd, kol) values (81, 71, 100)"));
    run(QStringLiteral("insert into razp_pari (id_razppari, id_hora, suma) values (91, 601, 5)"));
    run(QStringLiteral("insert into onr (id_onr, id_hora, suma) values (95, 601, 7)"));
    const QStringList rows = trail(start);
    QStringList tablesAndOwners;
    for (const QString& row : rows)
        tablesAndOwners << row.section(QLatin1Char('|'), 0, 0) + QLatin1Char(':') + row.section(QLatin1Char('|'), 3, 3);
    EXPECT_EQ(tablesAndOwners, (QStringList{"DOG DANNI:-", "DOGHORAZEMI:601", "RENTA ZEML:-", "VIDRENTAKOL:-",
                                            "RAZP DANNI:601", "RAZP RENTA:601", "RAZP_PARI:601", "ONR:601"}));
    EXPECT_EQ(schema::trail::trailedTables().size(), 11);

    const qint64 before = lastId();
    {
        fb::Transaction tr(c);
        fb::execute(c, tr, QStringLiteral("update razp_pari set suma = 6 where id_razppari = 91"));
        fb::execute(c, tr, QStringLiteral("delete from \"RAZP RENTA\""));
        tr.rollback();
    }
    EXPECT_EQ(trail(before), QStringList());
}

// A system user's name with letters the register's code page lacks is
// recorded and never makes the change fail.
TEST_F(ChangeTrail, AnyUsersNameIsRecordedWhole)
{
    fb::Transaction tr(c);
    fb::execute(c, tr,
                QStringLiteral("execute block (u varchar(63) character set utf8 = ?) as declare r integer; begin "
                               "r = rdb$set_context('USER_SESSION', 'ARVENTA_USER', :u); end"),
                {QStringLiteral("josé 😀 иван")});
    fb::execute(c, tr, QStringLiteral("insert into hora (id_hora, ime) values (801, 'Гергана')"));
    tr.commit();
    // The engine keeps letters beyond the basic plane only approximately.
    const QString user = trail().value(0).section(QLatin1Char('|'), 4, 4);
    EXPECT_TRUE(user.startsWith(QStringLiteral("josé ")) && user.endsWith(QStringLiteral(" иван")))
        << user.toStdString();
}

// Nobody corrects a row of the trail; the administrator (the only user of
// the embedded register) may delete rows.
TEST_F(ChangeTrail, TheTrailsRowsAreNeverCorrected)
{
    run(QStringLiteral("insert into hora (id_hora, ime) values (701, 'Петър')"));
    try {
        run(QStringLiteral("update jurnal_prom set potrebitel = 'друг'"));
        FAIL() << "a row of the trail was corrected";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("не се променят"))) << e.message().toStdString();
    }
    EXPECT_EQ(trail().size(), 1);
    run(QStringLiteral("delete from jurnal_prom"));
    EXPECT_EQ(trail().size(), 0);
}

// Large and small numbers keep their digits; a number too large for the
// short form is still written, never refusing the change it records.
TEST_F(ChangeTrail, NumbersAndDatesReadAsTheClerkWritesThem)
{
    fb::Transaction tr(c);
    const auto text = [&](const char* expression) {
        return fb::fetchScalar(c, tr, QStringLiteral("select %1 from rdb$database").arg(QLatin1String(expression)))
            .toString();
    };
    EXPECT_EQ(text("jp_chislo(0)"), QStringLiteral("0"));
    EXPECT_EQ(text("jp_chislo(100)"), QStringLiteral("100"));
    EXPECT_EQ(text("jp_chislo(-0.125)"), QStringLiteral("-0,125"));
    EXPECT_EQ(text("jp_chislo(1234.5678)"), QStringLiteral("1234,5678"));
    EXPECT_FALSE(text("jp_chislo(1e300)").isEmpty());
    EXPECT_EQ(text("jp_data(date '2026-02-01')"), QStringLiteral("01.02.2026"));
    fb::execute(c, tr, QStringLiteral("insert into zemq (id_zemq, plosht) values (88, 1e300)"));
    tr.commit();
}

}  // namespace
