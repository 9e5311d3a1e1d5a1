#pragma once

#include <vector>

namespace Firebird {
class ITransaction;
}

namespace fb {

class Connection;
class Statement;

struct TransactionOptions {
    enum class Isolation { Snapshot, ReadCommitted };
    Isolation isolation = Isolation::Snapshot;
    bool recordVersion = true;  // read committed only: read the last committed version
    bool wait = true;           // wait for a conflicting lock instead of failing at once
    bool readOnly = false;

    static TransactionOptions snapshot() { return {}; }
    static TransactionOptions readCommitted(bool wait) { return {Isolation::ReadCommitted, true, wait, false}; }
};

// A transaction with its own parameter block. Several may run at once on one
// connection. Committing or rolling back closes the cursors opened in it.
// The destructor rolls back what is still running; the connection commits it
// instead when it detaches first.
class Transaction {
public:
    Transaction(Connection& connection, TransactionOptions options = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void start();
    // start() unless already running.
    void ensureStarted();
    void commit();
    void rollback();
    bool isActive() const { return handle_ != nullptr; }

    const TransactionOptions& options() const { return options_; }
    Connection* connection() const { return connection_; }
    Firebird::ITransaction* handle();  // starts the transaction when needed

private:
    friend class Connection;
    friend class Statement;
    void addCursor(Statement* s) { cursors_.push_back(s); }
    void removeCursor(Statement* s);
    void closeCursors();

    Connection* connection_;
    TransactionOptions options_;
    Firebird::ITransaction* handle_ = nullptr;
    std::vector<Statement*> cursors_;
};

}  // namespace fb
