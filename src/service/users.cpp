#include "service/users.h"

#include "common/list_statement.h"
#include "fb/connection.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QRegularExpression>

namespace users {

using schema::roles::Role;

namespace {

// A name that passed nameProblem: plain letters, digits and "_", so it
// stands in a statement as it is; the server keeps it in capitals.
QString login(const QString& name)
{
    return name.trimmed().toUpper();
}

// The grants that give `role` to `name` in the register; an administrator
// is also one of the server (he manages its users).
void grantRole(fb::Connection& c, fb::Transaction& tr, const QString& name, Role role)
{
    if (role == Role::Administrator)
        c.executeImmediate(tr, QStringLiteral("alter user %1 grant admin role").arg(name));
    c.executeImmediate(tr, QStringLiteral("grant \"%1\" to %2").arg(schema::roles::engineRole(role), name));
}

void revokeRoles(fb::Connection& c, fb::Transaction& tr, const QString& name)
{
    for (Role held : schema::roles::rolesOf(c, tr, name)) {
        c.executeImmediate(tr, QStringLiteral("revoke \"%1\" from %2").arg(schema::roles::engineRole(held), name));
        if (held == Role::Administrator)
            c.executeImmediate(tr, QStringLiteral("alter user %1 revoke admin role").arg(name));
    }
}

}  // namespace

std::vector<User> all(fb::Connection& connection)
{
    fb::Transaction tr(connection);
    std::vector<User> users;
    fb::Statement st(connection, QStringLiteral("select trim(sec$user_name) from sec$users order by 1"));
    st.open(tr);
    while (st.fetch())
        users.push_back({st.value(0).toString(), std::nullopt});
    st.close();
    for (User& user : users) {
        const std::vector<Role> held = schema::roles::rolesOf(connection, tr, user.name);
        if (user.name == kFirstAdministrator)
            user.role = Role::Administrator;
        else if (!held.empty())
            user.role = held.back();
    }
    tr.commit();
    return users;
}

std::optional<QString> nameProblem(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z][A-Za-z0-9_]{0,30}$"));
    if (!plain.match(name.trimmed()).hasMatch())
        return QStringLiteral(
            "Потребителското име трябва да започва с латинска буква и да съдържа само латински "
            "букви, цифри и \"_\" (до 31 знака).");
    return std::nullopt;
}

std::optional<QString> changeProblem(const QString& name, const QString& self)
{
    if (login(name) == kFirstAdministrator)
        return QStringLiteral("%1 е първият администратор на сървъра: той не се изтрива и ролята му не се променя.")
            .arg(kFirstAdministrator);
    if (login(name) == login(self))
        return QStringLiteral("Собственият си потребител не можете да изтриете, нито да смените ролята му.");
    return std::nullopt;
}

std::optional<QString> passwordProblem(const QString& password)
{
    if (password.size() < 8)
        return QStringLiteral("Паролата трябва да е поне 8 знака.");
    return std::nullopt;
}

void add(fb::Connection& connection, const QString& name, const QString& password, Role role)
{
    fb::Transaction tr(connection);
    connection.executeImmediate(
        tr, QStringLiteral("create user %1 password %2 using plugin Srp").arg(login(name), sqlLiteral(password)));
    grantRole(connection, tr, login(name), role);
    tr.commit();
}

void setRole(fb::Connection& connection, const QString& name, Role role)
{
    fb::Transaction tr(connection);
    revokeRoles(connection, tr, login(name));
    grantRole(connection, tr, login(name), role);
    tr.commit();
}

void setPassword(fb::Connection& connection, const QString& name, const QString& password)
{
    fb::Transaction tr(connection);
    connection.executeImmediate(
        tr, QStringLiteral("alter user %1 password %2 using plugin Srp").arg(login(name), sqlLiteral(password)));
    tr.commit();
}

void remove(fb::Connection& connection, const QString& name)
{
    fb::Transaction tr(connection);
    revokeRoles(connection, tr, login(name));
    connection.executeImmediate(tr, QStringLiteral("drop user %1 using plugin Srp").arg(login(name)));
    tr.commit();
}

}  // namespace users
