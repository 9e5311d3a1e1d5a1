#pragma once

// The users of a register kept on a server, as its administrator keeps
// them: each has a login of the server's own and one role in the register
// (schema/roles.h). The connection must work under the engine's
// administrator role: no other may change users. Every step is one
// transaction, committed or rolled back whole; a refusal of the server comes
// back as fb::Error.

#include "schema/roles.h"

#include <QString>

#include <optional>
#include <vector>

namespace fb {
class Connection;
}

namespace users {

// The first administrator of every server, made when the server is set up:
// never removed, never given another role.
inline const QString kFirstAdministrator = QStringLiteral("SYSDBA");

struct User {
    QString name;
    std::optional<schema::roles::Role> role;  // none: he may not open the register
};

// Every user of the server, by name, with his strongest role here.
std::vector<User> all(fb::Connection& connection);

// What is wrong with a new user's name (Latin letters, digits and "_",
// starting with a letter, at most 31), or with a password (at least 8
// characters); nothing when it will do. Said to the user as they stand.
std::optional<QString> nameProblem(const QString& name);
std::optional<QString> passwordProblem(const QString& password);
// Why `self` may not remove `name` or change his role: the server's first
// administrator, and one's own user (an administrator who took his own
// role away would leave nobody to give it back).
std::optional<QString> changeProblem(const QString& name, const QString& self);

void add(fb::Connection& connection, const QString& name, const QString& password, schema::roles::Role role);
void setRole(fb::Connection& connection, const QString& name, schema::roles::Role role);
void setPassword(fb::Connection& connection, const QString& name, const QString& password);
void remove(fb::Connection& connection, const QString& name);

}  // namespace users
