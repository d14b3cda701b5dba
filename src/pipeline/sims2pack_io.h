#pragma once

#include <QString>

#include <system_error>

#ifndef Q_OS_UNIX
#include <QFile>
#endif

// The file access a .sims2pack container needs: its data read by offset,
// and packaged files written so that none is ever seen half-written.
namespace Sims2Pack {

// Names tried for a part file before writing gives up.
inline constexpr int PartNameTries = 100;

// The container file, open for reading. Its length is taken once, on
// opening; checks against it stay valid however the file changes later.
class Source {
public:
    // Throws RunTimeError when the file cannot be opened (53 when missing)
    // or is no regular file.
    explicit Source(const QString& path);
    ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    qint64 size() const { return size_; }
    // Reads up to size bytes at offset, fewer only where the file ends.
    // Throws RunTimeError when reading fails.
    qint64 Read(qint64 offset, char* data, qint64 size);

private:
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    QFile file_;
#endif
    qint64 size_ = 0;
};

// A new file in a folder under a passing name of its own (a random part,
// retried while taken; an existing name or link is never opened). It takes
// its real name on Commit and is removed when dropped before that.
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

private:
#ifdef Q_OS_UNIX
    int fd_ = -1;
#else
    QFile file_;
#endif
    QString path_;
    bool committed_ = false;
};

// The classic error for a failed write: 61 disk full, 70 permission denied,
// 75 for everything else (a folder gone included).
[[noreturn]] void RaiseWriteError(const std::error_code& ec);

} // namespace Sims2Pack
