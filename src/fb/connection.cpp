#include "fb/connection.h"

#include "fb/api.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace fb {

using namespace detail;

namespace {

struct Login {
    QString user, password, role;
    bool set = false;
};

Login& sessionLogin()
{
    static Login login;
    return login;
}

}  // namespace

void setSessionLogin(const QString& user, const QString& password, const QString& role)
{
    sessionLogin() = {user, password, role, true};
}

QString sessionUser()
{
    if (sessionLogin().set)
        return sessionLogin().user;
    return qEnvironmentVariable("ISC_USER", QStringLiteral("SYSDBA"));
}

QString sessionPassword()
{
    if (sessionLogin().set)
        return sessionLogin().password;
    return qEnvironmentVariable("ISC_PASSWORD");
}

Connection::Connection(ConnectionOptions options) : options_(std::move(options))
{
}

Connection::~Connection()
{
    try {
        detach();
    } catch (const Error&) {
        // A destructor never throws; the engine drops the attachment anyway.
    }
    // Statements and transactions that outlive us must not call back.
    for (Statement* s : statements_)
        s->connection_ = nullptr;
    for (Transaction* t : transactions_)
        t->connection_ = nullptr;
}

bool Connection::isServerName(const QString& database)
{
    // "host:path" or "host/port:path" (a port or service name after the
    // slash). A one-letter prefix is a Windows drive, not a host.
    static const QRegularExpression server(QStringLiteral("^[^:/\\\\]{2,}(/[^:/\\\\]+)?:"));
    return server.match(database).hasMatch() || database.startsWith(QLatin1String("inet://"));
}

QString sessionRole()
{
    return sessionLogin().set ? sessionLogin().role : QString();
}

QString Connection::resolve(const QString& database)
{
    // A server is named: leave it alone.
    if (isServerName(database))
        return database;
    return QDir::cleanPath(QDir::current().absoluteFilePath(database));
}

std::vector<unsigned char> Connection::dpb(bool forCreate, const CreateOptions* create) const
{
    Status st;
    DisposePtr<Firebird::IXpbBuilder> b(util()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0));
    b->insertString(&st, isc_dpb_user_name, options_.user.toUtf8().constData());
    if (!options_.password.isEmpty())
        b->insertString(&st, isc_dpb_password, options_.password.toUtf8().constData());
    // Quoted, so that the engine takes the name as it is rather than in
    // capitals; a Cyrillic name goes in UTF-8, as the engine keeps names.
    if (!options_.role.isEmpty())
        b->insertString(&st, isc_dpb_sql_role_name, ('"' + options_.role + '"').toUtf8().constData());
    b->insertString(&st, isc_dpb_lc_ctype, options_.charset.toUtf8().constData());
    b->insertInt(&st, isc_dpb_sql_dialect, options_.dialect);
    if (forCreate && create) {
        b->insertString(&st, isc_dpb_set_db_charset, create->defaultCharset.toUtf8().constData());
        b->insertInt(&st, isc_dpb_page_size, create->pageSize);
        b->insertInt(&st, isc_dpb_force_write, create->forcedWrites ? 1 : 0);
    }
    const unsigned char* p = b->getBuffer(&st);
    return {p, p + b->getBufferLength(&st)};
}

namespace {

// A desk on the embedded register has no login: the changes it makes are
// recorded under the name of the system's user, handed to the database for
// the attachment's lifetime. A server register records the login instead
// (a context value from a client would not be trusted there).
void nameSystemUser(Connection& connection)
{
    QString name = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    if (name.isEmpty())
        name = QDir::home().dirName();
    Transaction tr(connection);
    execute(connection, tr,
            QStringLiteral("execute block (u varchar(63) character set utf8 = ?) as declare r integer; begin "
                           "r = rdb$set_context('USER_SESSION', 'ARVENTA_USER', :u); end"),
            {name.left(63)});
    tr.commit();
}

}  // namespace

void Connection::attach(const QString& database)
{
    detach();
    const auto params = dpb(false, nullptr);
    Status st;
    attachment_ = provider()->attachDatabase(&st, resolve(database).toUtf8().constData(),
                                             static_cast<unsigned>(params.size()), params.data());
    databaseName_ = database;
    if (!isServerName(database))
        nameSystemUser(*this);
}

void Connection::create(const QString& database, const CreateOptions& create)
{
    detach();
    const auto params = dpb(true, &create);
    Status st;
    attachment_ = provider()->createDatabase(&st, resolve(database).toUtf8().constData(),
                                             static_cast<unsigned>(params.size()), params.data());
    databaseName_ = database;
}

void Connection::detach()
{
    if (!attachment_)
        return;
    // Work on copies: closing may unregister entries while we walk.
    for (Transaction* t : std::vector<Transaction*>(transactions_)) {
        if (t->isActive()) {
            try {
                t->commit();
            } catch (const Error&) {
                t->rollback();
            }
        }
    }
    for (Statement* s : std::vector<Statement*>(statements_))
        s->unprepare();

    RefPtr<Firebird::IAttachment> att(attachment_);
    attachment_ = nullptr;
    Status st;
    att->detach(&st);  // frees the attachment on success
    att.take();
}

bool Connection::isAlive() const
{
    if (!attachment_)
        return false;
    try {
        Status st;
        attachment_->ping(&st);
        return true;
    } catch (const Error&) {
        return false;
    }
}

void Connection::abandon()
{
    if (!attachment_)
        return;
    for (Transaction* t : std::vector<Transaction*>(transactions_)) {
        try {
            t->rollback();  // lets go of the handle even when the call fails
        } catch (const Error&) {
        }
    }
    for (Statement* s : std::vector<Statement*>(statements_))
        s->unprepare();
    RefPtr<Firebird::IAttachment> att(attachment_);
    attachment_ = nullptr;
    try {
        Status st;
        att->detach(&st);
        att.take();
    } catch (const Error&) {
        // Released by the pointer: the client forgets the dead attachment.
    }
}

void Connection::executeImmediate(Transaction& tr, const QString& sql)
{
    Status st;
    handle()->execute(&st, tr.handle(), 0, sql.toUtf8().constData(), static_cast<unsigned>(options_.dialect), nullptr,
                      nullptr, nullptr, nullptr);
}

Firebird::IAttachment* Connection::handle() const
{
    if (!attachment_)
        throw Error(QStringLiteral("Database is not attached"));
    return attachment_;
}

void Connection::remove(Transaction* t)
{
    transactions_.erase(std::remove(transactions_.begin(), transactions_.end(), t), transactions_.end());
}

void Connection::remove(Statement* s)
{
    statements_.erase(std::remove(statements_.begin(), statements_.end(), s), statements_.end());
}

}  // namespace fb
