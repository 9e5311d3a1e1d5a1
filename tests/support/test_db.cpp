#include "support/test_db.h"

#include "schema/schema.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <stdexcept>

namespace testsupport {

namespace {

void makeTemplate(const QString& path)
{
    fb::CreateOptions options;
    options.forcedWrites = false;
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    schema::createDatabase(partial, options);
    QFile::remove(path);
    if (!QFile::rename(partial, path))
        throw std::runtime_error("cannot move the template database into place");
}

}  // namespace

QString templatePath()
{
    static const QString path = [] {
        QString p = qEnvironmentVariable("ARVENTA_TEST_TEMPLATE");
        if (p.isEmpty())
            p = QStringLiteral(ARVENTA_TEST_TEMPLATE);
        QLockFile lock(p + QStringLiteral(".lock"));
        lock.setStaleLockTime(0);
        lock.lock();
        if (!QFile::exists(p))
            makeTemplate(p);
        return p;
    }();
    return path;
}

TestDatabase::TestDatabase()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    folderPath_ = dir_.path();
    path_ = QDir(folderPath_).absoluteFilePath(QStringLiteral("ARVENTA.FDB"));
    if (!QFile::copy(templatePath(), path_))
        throw std::runtime_error("cannot copy the template database");
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace testsupport
