#include "dataset/database.h"

#include "dataset/transaction_area.h"
#include "fb/error.h"

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
    if (!isConnected())
        connect();
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
    if (!isConnected())
        return;
    // Through the areas, so that their datasets learn that they are closed.
    for (TransactionArea* area : std::vector<TransactionArea*>(areas_)) {
        try {
            area->commit();
        } catch (const fb::Error&) {
            area->rollback();
        }
    }
    connection_.detach();
}

void Database::remove(TransactionArea* area)
{
    areas_.erase(std::remove(areas_.begin(), areas_.end(), area), areas_.end());
}

}  // namespace dataset
