#include "service/server_archive.h"

#include "common/failure.h"
#include "dm/tdm.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/services.h"
#include "service/archive_files.h"

#include <QDir>
#include <QFile>

namespace service {

namespace {

const QString kDatabaseFile = QStringLiteral("ARVENTA.FDB");

// Why the restored database must not pass for an archive; empty when it is a
// register of this program that opens.
std::optional<QString> restoreFault(const QString& file)
{
    fb::Connection probe;
    const auto fault = registerFault(probe, file);
    if (probe.isAttached())
        probe.detach();
    if (!fault)
        return std::nullopt;
    const QString what = QStringLiteral("Възстановеното копие „%1“ не е наред.").arg(QDir::toNativeSeparators(file));
    switch (fault->kind) {
        case RegisterFault::Kind::DoesNotOpen:
            return failure::text(what, fault->detail);
        case RegisterFault::Kind::Foreign:
            return failure::text(what, fault->detail);
        case RegisterFault::Kind::Newer:
            return failure::text(what, newerVersions(fault->detail));
    }
    return what;
}

}  // namespace

bool onServer(TDM& dm)
{
    return fb::Connection::isServerName(dm.IBDatabase1.fileName());
}

std::optional<QString> archiveFromServer(const QString& database, const QString& folder, bool keepBackupFile)
{
    const QDir dir(QDir::fromNativeSeparators(folder));
    const QString backup = dir.filePath(kBackupFile);
    const QString restored = dir.filePath(kDatabaseFile);
    // A restore creates its database: one already there is never replaced.
    if (QFile::exists(restored))
        return QStringLiteral("Файлът „%1“ вече съществува!").arg(QDir::toNativeSeparators(restored));
    std::optional<QString> reason;
    try {
        fb::ServiceManager(database).backup(backup);
    } catch (const fb::Error& e) {
        reason = failure::text(QStringLiteral("Сървърът не направи архив на базата „%1“.").arg(database), e);
    }
    if (!reason) {
        try {
            fb::ServiceManager(restored).restore(backup, restored);
            reason = restoreFault(restored);
        } catch (const fb::Error& e) {
            reason = failure::text(
                QStringLiteral("Архивът „%1“ не може да бъде възстановен.").arg(QDir::toNativeSeparators(backup)), e);
        }
    }
    if (reason)
        QFile::remove(restored);  // a half restore must not pass for a database
    if (reason || !keepBackupFile)
        QFile::remove(backup);
    return reason;
}

QStringList otherDesks(fb::Connection& connection)
{
    QStringList desks;
    for (const fb::Attachment& a : fb::otherAttachments(connection)) {
        QString line = a.user;
        line += a.address.isEmpty() ? QStringLiteral(" на сървъра") : QStringLiteral(" от ") + a.address;
        if (!a.process.isEmpty())
            line += QStringLiteral(" (%1)").arg(a.process);
        desks << line;
    }
    return desks;
}

}  // namespace service
