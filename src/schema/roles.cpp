#include "schema/roles.h"

#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <algorithm>

namespace schema::roles {

namespace {

const QString kAdministratorRole = QStringLiteral("RDB$ADMIN");

// What only an accountant changes: the rules the rent is reckoned by and
// the enterprise's own data.
const QStringList kRules = {
    QStringLiteral("FIRMA"),      QStringLiteral("VID_RENTA"),   QStringLiteral("RENTAKULT"),
    QStringLiteral("RENTA ZEML"), QStringLiteral("VIDRENTAKOL"), QStringLiteral("CATEGORY_COEFFICIENT"),
};
// The kept figures and the marks of what changed: figures reckoned from the
// register, which whoever reads brings up to date.
const QStringList kKeptFigures = {
    QStringLiteral("NACH_RENTA"),         QStringLiteral("NACH_RENTA_DOG"),     QStringLiteral("NACH_RENTA_PROM"),
    QStringLiteral("NACH_RENTA_PROM_TR"), QStringLiteral("NACH_RENTA_NR"),      QStringLiteral("ZEMQ_DOGPL"),
    QStringLiteral("ZEMQ_DOGPL_PROM"),    QStringLiteral("ZEMQ_DOGPL_PROM_TR"), QStringLiteral("ZEMQ_DOGPL_MEST"),
};
// Written by the register's own triggers and upgrades only.
const QStringList kReadOnly = {QStringLiteral("JURNAL_PROM"), QStringLiteral("ARVENTA_SCHEMA")};

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QStringList names(fb::Connection& connection, fb::Transaction& tr, const QString& sql)
{
    QStringList out;
    fb::Statement st(connection, sql);
    st.open(tr);
    while (st.fetch())
        out << st.value(0).toString().trimmed();
    st.close();
    return out;
}

// The rights of the three roles made for the register on one table.
void grantOnTable(fb::Connection& connection, fb::Transaction& tr, const QString& table)
{
    const QString viewer = quoted(engineRole(Role::Viewer)), clerk = quoted(engineRole(Role::Clerk)),
                  accountant = quoted(engineRole(Role::Accountant));
    const auto grant = [&](const QString& rights, const QString& to) {
        connection.executeImmediate(tr, QStringLiteral("grant %1 on %2 to %3").arg(rights, quoted(table), to));
    };
    for (const QString& role : {viewer, clerk, accountant})
        grant(QStringLiteral("select"), role);
    if (kReadOnly.contains(table))
        return;
    const QString change = QStringLiteral("insert, update, delete");
    grant(change, accountant);
    if (!kRules.contains(table))
        grant(change, clerk);
    if (kKeptFigures.contains(table))
        grant(change, viewer);
}

// Every trigger, procedure and function gets the rights on what it uses,
// as the engine's own record of dependencies lists it.
void grantToModules(fb::Connection& connection, fb::Transaction& tr)
{
    fb::Statement st(connection, QStringLiteral("select distinct trim(d.rdb$dependent_name), d.rdb$dependent_type,"
                                                " trim(d.rdb$depended_on_name), d.rdb$depended_on_type"
                                                " from rdb$dependencies d"
                                                " where d.rdb$dependent_type in (2, 5, 15)"
                                                " and d.rdb$depended_on_type in (0, 5, 7, 14, 15)"
                                                " and d.rdb$dependent_name not starting with 'RDB$'"
                                                " and d.rdb$depended_on_name not starting with 'RDB$'"));
    QStringList grants;
    st.open(tr);
    while (st.fetch()) {
        const QString module = st.value(0).toString(), used = st.value(2).toString();
        const int moduleKind = st.value(1).toInt(), usedKind = st.value(3).toInt();
        const QString to = (moduleKind == 2   ? QStringLiteral("trigger ")
                            : moduleKind == 5 ? QStringLiteral("procedure ")
                                              : QStringLiteral("function ")) +
                           quoted(module);
        QString what;
        switch (usedKind) {
            case 0:
                what = QStringLiteral("all on ") + quoted(used);
                break;
            case 5:
                what = QStringLiteral("execute on procedure ") + quoted(used);
                break;
            case 15:
                what = QStringLiteral("execute on function ") + quoted(used);
                break;
            case 14:
                what = QStringLiteral("usage on sequence ") + quoted(used);
                break;
            default:
                what = QStringLiteral("usage on exception ") + quoted(used);
                break;
        }
        grants << QStringLiteral("grant %1 to %2").arg(what, to);
    }
    st.close();
    for (const QString& grant : grants)
        connection.executeImmediate(tr, grant);
}

}  // namespace

QString caption(Role role)
{
    switch (role) {
        case Role::Viewer:
            return QStringLiteral("Преглед");
        case Role::Clerk:
            return QStringLiteral("Служител");
        case Role::Accountant:
            return QStringLiteral("Счетоводител");
        case Role::Administrator:
            return QStringLiteral("Администратор");
    }
    return {};
}

std::optional<Role> fromCaption(const QString& text)
{
    for (Role role : all())
        if (caption(role) == text.trimmed())
            return role;
    return std::nullopt;
}

QString engineRole(Role role)
{
    return role == Role::Administrator ? kAdministratorRole : caption(role);
}

std::optional<Role> fromEngineRole(const QString& name)
{
    for (Role role : all())
        if (engineRole(role) == name.trimmed())
            return role;
    return std::nullopt;
}

const std::vector<Role>& all()
{
    static const std::vector<Role> roles = {Role::Viewer, Role::Clerk, Role::Accountant, Role::Administrator};
    return roles;
}

Role current()
{
    const QString role = fb::sessionRole();
    if (role.isEmpty())
        return Role::Administrator;
    return fromEngineRole(role).value_or(Role::Viewer);
}

QStringList roleDdl()
{
    QStringList ddl;
    for (Role role : {Role::Viewer, Role::Clerk, Role::Accountant})
        ddl << QStringLiteral("create role ") + quoted(engineRole(role));
    return ddl;
}

void ensureRoles(fb::Connection& connection, fb::Transaction& tr)
{
    const QStringList have = names(connection, tr, QStringLiteral("select rdb$role_name from rdb$roles"));
    for (Role role : {Role::Viewer, Role::Clerk, Role::Accountant})
        if (!have.contains(engineRole(role)))
            connection.executeImmediate(tr, QStringLiteral("create role ") + quoted(engineRole(role)));
}

void grantRights(fb::Connection& connection, fb::Transaction& tr)
{
    const QStringList tables =
        names(connection, tr,
              QStringLiteral("select rdb$relation_name from rdb$relations"
                             " where coalesce(rdb$system_flag, 0) = 0 and rdb$view_blr is null"));
    for (const QString& table : tables)
        grantOnTable(connection, tr, table);
    // The kept figures read the sequences' values to see how far the register has grown.
    const QStringList sequences =
        names(connection, tr,
              QStringLiteral("select rdb$generator_name from rdb$generators where coalesce(rdb$system_flag, 0) = 0"));
    for (const QString& sequence : sequences)
        for (Role role : {Role::Viewer, Role::Clerk, Role::Accountant})
            connection.executeImmediate(
                tr, QStringLiteral("grant usage on sequence %1 to %2").arg(quoted(sequence), quoted(engineRole(role))));
    grantToModules(connection, tr);
}

std::vector<Role> rolesOf(fb::Connection& connection, fb::Transaction& tr, const QString& user)
{
    std::vector<Role> held;
    fb::Statement st(connection, QStringLiteral("select trim(rdb$relation_name) from rdb$user_privileges"
                                                " where rdb$user = ? and rdb$privilege = 'M' and rdb$user_type = 8"));
    st.bind(0, user.toUpper());
    st.open(tr);
    while (st.fetch())
        if (const std::optional<Role> role = fromEngineRole(st.value(0).toString()))
            held.push_back(*role);
    st.close();
    std::sort(held.begin(), held.end());
    return held;
}

}  // namespace schema::roles
