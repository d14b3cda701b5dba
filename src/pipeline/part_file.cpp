#include "part_file.h"

#include "containers/runtime_error.h"
#include "copy_file.h"
#include "file_ops.h"

#include <cerrno>
#include <filesystem>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace FileOps {

namespace {

// Names tried for a part file before writing gives up.
constexpr int PartNameTries = 100;

QString PartName(const QString& folder) {
    return folder + NewPartName();
}

#ifdef Q_OS_UNIX
std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}
#endif

} // namespace

void RaiseWriteError(const std::error_code& ec) {
    // The folder was the caller's to give; one that is gone is an access
    // failure of the write, not a file the player should look for.
    if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory)
        throw RunTimeError(ErrNo::PathFileAccess, QStringLiteral("Path/File access error (%1)")
                                                      .arg(QString::fromLocal8Bit(ec.message())));
    Raise(ec);
}

#ifdef Q_OS_UNIX

PartFile::PartFile(const QString& folder) {
    for (int i = 0; i < PartNameTries; ++i) {
        path_ = PartName(folder);
        fd_ =
            ::open(ToFs(path_).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd_ >= 0)
            return;
        if (errno != EEXIST)
            RaiseWriteError(LastError());
    }
    RaiseWriteError(std::make_error_code(std::errc::file_exists));
}

PartFile::~PartFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !path_.isEmpty())
        ::unlink(ToFs(path_).c_str());
}

void PartFile::Write(const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            RaiseWriteError(LastError());
        data += n;
        size -= n;
        size_ += n;
    }
}

void PartFile::Commit(const QString& path) {
    // Some file systems report a failed write only when the file is closed.
    if (::close(std::exchange(fd_, -1)) != 0)
        RaiseWriteError(LastError());
    std::error_code ec;
    std::filesystem::rename(ToFs(path_), ToFs(path), ec);
    if (ec)
        RaiseWriteError(ec);
    committed_ = true;
}

#else

PartFile::PartFile(const QString& folder) {
    for (int i = 0; i < PartNameTries; ++i) {
        path_ = PartName(folder);
        if (PathTaken(path_))
            continue;
        file_.setFileName(path_);
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return;
        RaiseWriteError(std::make_error_code(file_.error() == QFileDevice::PermissionsError
                                                 ? std::errc::permission_denied
                                                 : std::errc::io_error));
    }
    path_.clear();
    RaiseWriteError(std::make_error_code(std::errc::file_exists));
}

PartFile::~PartFile() {
    file_.close();
    if (!committed_ && !path_.isEmpty())
        QFile::remove(path_);
}

void PartFile::Write(const char* data, qint64 size) {
    if (file_.write(data, size) != size)
        RaiseWriteError(std::make_error_code(std::errc::io_error));
    size_ += size;
}

void PartFile::Commit(const QString& path) {
    file_.close();
    if (file_.error() != QFileDevice::NoError)
        RaiseWriteError(std::make_error_code(std::errc::io_error));
    std::error_code ec;
    std::filesystem::rename(ToFs(path_), ToFs(path), ec);
    if (ec)
        RaiseWriteError(ec);
    committed_ = true;
}

#endif

} // namespace FileOps
