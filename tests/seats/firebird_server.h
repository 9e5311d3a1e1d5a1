#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A Firebird server of the test's own, made by scripts/server.sh's pieces
// (prepare, then run as our child) in a temporary folder on a free port of
// this machine. It ends with the object, or with the test program should
// that die first.
class FirebirdServer {
public:
    FirebirdServer();
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    // Empty when the server listens; else why it does not.
    const QString& problem() const { return problem_; }
    // Whether the server package is on this machine at all.
    static bool installed();

    // Ends the server (as a restart of the server's machine does to the
    // desks' connections) and starts it again on the same port and folder.
    // False, with problem() saying why, when it does not come back.
    bool restart();
    // The two halves of a restart: the server ends (its desks' connections
    // with it), and starts again; start() is false, with problem() saying
    // why, when it does not listen.
    void stop();
    bool start();

    // The administrator's (SYSDBA) password, made up for this server.
    const QString& password() const { return password_; }
    // The folder the server works in (its configuration, its databases).
    QString folder() const { return dir_.path(); }

    // A fresh copy of the test template in the server's folder, by the name
    // desks open it with ("127.0.0.1/PORT:/…/name.fdb").
    QString copyTemplate(const QString& name) const;

private:
    bool prepare();
    bool waitUntilListening();

    QTemporaryDir dir_;
    int port_ = 0;
    QProcess server_;
    QString problem_;
    QString password_;
};

}  // namespace testsupport
