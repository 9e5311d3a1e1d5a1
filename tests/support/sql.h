#pragma once

#include <QString>
#include <QStringList>

namespace testsupport {

// Runs each statement in a transaction of its own on a connection of its own
// (rows a test starts from, triggers that make the database refuse).
void runSql(const QString& database, const QStringList& statements);
// select count(*) from `from` (a table and any condition), as committed.
qint64 countRows(const QString& database, const QString& from);
// The client's text for a statement that fails, as a screen must show it;
// empty when it does not fail.
QString clientError(const QString& database, const QString& statement);
// The rows of a select as committed, as text: the cells of a row joined by
// " " ("-" for an empty one), the rows by "; ".
QString selectedText(const QString& database, const QString& select);

}  // namespace testsupport
