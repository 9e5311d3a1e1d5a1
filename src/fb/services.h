#pragma once

#include "fb/connection.h"

#include <QString>

#include <vector>

namespace Firebird {
class IService;
}

namespace fb {

// The engine's own services (its service manager): a backup made by the
// server while desks go on working, and a restore of such a backup into a
// new database. A register on a server cannot be copied as a file, so these
// are how its backup and its year's archive are made.
//
// The backup and the restore travel through the service's stdout and stdin:
// the backup file is written and read here, on this machine, never on the
// server's disk. The same works on a local file, through the embedded
// engine's own service manager.
class ServiceManager {
public:
    // Attaches to the service manager of the engine that holds `database`
    // (a server's for "host[/port]:path", the embedded engine's for a file),
    // with the given login and role (the session's by default): the backup
    // reads the register with the rights of the role.
    explicit ServiceManager(const QString& database, const QString& user = sessionUser(),
                            const QString& password = sessionPassword(), const QString& role = sessionRole());
    ~ServiceManager();
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;

    // Backs up the database into `file` on this machine, replacing a file of
    // that name. The backup is one snapshot of the database: what other
    // desks commit while it runs is not in it. A backup that fails leaves
    // no file behind.
    void backup(const QString& file);
    // Restores a backup `file` of this machine into the new database
    // `database` (a path on the same engine); the database must not exist.
    void restore(const QString& file, const QString& database);

    // The path of a database as its engine sees it: "host/port:/x/a.fdb"
    // gives "/x/a.fdb"; a local file gives its absolute path.
    static QString pathOnEngine(const QString& database);
    // The service manager of the engine that holds `database`.
    static QString managerOf(const QString& database);

private:
    // Reads the running service's output until it ends, feeding it `input`
    // when it asks for stdin; what the output holds goes to `output`.
    template <typename In, typename Out>
    void pump(In&& input, Out&& output);
    void detach();

    QString database_;
    Firebird::IService* service_ = nullptr;
};

// Who else is attached to the database `connection` is on, as the engine's
// monitoring tables list them; the engine's own system attachments and
// this connection are left out.
struct Attachment {
    QString user;
    QString address;  // the desk's network address; empty for a local attachment
    QString process;  // the client program's file, when the client sent it
};
std::vector<Attachment> otherAttachments(Connection& connection);

}  // namespace fb
