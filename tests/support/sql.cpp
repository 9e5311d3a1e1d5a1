#include "support/sql.h"

#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"

namespace testsupport {

void runSql(const QString& database, const QStringList& statements)
{
    fb::Connection c;
    c.attach(database);
    for (const QString& s : statements) {
        fb::Transaction tr(c);
        fb::execute(c, tr, s);
        tr.commit();
    }
}

qint64 countRows(const QString& database, const QString& from)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    return fb::fetchScalar(c, tr, QStringLiteral("select count(*) from ") + from).toInt64();
}

QString clientError(const QString& database, const QString& statement)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    try {
        fb::execute(c, tr, statement);
    } catch (const fb::Error& e) {
        return e.message();
    }
    return {};
}

QString selectedText(const QString& database, const QString& select)
{
    fb::Connection c;
    c.attach(database);
    fb::Transaction tr(c);
    fb::Statement st(c, select);
    QStringList rows;
    for (const auto& row : fb::fetchAll(st, tr)) {
        QStringList cells;
        for (const fb::Value& v : row)
            cells << (v.isNull() ? QStringLiteral("-") : v.toString());
        rows << cells.join(QLatin1Char(' '));
    }
    return rows.join(QStringLiteral("; "));
}

}  // namespace testsupport
