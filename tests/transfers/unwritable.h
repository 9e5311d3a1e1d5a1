#pragma once

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Makes a file or a folder refuse writes for the life of the object: its
// write permissions taken away, and, where that is not enough (the tests
// run as root), marked unchangeable, as a file system does for the
// administrator too ("Operation not permitted"). Everything is put back at
// the end, so that the temporary folder can go.
class Unwritable {
public:
    explicit Unwritable(const QString& path) : path_(path), permissions_(QFile::permissions(path))
    {
        QFile::setPermissions(
            path, permissions_ & ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther));
        if (refused())
            return;
        immutable_ = setImmutable(true);
        refused();
    }
    ~Unwritable()
    {
        if (immutable_)
            setImmutable(false);
        QFile::setPermissions(path_, permissions_);
    }
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

    // Whether writes are refused now; the test is skipped when they are not.
    bool works() const { return !detail_.isEmpty(); }
    // The file system's text for the refusal.
    const QString& detail() const { return detail_; }

private:
    // Tries a write the way an export would: a new file in a folder, an
    // existing file opened for writing.
    bool refused()
    {
        const QByteArray native = QFile::encodeName(path_);
        int fd = -1;
        if (QFileInfo(path_).isDir()) {
            const QByteArray probe = native + "/.probe";
            fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            if (fd >= 0)
                ::unlink(probe.constData());
        } else {
            fd = ::open(native.constData(), O_WRONLY);
        }
        if (fd >= 0) {
            ::close(fd);
            return false;
        }
        detail_ = QString::fromLocal8Bit(std::strerror(errno));
        return true;
    }
    bool setImmutable(bool on)
    {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString path_;
    QFile::Permissions permissions_;
    bool immutable_ = false;
    QString detail_;
};
