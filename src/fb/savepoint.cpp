#include "fb/savepoint.h"

#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

namespace fb {

namespace {

// Nested steps (a step inside a step) get names of their own: a name used
// again inside one transaction would move the earlier savepoint.
QString nextName()
{
    static unsigned long long counter = 0;
    return QStringLiteral("STEP_%1").arg(++counter);
}

}  // namespace

Savepoint::Savepoint(Connection& connection, Transaction& transaction)
    : connection_(connection), transaction_(transaction), name_(nextName())
{
    transaction_.ensureStarted();
    run(QStringLiteral("savepoint ") + name_);
}

Savepoint::~Savepoint()
{
    if (!open_ || !transaction_.isActive())
        return;
    try {
        rollback();
    } catch (const Error&) {
        // The transaction itself is lost (a broken connection): whoever ends
        // it rolls back everything, this step with it.
    }
}

void Savepoint::release()
{
    if (!open_)
        return;
    open_ = false;
    run(QStringLiteral("release savepoint ") + name_ + QStringLiteral(" only"));
}

void Savepoint::rollback()
{
    if (!open_)
        return;
    open_ = false;
    run(QStringLiteral("rollback to savepoint ") + name_);
    run(QStringLiteral("release savepoint ") + name_ + QStringLiteral(" only"));
}

void Savepoint::run(const QString& sql)
{
    execute(connection_, transaction_, sql);
}

}  // namespace fb
