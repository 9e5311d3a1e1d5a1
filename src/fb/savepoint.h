#pragma once

#include <QString>

namespace fb {

class Connection;
class Transaction;

// A savepoint inside a running transaction, for one step of a longer edit
// (a line added to a plot, a contract or a receipt): the step's writes are
// undone alone when it fails, and the rest of the edit stays pending. Made
// where the step starts; release() when it succeeded; otherwise the
// destructor rolls the transaction back to it.
class Savepoint {
public:
    Savepoint(Connection& connection, Transaction& transaction);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    // Keeps the step's writes (they stay pending with the transaction).
    void release();
    // Undoes the step's writes now.
    void rollback();

private:
    void run(const QString& sql);

    Connection& connection_;
    Transaction& transaction_;
    QString name_;
    bool open_ = true;
};

}  // namespace fb
