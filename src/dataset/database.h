#pragma once

#include "fb/connection.h"

#include <QObject>
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

    // A connection that is gone (a server restarted, the network broken,
    // the attachment shut down) is made again on the next data access: the
    // running transactions are lost with it, a row in insert or edit keeps
    // the user's values to be saved again, and every list that was open is
    // read again from its start (right after the step that found the loss,
    // so that no list stays half-read). Cheap when nothing was lost: the
    // engine is asked only after an error of a lost attachment was seen.
    enum class Recovery { Alive, Restored, Failed };
    Recovery recoverIfLost();
    // Told (right after the step that found the loss) whether the
    // connection was made again; `detail` is the client's text when not.
    void setRecoveryNotice(std::function<void(bool restored, const QString& detail)> notice)
    {
        notice_ = std::move(notice);
    }

    fb::Connection& connection() { return connection_; }

private:
    friend class TransactionArea;
    void add(TransactionArea* area) { areas_.push_back(area); }
    void remove(TransactionArea* area);
    // Gone and not made again yet, or an error of a lost attachment was seen
    // since we last looked and the engine does not answer.
    bool lostNow();
    // Attaches again after a loss; fb::Error when it cannot.
    void reconnect();
    void readListsAgain();
    void tell(bool restored, const QString& detail);

    QString fileName_;
    fb::Connection connection_;
    std::function<void()> afterConnect_;
    std::vector<TransactionArea*> areas_;
    unsigned long lossesSeen_ = 0;
    bool lost_ = false;  // gone, and not made again yet
    bool recovering_ = false;
    std::function<void(bool, const QString&)> notice_;
    QObject queue_;  // what follows a recovery runs after the step that found it
};

}  // namespace dataset
