#pragma once

#include <QString>

#include <functional>
#include <optional>

class Prompter;

// Who is at the desk. A register on a Firebird server is opened by a user
// of the server's own, with his password; the program holds none. The
// embedded register of the folder asks nothing (one desk).
struct Login {
    QString user, password;
};

// Asks the user for his login; `refusal` is said above the fields (empty on
// the first try). Nothing when he gave up ("Отказ", Esc).
using LoginAsker = std::function<std::optional<Login>(const QString& refusal)>;

inline const QString kWrongLogin = QStringLiteral("Невалидно потребителско име или парола.");
inline const QString kNoRole =
    QStringLiteral("Потребителят %1 няма роля в този регистър. Администраторът на регистъра трябва да му даде роля.");
inline const QString kNoLogin =
    QStringLiteral("Три неуспешни опита за вход в регистъра. Програмата ще бъде затворена.");

// Logs in to `database` when it is on a server: a refused login is said and
// asked again, three refusals end it (kNoLogin said). The login that worked
// is the session's: every connection of the program attaches with it,
// under the strongest role the user holds in the register (a user who
// holds none is refused, kNoRole, as a wrong login is). The
// client's ISC_USER and ISC_PASSWORD, when both are set, are tried first
// (scripts that start the program). False when the program must end: the
// user gave up or was refused three times. Any other failure to attach
// (no server there) is left to the database check that follows.
bool logIn(const QString& database, Prompter& prompter, const LoginAsker& ask);
