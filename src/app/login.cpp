#include "app/login.h"

#include "common/prompter.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/transaction.h"
#include "schema/roles.h"

namespace {

constexpr long kLoginRefused = 335544472L;  // isc_login: "Your user name and password are not defined…"
constexpr int kTries = 3;

enum class Attempt { Admitted, Refused, NoRole, OtherFailure };

// The strongest role the user holds in the register; the register's owner
// (SYSDBA) needs none, being its owner. Empty when he holds none.
std::optional<QString> workingRole(fb::Connection& probe, const QString& user)
{
    using namespace schema::roles;
    if (user.compare(QLatin1String("SYSDBA"), Qt::CaseInsensitive) == 0)
        return QString();
    fb::Transaction tr(probe);
    const std::vector<Role> held = rolesOf(probe, tr, user);
    tr.commit();
    if (held.empty())
        return std::nullopt;
    return engineRole(held.back());
}

// Tries the login; when admitted, `role` is the role to work under.
Attempt attempt(const QString& database, const Login& login, QString& role)
{
    try {
        fb::Connection probe({.user = login.user, .password = login.password, .role = {}});
        probe.attach(database);
        const std::optional<QString> working = workingRole(probe, login.user);
        probe.detach();
        if (!working)
            return Attempt::NoRole;
        role = *working;
        return Attempt::Admitted;
    } catch (const fb::Error& e) {
        return e.has(kLoginRefused) ? Attempt::Refused : Attempt::OtherFailure;
    }
}

}  // namespace

bool logIn(const QString& database, Prompter& prompter, const LoginAsker& ask)
{
    if (!fb::Connection::isServerName(database))
        return true;
    const QString scriptUser = qEnvironmentVariable("ISC_USER"), scriptPassword = qEnvironmentVariable("ISC_PASSWORD");
    QString role;
    if (!scriptUser.isEmpty() && !scriptPassword.isEmpty()) {
        const Attempt a = attempt(database, {scriptUser, scriptPassword}, role);
        if (a == Attempt::Admitted || a == Attempt::OtherFailure) {
            fb::setSessionLogin(scriptUser, scriptPassword, role);
            return true;
        }
    }
    QString refusal;
    for (int tries = 0; tries < kTries; ++tries) {
        const std::optional<Login> login = ask(refusal);
        if (!login)
            return false;
        const Attempt a = attempt(database, *login, role);
        if (a == Attempt::Admitted || a == Attempt::OtherFailure) {
            fb::setSessionLogin(login->user, login->password, role);
            return true;
        }
        refusal = a == Attempt::NoRole ? kNoRole.arg(login->user) : kWrongLogin;
    }
    prompter.message(kNoLogin);
    return false;
}
