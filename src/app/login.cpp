#include "app/login.h"

#include "common/prompter.h"
#include "fb/connection.h"
#include "fb/error.h"

namespace {

constexpr long kLoginRefused = 335544472L;  // isc_login: "Your user name and password are not defined…"
constexpr int kTries = 3;

enum class Attempt { Admitted, Refused, OtherFailure };

Attempt attempt(const QString& database, const Login& login)
{
    try {
        fb::Connection probe({.user = login.user, .password = login.password});
        probe.attach(database);
        probe.detach();
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
    if (!scriptUser.isEmpty() && !scriptPassword.isEmpty() &&
        attempt(database, {scriptUser, scriptPassword}) != Attempt::Refused) {
        fb::setSessionLogin(scriptUser, scriptPassword);
        return true;
    }
    QString refusal;
    for (int tries = 0; tries < kTries; ++tries) {
        const std::optional<Login> login = ask(refusal);
        if (!login)
            return false;
        if (attempt(database, *login) != Attempt::Refused) {
            fb::setSessionLogin(login->user, login->password);
            return true;
        }
        refusal = kWrongLogin;
    }
    prompter.message(kNoLogin);
    return false;
}
