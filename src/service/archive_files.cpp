#include "service/archive_files.h"

#include "dm/tdm.h"
#include "fb/connection.h"
#include "fb/error.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schema/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace service {

const QStringList& layoutFiles()
{
    static const QStringList names = {
        QStringLiteral("SprZR.rav"),
        QStringLiteral("SpisykSP.rav"),
        QStringLiteral("SpisykAll.rav"),
        QStringLiteral("SprnrSP.rav"),
        QStringLiteral("Sprnr.rav"),
        QStringLiteral("Spravkaimoti.rav"),
        QStringLiteral("SprImotiZemlishta.rav"),
        QStringLiteral("Razpiska.rav"),
        QStringLiteral("Razpiska_pari.rav"),
        QStringLiteral("Razpiska_pari_MG.rav"),
        QStringLiteral("TransferNevalidni.rav"),
        QStringLiteral("TransferNevalidniAK.rav"),
        QStringLiteral("SpisykNR.rav"),
        QStringLiteral("SpisykKatKoef.rav"),
        QStringLiteral("TransferNevalidniDekl70.rav"),
        QStringLiteral("SprImotiSobstv.rav"),
        // The journal of changes prints from an archive too.
        QStringLiteral("JurnalProm.rav"),
    };
    return names;
}

bool makeFolder(const QString& path)
{
    return QDir().mkpath(QDir::fromNativeSeparators(path));
}

bool removeFolder(const QString& path)
{
    QDir folder(QDir::fromNativeSeparators(path));
    return folder.exists() && folder.removeRecursively();
}

namespace {

// Replaces `target` with a copy of `source`; the reason when it fails.
std::optional<QString> replaceFile(const QString& source, const QString& target)
{
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return QStringLiteral("Файлът „%1“ не може да бъде заменен!").arg(QDir::toNativeSeparators(target));
    QFile from(source);
    if (!from.copy(target))
        return QStringLiteral("Файлът „%1“ не може да бъде копиран в „%2“: %3")
            .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(target), from.errorString());
    return std::nullopt;
}

// The copy is on the disk before the caller goes on: a year closing changes
// the database only after its copies, and a power cut must not leave a
// changed database beside a copy that never reached the disk.
bool syncToDisk(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        return false;
#ifdef Q_OS_UNIX
    return ::fsync(f.handle()) == 0;
#else
    return f.flush();
#endif
}

// Whether the engine opens the file as a database; its text when not.
std::optional<QString> opensAsDatabase(const QString& file)
{
    try {
        fb::Connection probe;
        probe.attach(file);
        probe.detach();
    } catch (const fb::Error& e) {
        return e.message();
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> copyDatabase(const QString& source, const QString& target)
{
    const QString from = QDir::fromNativeSeparators(source);
    const QString to = QDir::fromNativeSeparators(target);
    const QFileInfo before(from);
    if (!before.isFile())
        return QStringLiteral("Файлът „%1“ не е намерен!").arg(QDir::toNativeSeparators(source));
    const qint64 sizeBefore = before.size();
    std::optional<QString> failure = replaceFile(from, to);
    if (!failure) {
        const qint64 sourceSize = QFileInfo(from).size();
        if (sourceSize != sizeBefore || QFileInfo(to).size() != sourceSize)
            failure = QStringLiteral("Копието „%1“ е непълно!").arg(QDir::toNativeSeparators(target));
        else if (!syncToDisk(to))
            failure =
                QStringLiteral("Копието „%1“ не може да бъде записано на диска!").arg(QDir::toNativeSeparators(target));
        else
            failure = opensAsDatabase(to);
    }
    if (failure)
        QFile::remove(to);  // a half copy must not pass for a database
    return failure;
}

QStringList copyLayouts(const QString& from, const QString& to)
{
    const QDir source(QDir::fromNativeSeparators(from));
    const QDir target(QDir::fromNativeSeparators(to));
    QStringList failed;
    for (const QString& name : layoutFiles()) {
        if (!source.exists(name))
            continue;
        if (replaceFile(source.filePath(name), target.filePath(name)))
            failed << name;
    }
    return failed;
}

QString databaseFilePath(TDM& dm, const QString& dataFolder)
{
    if (fb::Connection::isServerName(dm.IBDatabase1.fileName()))
        return dm.IBDatabase1.fileName();
    return QDir(dataFolder).absoluteFilePath(QDir::fromNativeSeparators(dm.IBDatabase1.fileName()));
}

void releaseDatabase(TDM& dm)
{
    dm.disconnect();
}

std::optional<fb::Error> reconnect(TDM& dm)
{
    try {
        dm.connect();
    } catch (const fb::Error& e) {
        return e;
    }
    return std::nullopt;
}

namespace {

// Tables every register has had since its first version; later ones are
// added by the upgrade steps when an old register is opened.
QStringList missingTables(fb::Connection& probe)
{
    const QStringList own = {QStringLiteral("FIRMA"), QStringLiteral("HORA"), QStringLiteral("ZEMQ"),
                             QStringLiteral("DOG DANNI")};
    QStringList present;
    fb::Transaction tr(probe, fb::TransactionOptions::readCommitted(true));
    fb::Statement st(probe, QStringLiteral("select trim(rdb$relation_name) from rdb$relations"
                                           " where coalesce(rdb$system_flag, 0) = 0"));
    for (const auto& row : fb::fetchAll(st, tr))
        present << row[0].toString();
    tr.commit();
    QStringList missing;
    for (const QString& table : own)
        if (!present.contains(table))
            missing << table;
    return missing;
}

QString missingText(const QStringList& missing)
{
    return QStringLiteral("В базата липсват таблиците %1.").arg(missing.join(QStringLiteral(", ")));
}

// The register's schema version: 1 for a register of the first program,
// which had no version table.
int schemaVersion(fb::Connection& probe)
{
    fb::Transaction tr(probe, fb::TransactionOptions::readCommitted(true));
    fb::Statement has(probe, QStringLiteral("select count(*) from rdb$relations where rdb$relation_name = "
                                            "'ARVENTA_SCHEMA'"));
    int version = 1;
    if (fb::fetchAll(has, tr).front()[0].toInt() > 0) {
        fb::Statement st(probe, QStringLiteral("select max(version) from arventa_schema"));
        const auto rows = fb::fetchAll(st, tr);
        if (!rows.front()[0].isNull())
            version = rows.front()[0].toInt();
    }
    tr.commit();
    return version;
}

}  // namespace

std::optional<RegisterFault> registerFault(fb::Connection& probe, const QString& database)
{
    using Kind = RegisterFault::Kind;
    try {
        probe.attach(database);
    } catch (const fb::Error& e) {
        return RegisterFault{Kind::DoesNotOpen, e.message(), e};
    }
    // Only reads here: another program's database must stay as it is.
    try {
        std::optional<RegisterFault> fault;
        if (const QStringList missing = missingTables(probe); !missing.isEmpty())
            fault = RegisterFault{Kind::Foreign, missingText(missing), std::nullopt};
        else if (const int version = schemaVersion(probe); version > schema::kVersion)
            fault = RegisterFault{Kind::Newer, QString::number(version), std::nullopt};
        if (fault)
            probe.detach();
        return fault;
    } catch (const fb::Error& e) {
        // A file that attaches but cannot be read is as good as unopened.
        return RegisterFault{Kind::DoesNotOpen, e.message(), e};
    }
}

QString newerVersions(const QString& version)
{
    return QStringLiteral("(версия на данните %1, а тази програма познава до версия %2)")
        .arg(version)
        .arg(schema::kVersion);
}

}  // namespace service
