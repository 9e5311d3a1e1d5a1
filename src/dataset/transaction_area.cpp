#include "dataset/transaction_area.h"

#include "dataset/database.h"
#include "dataset/dataset.h"
#include "dataset/usage_error.h"

#include <algorithm>

namespace dataset {

TransactionArea::TransactionArea(Database& database, QString name, fb::TransactionOptions options, bool endsItself)
    : database_(&database),
      name_(std::move(name)),
      transaction_(database.connection(), options),
      endsItself_(endsItself)
{
    database_->add(this);
}

TransactionArea::~TransactionArea()
{
    for (Dataset* d : datasets_)
        d->area_ = nullptr;
    if (database_)
        database_->remove(this);
}

Database& TransactionArea::database() const
{
    if (!database_)
        throw UsageError(QStringLiteral("%1: its database is gone").arg(name_));
    return *database_;
}

void TransactionArea::start()
{
    database().ensureConnected();
    transaction_.start();
}

void TransactionArea::ensureStarted()
{
    // A transaction of a gone attachment ends with it; a new one starts on the new one.
    database().ensureConnected();
    if (!isActive())
        start();
}

fb::Transaction& TransactionArea::transaction()
{
    ensureStarted();
    return transaction_;
}

void TransactionArea::commit()
{
    // Commit first: when the commit fails, the datasets keep their rows and
    // the values the user gave, and the transaction keeps running.
    transaction_.commit();
    closeDatasets();
}

void TransactionArea::rollback()
{
    closeDatasets();
    transaction_.rollback();
}

void TransactionArea::closeDatasets()
{
    ending_ = true;
    for (Dataset* d : std::vector<Dataset*>(datasets_))
        d->close();
    ending_ = false;
}

void TransactionArea::datasetClosed()
{
    if (!endsItself_ || ending_ || !isActive())
        return;
    const bool anyOpen = std::any_of(datasets_.begin(), datasets_.end(), [](Dataset* d) { return d->isOpen(); });
    if (!anyOpen)
        transaction_.commit();
}

void TransactionArea::remove(Dataset* d)
{
    datasets_.erase(std::remove(datasets_.begin(), datasets_.end(), d), datasets_.end());
}

}  // namespace dataset
