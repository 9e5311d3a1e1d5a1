#pragma once

#include "fb/transaction.h"

#include <QString>

#include <memory>
#include <vector>

namespace dataset {

class Database;
class Dataset;

// One working area's transaction: its isolation and wait mode, and two
// habits the screens rely on. A commit or rollback closes every dataset that
// reads through the area until it is opened again. An area that "ends
// itself" commits by itself when the last of its datasets closes.
class TransactionArea {
public:
    TransactionArea(Database& database, QString name, fb::TransactionOptions options = {}, bool endsItself = false);
    ~TransactionArea();
    TransactionArea(const TransactionArea&) = delete;
    TransactionArea& operator=(const TransactionArea&) = delete;

    const QString& name() const { return name_; }
    bool endsItself() const { return endsItself_; }
    const fb::TransactionOptions& options() const { return transaction_.options(); }

    // Connects first when there is no connection (fb::Error when it fails).
    void start();
    void ensureStarted();
    void commit();
    void rollback();
    bool isActive() const { return transaction_.isActive(); }

    Database& database() const;
    // The running transaction, started when needed.
    fb::Transaction& transaction();

private:
    friend class Database;
    friend class Dataset;
    void add(Dataset* d) { datasets_.push_back(d); }
    void remove(Dataset* d);
    void datasetClosed();
    void closeDatasets();

    Database* database_;
    QString name_;
    fb::Transaction transaction_;
    bool endsItself_;
    bool ending_ = false;  // set while a commit or rollback closes our datasets
    std::vector<Dataset*> datasets_;
};

}  // namespace dataset
