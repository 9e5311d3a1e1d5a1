// The roles of a register's users, enforced by the database: each statement
// here is sent directly, as any client could send it, never through a screen.
// The embedded engine takes the user's name without a password, so the rights
// of each role are tried without a server.
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/plot_area_cache.h"
#include "schema/rent_due_cache.h"
#include "schema/roles.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

namespace {

using schema::roles::Role;

class RolesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fb::Connection owner;
        owner.attach(db.path());
        fb::Transaction tr(owner);
        for (Role role : {Role::Viewer, Role::Clerk, Role::Accountant})
            owner.executeImmediate(
                tr, QStringLiteral("grant \"%1\" to %2").arg(schema::roles::engineRole(role), userOf(role)));
        tr.commit();
    }

    static QString userOf(Role role) { return QStringLiteral("USER_%1").arg(int(role)); }

    // A connection of a user who holds `role` and works under it.
    std::unique_ptr<fb::Connection> desk(Role role)
    {
        auto c = std::make_unique<fb::Connection>(
            fb::ConnectionOptions{.user = userOf(role), .password = {}, .role = schema::roles::engineRole(role)});
        c->attach(db.path());
        return c;
    }

    // Runs the statement in a transaction of its own; the engine's refusal, if any.
    static QString refusal(fb::Connection& c, const QString& sql)
    {
        fb::Transaction tr(c);
        try {
            fb::execute(c, tr, sql);
            tr.commit();
            return {};
        } catch (const fb::Error& e) {
            tr.rollback();
            return e.message();
        }
    }

    testsupport::TestDatabase db;
};

TEST_F(RolesTest, AClerkKeepsTheRegistersButNotTheRulesNorTheTrail)
{
    auto clerk = desk(Role::Clerk);
    // An owner, a plot and his share: the triggers write the trail, the marks
    // and the sequences with rights of their own.
    EXPECT_EQ(refusal(*clerk, QStringLiteral("insert into hora (ime, egn) values ('Иван Петров', '7501011234')")),
              QString());
    EXPECT_EQ(refusal(*clerk, QStringLiteral("insert into zemq (imot_no, plosht) values ('100.1', 5.5)")), QString());
    EXPECT_EQ(refusal(*clerk, QStringLiteral("insert into sobstv (id_hora, id_zemq, redplosht) select "
                                             "(select max(id_hora) from hora), max(id_zemq), 5.5 from zemq")),
              QString());
    fb::Transaction tr(*clerk);
    EXPECT_GE(fb::fetchScalar(*clerk, tr, QStringLiteral("select count(*) from jurnal_prom")).toInt(), 3);
    tr.commit();

    for (const char* sql :
         {"insert into \"RENTA ZEML\" (id_zeml, razmer) values (1, 10)", "delete from jurnal_prom",
          "update jurnal_prom set potrebitel = 'никой'", "insert into jurnal_prom (tablica) values ('HORA')",
          "update firma set ein = '1'", "update arventa_schema set version = 1"})
        EXPECT_TRUE(refusal(*clerk, QString::fromUtf8(sql)).contains(QLatin1String("no permission"))) << sql;
    // Nothing of the register's structure either.
    EXPECT_FALSE(refusal(*clerk, QStringLiteral("alter trigger jp_hora inactive")).isEmpty());
}

TEST_F(RolesTest, AViewerChangesNothingButBringsTheKeptFiguresUpToDate)
{
    auto clerk = desk(Role::Clerk);
    ASSERT_EQ(refusal(*clerk, QStringLiteral("insert into hora (ime) values ('Мария')")), QString());
    auto viewer = desk(Role::Viewer);
    for (const char* sql : {"insert into hora (ime) values ('Гост')", "delete from hora", "update zemq set plosht = 0",
                            "insert into \"RAZP DANNI\" (id_hora, suma) values (1, 1)"})
        EXPECT_TRUE(refusal(*viewer, QString::fromUtf8(sql)).contains(QLatin1String("no permission"))) << sql;
    EXPECT_NO_THROW(schema::rent::bringUpToDate(*viewer));
    EXPECT_NO_THROW(schema::plots::bringUpToDate(*viewer));
    fb::Transaction tr(*viewer);
    EXPECT_EQ(fb::fetchScalar(*viewer, tr, QStringLiteral("select count(*) from hora")).toInt(), 1);
}

TEST_F(RolesTest, AnAccountantKeepsTheRulesButDeletesNothingOfTheTrail)
{
    auto accountant = desk(Role::Accountant);
    EXPECT_EQ(refusal(*accountant, QStringLiteral("insert into \"RENTA ZEML\" (id_zeml, razmer) values (1, 10)")),
              QString());
    EXPECT_EQ(refusal(*accountant, QStringLiteral("update firma set ein = '1'")), QString());
    EXPECT_FALSE(refusal(*accountant, QStringLiteral("delete from jurnal_prom")).isEmpty());
    fb::Transaction tr(*accountant);
    EXPECT_GT(fb::fetchScalar(*accountant, tr, QStringLiteral("select count(*) from jurnal_prom")).toInt(), 0);
}

TEST_F(RolesTest, GrantingAgainChangesNothingAndEachUserHasHisRoles)
{
    fb::Connection owner;
    owner.attach(db.path());
    fb::Transaction tr(owner);
    EXPECT_NO_THROW(schema::roles::grantRights(owner, tr));
    tr.commit();
    EXPECT_EQ(schema::roles::rolesOf(owner, tr, userOf(Role::Clerk)), std::vector<Role>{Role::Clerk});
    EXPECT_TRUE(schema::roles::rolesOf(owner, tr, QStringLiteral("NOBODY")).empty());
    // A role given to nobody here, or a role of another program, is nobody's.
    EXPECT_EQ(schema::roles::fromEngineRole(QStringLiteral("RDB$ADMIN")), Role::Administrator);
    EXPECT_FALSE(schema::roles::fromEngineRole(QStringLiteral("ДРУГА")).has_value());
}

}  // namespace
