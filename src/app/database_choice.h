#pragma once

#include <QString>
#include <QStringList>

// Which database the program opens. By default the register is ARVENTA.FDB
// by bare name in the working folder, opened by the embedded engine. An
// office that keeps its register on a Firebird server names it instead,
// as "host:path", "host/port:path" or "host/port:alias", on the command line
// (--database NAME or --database=NAME) or in the environment variable
// ARVENTA_DATABASE; the command line wins.
namespace database_choice {

inline const QString kDefault = QStringLiteral("ARVENTA.FDB");
inline constexpr const char* kVariable = "ARVENTA_DATABASE";

struct Choice {
    QString database;
    // Why the command line cannot be followed (a --database without a
    // name); empty when it can.
    QString problem;
};

// `arguments` as the program got them (the program's own path first);
// `variable` is the environment variable's value, empty when unset.
Choice choose(const QStringList& arguments, const QString& variable);

// Whether the program works on another database than ARVENTA.FDB of its
// folder, which the main window then names.
bool isDefault(const QString& database);

}  // namespace database_choice
