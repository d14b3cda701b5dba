#pragma once

#include <QFile>
#include <QString>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

// A folder in which nothing can be created, renamed or deleted while the
// object lives: read-only for an ordinary user, immutable for root (whom
// permissions do not stop). ok() is false where neither works; tests skip.
class LockedFolder {
public:
    explicit LockedFolder(const QString& path) : path_(path) { ok_ = Lock(true); }
    ~LockedFolder() {
        if (ok_)
            Lock(false);
    }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    bool ok() const { return ok_; }

private:
    bool Lock(bool on) {
#ifdef Q_OS_LINUX
        if (geteuid() != 0)
            return QFile::setPermissions(
                path_, QFile::ReadOwner | QFile::ExeOwner |
                           (on ? QFile::Permissions() : QFile::Permissions(QFile::WriteOwner)));
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
#else
        Q_UNUSED(on);
        return false;
#endif
    }

    QString path_;
    bool ok_ = false;
};
