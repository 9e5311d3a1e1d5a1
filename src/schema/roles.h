#pragma once

// Who may do what in a register kept on a server. Each user works under one
// role of the register, and the database itself refuses what his role may
// not do, whatever program he sends it from:
//   "Преглед"        reads (and so prints) everything, changes nothing of the
//                    register (the kept figures it brings up to date aside);
//   "Служител"       also keeps the registers (owners, land, plots, shares,
//                    contracts, their lists) and the payouts;
//   "Счетоводител"   also the rent rules, the category coefficients and the
//                    enterprise's data;
//   "Администратор"  everything (the backup and the year's closing of a
//                    server's register too: the engine backs a register up
//                    only for an administrator), and the server's users: the engine's own
//                    administrator role (RDB$ADMIN), without which a user
//                    cannot manage users, granted in the register and in the
//                    server's security database.
// Nobody changes a row of the trail of changes, and only an administrator
// deletes from it (its own triggers see to that). The embedded register of
// one desk has no logins: its user may do everything.
//
// The triggers and procedures of the register write what they write (the
// trail, the marks of changed rows, the sequences) with rights of their
// own, so that a role needs no right on those tables.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace fb {
class Connection;
class Transaction;
}  // namespace fb

namespace schema::roles {

// Weakest first: a role may do everything the ones before it may.
enum class Role { Viewer, Clerk, Accountant, Administrator };

// The role's name as users see it.
QString caption(Role role);
// The role of a caption; none for another text.
std::optional<Role> fromCaption(const QString& caption);
// The role as the engine names it, which a connection gives to work under it.
QString engineRole(Role role);
// The program's role of an engine's role; none for a role of nobody here.
std::optional<Role> fromEngineRole(const QString& name);
// Every role, weakest first.
const std::vector<Role>& all();

// The role this run works under: the one its login was given
// (fb::sessionRole); the embedded register's desk and the register's owner
// work under none and may do everything.
Role current();
// Whether this run may do what `needed` may.
inline bool mayDo(Role needed)
{
    return current() >= needed;
}

// The register's roles ("create role"), for a new register.
QStringList roleDdl();
// Makes the roles a register lacks (an older register's upgrade).
void ensureRoles(fb::Connection& connection, fb::Transaction& tr);
// Grants each role its rights on every table and sequence, and every
// trigger, procedure and function the rights on what it uses. Granting
// again what is granted changes nothing, so it runs after every change of
// the register's structure. Committed by the caller.
void grantRights(fb::Connection& connection, fb::Transaction& tr);

// The roles `user` holds in the register the connection is on, as the
// program knows them (the engine's administrator included).
std::vector<Role> rolesOf(fb::Connection& connection, fb::Transaction& tr, const QString& user);

}  // namespace schema::roles
