#pragma once

#include "pipeline/file_ops.h"

#include <QFile>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// A folder in which nothing can be removed while the object lives: read-only
// for an ordinary user; for root, whom permissions do not stop, the program's
// own removals below it are refused instead.
class LockedFolder {
public:
    explicit LockedFolder(const QString& path) : path_(path) { Lock(true); }
    ~LockedFolder() { Lock(false); }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

private:
    void Lock(bool on) {
#ifdef Q_OS_UNIX
        if (geteuid() == 0) {
            FileOps::RefuseRemovalsIn(on ? path_ : QString());
            return;
        }
#endif
        QFile::setPermissions(
            path_, QFile::ReadOwner | QFile::ExeOwner |
                       (on ? QFile::Permissions() : QFile::Permissions(QFile::WriteOwner)));
    }

    QString path_;
};
