#include "app/database_choice.h"

namespace database_choice {

namespace {

const QString kOption = QStringLiteral("--database");

}  // namespace

Choice choose(const QStringList& arguments, const QString& variable)
{
    Choice choice{variable.trimmed().isEmpty() ? kDefault : variable.trimmed(), {}};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        QString named;
        if (a == kOption) {
            if (i + 1 >= arguments.size()) {
                choice.problem = QStringLiteral("%1 needs a database name, such as server/3050:arventa").arg(kOption);
                return choice;
            }
            named = arguments[++i];
        } else if (a.startsWith(kOption + QLatin1Char('='))) {
            named = a.mid(kOption.size() + 1);
        } else {
            continue;  // Qt's own options (-platform…) are Qt's business
        }
        if (named.trimmed().isEmpty()) {
            choice.problem = QStringLiteral("%1 needs a database name, such as server/3050:arventa").arg(kOption);
            return choice;
        }
        choice.database = named.trimmed();
    }
    return choice;
}

bool isDefault(const QString& database)
{
    return database == kDefault;
}

}  // namespace database_choice
