#include "fb/transaction.h"

#include "fb/api.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"

#include <algorithm>

namespace fb {

using namespace detail;

Transaction::Transaction(Connection& connection, TransactionOptions options)
    : connection_(&connection), options_(options)
{
    connection_->add(this);
}

Transaction::~Transaction()
{
    try {
        rollback();
    } catch (const Error&) {
        // Nothing more can be done; the engine rolls it back when the attachment ends.
    }
    if (connection_)
        connection_->remove(this);
}

void Transaction::start()
{
    if (handle_)
        throw Error(QStringLiteral("Transaction is already active"));
    if (!connection_)
        throw Error(QStringLiteral("Database is not attached"));
    Status st;
    DisposePtr<Firebird::IXpbBuilder> tpb(util()->getXpbBuilder(&st, Firebird::IXpbBuilder::TPB, nullptr, 0));
    tpb->insertTag(&st, options_.readOnly ? isc_tpb_read : isc_tpb_write);
    if (options_.isolation == TransactionOptions::Isolation::Snapshot) {
        tpb->insertTag(&st, isc_tpb_concurrency);
    } else {
        tpb->insertTag(&st, isc_tpb_read_committed);
        tpb->insertTag(&st, options_.recordVersion ? isc_tpb_rec_version : isc_tpb_no_rec_version);
    }
    tpb->insertTag(&st, options_.wait ? isc_tpb_wait : isc_tpb_nowait);
    handle_ = connection_->handle()->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
}

void Transaction::ensureStarted()
{
    if (!handle_)
        start();
}

Firebird::ITransaction* Transaction::handle()
{
    ensureStarted();
    return handle_;
}

void Transaction::commit()
{
    if (!handle_)
        return;
    closeCursors();
    Status st;
    handle_->commit(&st);  // on success the handle is freed by the call
    handle_ = nullptr;
}

void Transaction::rollback()
{
    if (!handle_)
        return;
    closeCursors();
    RefPtr<Firebird::ITransaction> t(handle_);
    handle_ = nullptr;
    Status st;
    t->rollback(&st);
    t.take();
}

void Transaction::closeCursors()
{
    for (Statement* s : std::vector<Statement*>(cursors_))
        s->close();
    cursors_.clear();
}

void Transaction::removeCursor(Statement* s)
{
    cursors_.erase(std::remove(cursors_.begin(), cursors_.end(), s), cursors_.end());
}

}  // namespace fb
