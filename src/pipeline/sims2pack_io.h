#pragma once

#include <QString>

#include <system_error>

#ifndef Q_OS_UNIX
#include <QFile>
#endif

// The file access a .sims2pack container needs: its data read by offset.
namespace FileOps::Sims2Pack {

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

} // namespace FileOps::Sims2Pack
