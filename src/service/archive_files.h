#pragma once

#include "fb/connection.h"
#include "fb/error.h"

#include <QString>
#include <QStringList>

#include <optional>

class TDM;

// The file and folder work of the service screens (backup, year closing):
// folders made and removed, the database file copied while no connection
// holds it, the report layouts copied beside it. Paths are native or Qt
// paths alike; nothing here asks the user anything.
namespace service {

// What a user is told first when the connection, closed for a copy or a
// change of file, could not be opened again.
inline const QString kNotReconnected = QStringLiteral("Връзката с базата данни не е възстановена.");

// The report layout files a year is printed with, in the order they are copied.
const QStringList& layoutFiles();

// Makes the folder with any missing parents; true when it is there afterwards.
bool makeFolder(const QString& path);
// Deletes the folder with all it holds, for good; false when it was not
// there or not everything could go.
bool removeFolder(const QString& path);

// Copies a database file, replacing a file of the target's name, and checks
// the copy: as long as its source, which kept its size while it was read,
// and opened by the engine as a database. A copy that fails the check is
// removed. Empty when all went well, else the reason.
//
// The source must not be attached while it is copied: see releaseDatabase.
std::optional<QString> copyDatabase(const QString& source, const QString& target);

// Copies those of the layout files that are in `from` into `to`, replacing
// files of the same name; a layout missing from `from` is skipped. The
// names that were there but could not be copied.
QStringList copyLayouts(const QString& from, const QString& to);

// The file the data module's connection opens, as a full path: a bare name
// is taken to be in `dataFolder` (the current folder when it connected).
// A register on a server is named as the desks open it.
QString databaseFilePath(TDM& dm, const QString& dataFolder);

// Closes the data module's connection so that the engine lets go of the
// file: every open transaction is committed and the only attachment is
// detached. The engine of this process then closes the file within that
// detach (no linger is set on the program's databases), so what is on disk
// is the whole database when the call returns.
void releaseDatabase(TDM& dm);
// Connects again; the after-connect step opens every shared cursor. Empty
// when it worked, else the client's error.
std::optional<fb::Error> reconnect(TDM& dm);

// Why a database must not be opened by the program, asked before anything
// of it is written: it does not open (the client's error), it is not a
// register of this program (its own tables are missing; detail names
// them), or it is a register of a newer program (detail is its version).
struct RegisterFault {
    enum class Kind { DoesNotOpen, Foreign, Newer };
    Kind kind;
    QString detail;
    std::optional<fb::Error> error;  // the client's, when it does not open
};
// Empty when the program may open the database (an older register is
// upgraded when the data module connects, after this check). `probe` is
// left attached then: while it holds the database the engine keeps it open,
// so that the data module's connection finds it open rather than opening
// the file a second time; the caller lets it go once that one is attached.
std::optional<RegisterFault> registerFault(fb::Connection& probe, const QString& database);
// How a newer register's version is told, `version` being a Newer fault's
// detail: "(версия на данните 9, а тази програма познава до версия 8)".
QString newerVersions(const QString& version);

}  // namespace service
