#include "fb/raw_fetch.h"

#include "fb/api.h"
#include "fb/connection.h"
#include "fb/transaction.h"

#include <vector>

namespace fb {

using namespace detail;

long long fetchRaw(Connection& connection, Transaction& tr, const QString& sql)
{
    Status st;
    RefPtr<Firebird::IStatement> stmt(connection.handle()->prepare(&st, tr.handle(), 0, sql.toUtf8().constData(), 3,
                                                                   Firebird::IStatement::PREPARE_PREFETCH_METADATA));
    RefPtr<Firebird::IMessageMetadata> out(stmt->getOutputMetadata(&st));
    std::vector<unsigned char> buffer(out->getMessageLength(&st));
    RefPtr<Firebird::IResultSet> cursor(stmt->openCursor(&st, tr.handle(), nullptr, nullptr, out.get(), 0));
    long long rows = 0;
    while (cursor->fetchNext(&st, buffer.data()) == Firebird::IStatus::RESULT_OK)
        ++rows;
    cursor->close(&st);
    cursor.take();
    stmt->free(&st);
    stmt.take();
    return rows;
}

}  // namespace fb
