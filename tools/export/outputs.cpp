#include "outputs.h"

#include "workbook/writable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace exportcli {

namespace {

constexpr QFile::Permissions kOwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString withDetail(const QString& sentence, const QString& detail)
{
    return detail.isEmpty() ? sentence : sentence + QStringLiteral("\n\n") + detail;
}

}  // namespace

QString folderNotMade(const QString& folder)
{
    return QStringLiteral("Папката „%1“ не може да бъде създадена.").arg(shown(folder));
}

QString fileExists(const QString& path)
{
    return QStringLiteral("Файлът „%1“ вече съществува; с --force той се заменя.").arg(shown(path));
}

std::optional<QString> makeWritableFolder(const QString& folder)
{
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return withDetail(folderNotMade(folder), transfers::folderUnwritable(folder).value_or(QString()));
    if (const auto refusal = transfers::folderRefusal(folder))
        return withDetail(refusal->reason, refusal->detail);
    return std::nullopt;
}

Outputs::~Outputs()
{
    for (const Staged& s : staged_)
        QFile::remove(s.temporary);
}

std::optional<QString> Outputs::refusal(const QString& path) const
{
    const QFileInfo info(path);
    if (info.exists() && !force_)
        return fileExists(path);
    if (const auto refusal = transfers::writeRefusal(path))
        return withDetail(refusal->reason, refusal->detail);
    return std::nullopt;
}

QString Outputs::stage(const QString& path)
{
    const QFileInfo info(path);
    QTemporaryFile file(info.absoluteDir().filePath(QStringLiteral(".arventa-XXXXXX-") + info.fileName()));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    file.setPermissions(kOwnerOnly);
    staged_.push_back({file.fileName(), info.absoluteFilePath()});
    return file.fileName();
}

std::optional<QString> Outputs::commit()
{
    while (!staged_.empty()) {
        const Staged s = staged_.front();
        QFile::setPermissions(s.temporary, kOwnerOnly);  // a writer may have made the file anew
        // rename() replaces the target in one step: there is never no file nor half a file.
        if (std::rename(QFile::encodeName(s.temporary).constData(), QFile::encodeName(s.path).constData()) != 0)
            return withDetail(QStringLiteral("Файлът „%1“ не може да бъде записан.").arg(shown(s.path)),
                              QString::fromLocal8Bit(std::strerror(errno)));
        staged_.erase(staged_.begin());
    }
    return std::nullopt;
}

FilledInPlace::FilledInPlace(QString path) : path_(std::move(path)), permissions_(QFile::permissions(path_))
{
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly))
        content_ = file.readAll();
    QFile::setPermissions(path_, kOwnerOnly);  // its copy written beside it keeps them
}

FilledInPlace::~FilledInPlace()
{
    if (kept_ || !content_)
        return;
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly) && file.write(*content_) == content_->size() && file.commit())
        QFile::setPermissions(path_, permissions_);
}

}  // namespace exportcli
