#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class TDM;
namespace fb {
class Connection;
}

// The archive of a register kept on a Firebird server. Its file is the
// server's and cannot be copied from here; the server's engine backs it up
// instead, while the desks go on working, and the backup travels to this
// machine. Restored here by the embedded engine it becomes a database file
// like any other archive's, which the program opens and checks.
namespace service {

// The name of the engine's backup file in a backup folder.
inline const QString kBackupFile = QStringLiteral("ARVENTA.FBK");

// Whether the data module's register is on a server.
bool onServer(TDM& dm);

// Backs the server register `database` up into `folder` + "/ARVENTA.FBK",
// restores that into `folder` + "/ARVENTA.FDB" and checks that the restore
// opens as a register of this program. The backup file is removed again
// unless `keepBackupFile`. Empty when all went well, else the reason, with
// the client's text; whatever of the two files was written is gone then.
std::optional<QString> archiveFromServer(const QString& database, const QString& folder, bool keepBackupFile);

// The other desks attached to the register of `connection`, one line each:
// the user, the address he works from and his program. The engine shows
// every desk only to its administrator; anyone else sees his own.
QStringList otherDesks(fb::Connection& connection);

}  // namespace service
