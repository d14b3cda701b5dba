#pragma once

#include <QString>

#include <system_error>

#ifndef Q_OS_UNIX
#include <QFile>
#endif

namespace FileOps {

// A new file in a folder under a passing name of its own (NewPartName: a
// random part, retried while taken; an existing name or link is never
// opened). It takes its real name on Commit and is removed when dropped
// before that, so nobody ever sees it half-written.
class PartFile {
public:
    // Throws RunTimeError as RaiseWriteError does.
    explicit PartFile(const QString& folder);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    void Write(const char* data, qint64 size);
    // Closes the file and renames it to path, replacing a file or link of
    // that name (a link is never followed).
    void Commit(const QString& path);
    // The bytes written so far.
    qint64 Size() const { return size_; }

private:
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    QFile file_;
#endif
    QString path_;
    qint64 size_ = 0;
    bool committed_ = false;
};

// The classic error for a failed write: 61 disk full, 70 permission denied,
// 75 for everything else (a folder gone included).
[[noreturn]] void RaiseWriteError(const std::error_code& ec);

} // namespace FileOps
