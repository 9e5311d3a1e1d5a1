#include "firebird_server.h"

#include "fb/connection.h"
#include "support/test_db.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

const QString kScript = QStringLiteral(ARVENTA_SOURCE_DIR "/scripts/server.sh");

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

// A port nobody listens on now: the one the system gives a socket bound to 0.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t size = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

bool accepts(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(port);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

}  // namespace

bool FirebirdServer::installed()
{
    return QFileInfo(QStringLiteral("/usr/sbin/firebird")).isExecutable();
}

FirebirdServer::FirebirdServer()
{
    if (!installed()) {
        problem_ = QStringLiteral(
            "the Firebird server is not installed (package firebird3.0-server: "
            "scripts/server.sh install)");
        return;
    }
    port_ = freePort();
    if (prepare())
        start();
}

bool FirebirdServer::start()
{
    server_.setProgram(kScript);
    server_.setArguments({QStringLiteral("run"), dir_.path()});
    server_.setProcessChannelMode(QProcess::MergedChannels);
    // The server goes with the test program, however that ends.
    server_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    server_.start();
    if (!server_.waitForStarted(10000)) {
        problem_ = QStringLiteral("%1 run did not start: %2").arg(kScript, server_.errorString());
        return false;
    }
    return waitUntilListening();
}

bool FirebirdServer::restart()
{
    stop();
    return start();
}

// The administrator's password is made up for the server and given to the
// script in a file; this process's connections then log in with it.
bool FirebirdServer::prepare()
{
    password_ = QStringLiteral("pw-%1").arg(QRandomGenerator::global()->generate64(), 0, 36);
    const QString passwordFile = QDir(dir_.path()).filePath(QStringLiteral("admin-password"));
    QFile file(passwordFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(password_.toUtf8() + '\n') < 0) {
        problem_ = QStringLiteral("the password file cannot be written: %1").arg(file.errorString());
        return false;
    }
    file.close();
    fb::setSessionLogin(QStringLiteral("SYSDBA"), password_);
    QProcess prepare;
    prepare.setProcessChannelMode(QProcess::MergedChannels);
    prepare.start(kScript, {QStringLiteral("prepare"), dir_.path(), QString::number(port_), QStringLiteral("127.0.0.1"),
                            QStringLiteral("--password-file"), passwordFile});
    if (!prepare.waitForFinished(60000) || prepare.exitStatus() != QProcess::NormalExit || prepare.exitCode() != 0) {
        problem_ = QStringLiteral("%1 prepare failed: %2 %3")
                       .arg(kScript, prepare.errorString(), QString::fromUtf8(prepare.readAll()));
        return false;
    }
    return true;
}

// The server reads its configuration and opens its port within a second or
// so; the deadline is for a machine busy with other work.
bool FirebirdServer::waitUntilListening()
{
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (accepts(port_))
            return true;
        if (server_.state() == QProcess::NotRunning) {
            problem_ = QStringLiteral("the server ended at once: %1").arg(QString::fromUtf8(server_.readAll()));
            return false;
        }
        QThread::msleep(20);
    }
    problem_ = QStringLiteral("the server does not listen on port %1 after 20 s: %2")
                   .arg(port_)
                   .arg(QString::fromUtf8(server_.readAll()));
    return false;
}

FirebirdServer::~FirebirdServer()
{
    stop();
}

void FirebirdServer::stop()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    // The server closes its databases on SIGTERM, mostly within two
    // seconds; now and then it lets a SIGTERM that comes just after the last
    // detach go unanswered. Its databases are throw-away copies and what was
    // committed is on disk already, so it is killed after a short wait.
    server_.terminate();
    if (!server_.waitForFinished(3000)) {
        server_.kill();
        server_.waitForFinished(5000);
    }
}

QString FirebirdServer::copyTemplate(const QString& name) const
{
    const QString file = QDir(dir_.path()).absoluteFilePath(name);
    QFile::remove(file);
    if (!QFile::copy(templatePath(), file))
        return {};
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    // A server started by root runs as a user of its own, who owns the folder.
    const QFileInfo folder(dir_.path());
    if (::chown(QFile::encodeName(file).constData(), folder.ownerId(), folder.groupId()) != 0)
        return {};
    return QStringLiteral("127.0.0.1/%1:%2").arg(port_).arg(file);
}

}  // namespace testsupport
