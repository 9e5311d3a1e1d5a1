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
};

}  // namespace testsupport
