#include "rent/rent_notices.h"

#include "common/failure.h"
#include "common/prompter.h"
#include "dataset/database.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/rent_sql.h"

#include <QStringList>

namespace rent {

QString uncomputableNotice(fb::Connection& connection)
{
    fb::Transaction tr(connection, fb::TransactionOptions::readCommitted(false));
    QStringList rows;
    fb::Statement rules(connection, schema::rent::uncomputableRuleLines());
    for (const auto& r : fb::fetchAll(rules, tr))
        rows << QStringLiteral("- правило: землище %1, тип договор %2, вид рента %3")
                    .arg(r[0].toString().trimmed(), r[1].toString().trimmed(), r[2].toString().trimmed());
    fb::Statement shares(connection, schema::rent::uncomputableShares());
    for (const auto& r : fb::fetchAll(shares, tr))
        rows << QStringLiteral("- собственик: %1 %2, имот %3")
                    .arg(r[0].toString().trimmed(), r[1].toString().trimmed(), r[2].toString().trimmed());
    tr.commit();
    if (rows.isEmpty())
        return {};
    return QStringLiteral("Рентата не може да бъде изчислена за:\n") + rows.join(QLatin1Char('\n')) +
           QStringLiteral("\nСтойностите им са извън допустимото; поправете ги. Останалите суми са изчислени без тях.");
}

void sayUncomputable(dataset::Database& database, Prompter& prompter)
{
    try {
        database.ensureConnected();
        if (const QString notice = uncomputableNotice(database.connection()); !notice.isEmpty())
            prompter.message(notice);
    } catch (const fb::Error& e) {
        failure::show(prompter, QStringLiteral("Стойностите на рентата не могат да бъдат проверени."), e);
    }
}

}  // namespace rent
