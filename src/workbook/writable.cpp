#include "workbook/writable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace transfers {

namespace {

// Trying is the only sure test: the owner's rights are not all (an
// unchangeable folder refuses even the administrator).
std::optional<QString> refusesNewFile(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".arventa-XXXXXX")));
    if (!probe.open())
        return probe.errorString();
    return std::nullopt;
}

}  // namespace

std::optional<QString> folderUnwritable(const QString& folder)
{
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    if (info.isDir())
        return refusesNewFile(info.absoluteFilePath());
    if (info.exists())
        return QStringLiteral("Това не е папка.");
    // A folder that could not be made: the reason is its nearest parent's.
    QDir parent(info.absoluteFilePath());
    while (!parent.exists() && parent.cdUp())
        ;
    if (parent.exists())
        if (auto why = refusesNewFile(parent.absolutePath()))
            return why;
    return QStringLiteral("Няма такава папка.");
}

std::optional<QString> fileUnwritable(const QString& path)
{
    QFile file(QDir::fromNativeSeparators(path));
    if (!file.exists())
        return std::nullopt;
    // Opened for reading and writing, the file is left as it is.
    if (!file.open(QIODevice::ReadWrite))
        return file.errorString();
    return std::nullopt;
}

std::optional<WriteRefusal> folderRefusal(const QString& folder)
{
    if (const auto why = folderUnwritable(folder))
        return WriteRefusal{QStringLiteral("Папката „%1“ не може да бъде записана.")
                                .arg(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath())),
                            *why};
    return std::nullopt;
}

std::optional<WriteRefusal> writeRefusal(const QString& path)
{
    const QFileInfo info(QDir::fromNativeSeparators(path));
    if (auto refusal = folderRefusal(info.absolutePath()))
        return refusal;
    if (const auto why = fileUnwritable(path))
        return WriteRefusal{QStringLiteral("Файлът „%1“ не може да бъде записан.")
                                .arg(QDir::toNativeSeparators(info.absoluteFilePath())),
                            *why};
    return std::nullopt;
}

QString whatFailed(const QString& what, const WriteRefusal& refusal)
{
    return what + QLatin1Char('\n') + refusal.reason;
}

}  // namespace transfers
