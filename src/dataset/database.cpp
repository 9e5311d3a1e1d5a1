#include "dataset/database.h"

#include "dataset/dataset.h"
#include "dataset/transaction_area.h"
#include "fb/error.h"

#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

namespace dataset {

Database::Database(QString fileName) : fileName_(std::move(fileName))
{
}

Database::~Database()
{
    for (TransactionArea* area : areas_)
        area->database_ = nullptr;
}

void Database::setFileName(const QString& fileName)
{
    disconnect();
    fileName_ = fileName;
}

void Database::connect()
{
    disconnect();  // through the areas, so that no dataset stays open on the old attachment
    connection_.attach(fileName_);
    if (afterConnect_)
        afterConnect_();
}

void Database::ensureConnected()
{
    if (!recovering_ && lostNow())
        reconnect();
    if (!isConnected())
        connect();
}

Database::Recovery Database::recoverIfLost()
{
    if (recovering_ || !lostNow())
        return Recovery::Alive;
    try {
        reconnect();
        return Recovery::Restored;
    } catch (const fb::Error& e) {
        tell(false, e.message());
        return Recovery::Failed;
    }
}

bool Database::lostNow()
{
    if (lost_)
        return true;
    if (!isConnected() || fb::connectionLosses() == lossesSeen_)
        return false;
    lossesSeen_ = fb::connectionLosses();
    return !connection_.isAlive();
}

// Let go of the gone attachment and everything that ran in it, and attach
// again. The datasets keep their rows (and a pending row its values); the
// lists are read again once the step that found the loss is over, since
// reading a dataset while one of its own calls runs would pull its rows from
// under it.
void Database::reconnect()
{
    recovering_ = true;
    const auto done = qScopeGuard([this] {
        lossesSeen_ = fb::connectionLosses();
        recovering_ = false;
    });
    lost_ = true;
    connection_.abandon();
    try {
        connection_.attach(fileName_);
        if (afterConnect_)
            afterConnect_();
    } catch (const fb::Error&) {
        connection_.abandon();
        throw;
    }
    lost_ = false;
    readListsAgain();
    tell(true, {});
}

void Database::readListsAgain()
{
    std::vector<QPointer<Dataset>> open;
    for (TransactionArea* area : areas_)
        for (Dataset* d : area->datasets_)
            if (d->isOpen() && !d->isEditing())
                open.emplace_back(d);
    QTimer::singleShot(0, &queue_, [open] {
        for (const QPointer<Dataset>& d : open) {
            if (!d || !d->isOpen() || d->isEditing())
                continue;
            try {
                d->refresh();
            } catch (const fb::Error&) {
                d->close();  // the next step that opens it says why
            }
        }
    });
}

void Database::tell(bool restored, const QString& detail)
{
    if (!notice_)
        return;
    QTimer::singleShot(0, &queue_, [this, restored, detail] { notice_(restored, detail); });
}

void Database::rollbackAll()
{
    for (TransactionArea* area : std::vector<TransactionArea*>(areas_)) {
        if (!area->isActive())
            continue;
        try {
            area->rollback();
        } catch (const fb::Error&) {
            // The attachment is broken then; nothing of it can be committed either.
        }
    }
}

void Database::disconnect()
{
    lost_ = false;
    if (!isConnected())
        return;
    try {
        // Through the areas, so that their datasets learn that they are closed.
        for (TransactionArea* area : std::vector<TransactionArea*>(areas_)) {
            try {
                area->commit();
            } catch (const fb::Error&) {
                area->rollback();
            }
        }
        connection_.detach();
    } catch (const fb::Error& e) {
        if (!e.connectionLost())
            throw;
        for (TransactionArea* area : areas_)
            area->closeDatasets();
        connection_.abandon();  // nothing of a gone attachment can be committed
    }
}

void Database::remove(TransactionArea* area)
{
    areas_.erase(std::remove(areas_.begin(), areas_.end(), area), areas_.end());
}

}  // namespace dataset
