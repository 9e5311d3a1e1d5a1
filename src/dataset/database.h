#pragma once

#include "fb/connection.h"

#include <QString>

#include <functional>
#include <vector>

namespace dataset {

class TransactionArea;

// The connection as the program sees it: a file name, a connection that is
// made when first needed, and an after-connect step. Every dataset opens
// through here, so a dataset opened while there is no connection connects
// first; a failure reaches the caller that asked as the client's fb::Error.
class Database {
public:
    explicit Database(QString fileName = QStringLiteral("ARVENTA.FDB"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A bare name is resolved against the current folder when connecting.
    const QString& fileName() const { return fileName_; }
    // Disconnects first when connected.
    void setFileName(const QString& fileName);

    bool isConnected() const { return connection_.isAttached(); }
    // (Re)attaches and runs the after-connect step. Throws fb::Error.
    void connect();
    void ensureConnected();
    // Commits every running transaction area (closing its datasets), then detaches.
    void disconnect();
    // Rolls back every running transaction area, as when the program must
    // end at once: what was not saved is dropped, nothing is asked.
    void rollbackAll();

    void setAfterConnect(std::function<void()> step) { afterConnect_ = std::move(step); }

    fb::Connection& connection() { return connection_; }

private:
    friend class TransactionArea;
    void add(TransactionArea* area) { areas_.push_back(area); }
    void remove(TransactionArea* area);

    QString fileName_;
    fb::Connection connection_;
    std::function<void()> afterConnect_;
    std::vector<TransactionArea*> areas_;
};

}  // namespace dataset
