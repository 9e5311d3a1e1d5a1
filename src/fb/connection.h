#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace Firebird {
class IAttachment;
}

namespace fb {

class Transaction;
class Statement;

// Who attaches. The program holds no password of its own: a server asks
// for the login of the person at the desk (setSessionLogin, once he has
// logged in), or, for tools and scripts, the client's own ISC_USER and
// ISC_PASSWORD; the embedded engine asks for none and attaches as SYSDBA.
// `role` is the engine's role the login works under (empty: none).
void setSessionLogin(const QString& user, const QString& password, const QString& role = {});
QString sessionUser();
QString sessionPassword();
QString sessionRole();

struct ConnectionOptions {
    QString user = sessionUser();
    QString password = sessionPassword();  // none is sent when empty
    // The role the attachment works under, as the engine spells it (a role
    // made with a quoted name keeps its case); none is sent when empty.
    QString role = sessionRole();
    // The columns are WIN1251; the connection speaks UTF-8 and Firebird converts.
    QString charset = QStringLiteral("UTF8");
    int dialect = 3;
};

struct CreateOptions {
    QString defaultCharset = QStringLiteral("WIN1251");
    int pageSize = 8192;
    // Off only for throw-away databases (test copies), where speed matters
    // more than surviving a power cut.
    bool forcedWrites = true;
};

// One attachment to a database file. A bare or relative file name is resolved
// against the process's current folder at attach time; "host:path" reaches a
// server. Transactions and statements made on a connection register with it,
// so that detach can commit what is still running and free what is prepared.
class Connection {
public:
    explicit Connection(ConnectionOptions options = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void attach(const QString& database);
    void create(const QString& database, const CreateOptions& create = {});
    // Commits every running transaction, frees every statement, then detaches.
    void detach();
    bool isAttached() const { return attachment_ != nullptr; }
    // Asks the engine (one round trip to a server); false when the
    // attachment is gone or there is none.
    bool isAlive() const;
    // Lets go of an attachment that is gone without asking anything of it:
    // every transaction ends (what it held is lost with the attachment),
    // every statement is freed to be prepared again, nothing throws.
    void abandon();
    // The name given to the last attach or create, as given.
    const QString& databaseName() const { return databaseName_; }

    // Runs one statement without parameters (DDL, SET GENERATOR…) in `tr`.
    void executeImmediate(Transaction& tr, const QString& sql);

    // The path Firebird is given for a name: bare and relative file names
    // become absolute against the current folder; server names stay.
    static QString resolve(const QString& database);
    // Whether the name reaches a server ("host:path", "host/port:alias", "inet://…").
    static bool isServerName(const QString& database);

    Firebird::IAttachment* handle() const;  // throws when not attached

private:
    friend class Transaction;
    friend class Statement;
    void add(Transaction* t) { transactions_.push_back(t); }
    void add(Statement* s) { statements_.push_back(s); }
    void remove(Transaction* t);
    void remove(Statement* s);
    std::vector<unsigned char> dpb(bool forCreate, const CreateOptions* create) const;

    ConnectionOptions options_;
    QString databaseName_;
    Firebird::IAttachment* attachment_ = nullptr;
    std::vector<Transaction*> transactions_;
    std::vector<Statement*> statements_;
};

}  // namespace fb
