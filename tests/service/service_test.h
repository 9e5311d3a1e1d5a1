#pragma once

#include "support/sql.h"
#include "support/test_db.h"

#include <QDir>
#include <QFile>
#include <QString>

namespace servicetest {

// A database of its own with the firm's farming year `from`/`to` (1 October
// to 30 September) and one owner named `owner`.
inline void seedYear(const QString& database, int from, const QString& owner)
{
    testsupport::runSql(database,
                        {QStringLiteral("insert into FIRMA (NAIM_FIRMA, ID_VZP, FROMYEAR, TOYEAR) values "
                                        "('Агро ООД', 2, '%1-10-01', '%2-09-30')")
                             .arg(from)
                             .arg(from + 1),
                         QStringLiteral("insert into HORA (IME, EGN) values ('%1', '7501011234')").arg(owner)});
}

// Keeps the process's current folder and puts it back at the end of a test.
class CurrentFolderGuard {
public:
    CurrentFolderGuard() : saved_(QDir::currentPath()) {}
    ~CurrentFolderGuard() { QDir::setCurrent(saved_); }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
    QString saved_;
};

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

}  // namespace servicetest
