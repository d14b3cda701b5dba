#include "sims2pack_io.h"

#include "containers/runtime_error.h"
#include "entry_writer.h"
#include "file_ops.h"

#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Sims2Pack {

namespace {

QString PartName(const QString& folder) {
    return folder + QStringLiteral(".~bw%1.part")
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
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
    FileOps::Raise(ec);
}

#ifdef Q_OS_UNIX

Source::Source(const QString& path) {
    // Non-blocking, so a named pipe in the container's place cannot hang
    // the run; it is refused below like every other non-file.
    fd_ = ::open(FileOps::ToFs(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        FileOps::Raise(LastError());
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        FileOps::Raise(LastError());
    if (!S_ISREG(st.st_mode))
        FileOps::Raise(std::make_error_code(std::errc::invalid_argument));
    size_ = st.st_size;
}

Source::~Source() {
    if (fd_ >= 0)
        ::close(fd_);
}

qint64 Source::Read(qint64 offset, char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, data + done, static_cast<size_t>(size - done),
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            FileOps::Raise(LastError());
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

PartFile::PartFile(const QString& folder) {
    for (int i = 0; i < PartNameTries; ++i) {
        path_ = PartName(folder);
        fd_ = ::open(FileOps::ToFs(path_).c_str(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
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
        ::unlink(FileOps::ToFs(path_).c_str());
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
    }
}

void PartFile::Commit(const QString& path) {
    // Some file systems report a failed write only when the file is closed.
    if (::close(std::exchange(fd_, -1)) != 0)
        RaiseWriteError(LastError());
    std::error_code ec;
    std::filesystem::rename(FileOps::ToFs(path_), FileOps::ToFs(path), ec);
    if (ec)
        RaiseWriteError(ec);
    committed_ = true;
}

#else

Source::Source(const QString& path) : file_(path) {
    std::error_code ec;
    const auto status = std::filesystem::status(FileOps::ToFs(path), ec);
    if (ec)
        FileOps::Raise(ec);
    if (!std::filesystem::is_regular_file(status))
        FileOps::Raise(std::make_error_code(std::errc::invalid_argument));
    if (!file_.open(QIODevice::ReadOnly))
        FileOps::Raise(std::make_error_code(file_.error() == QFileDevice::PermissionsError
                                                ? std::errc::permission_denied
                                                : std::errc::io_error));
    size_ = file_.size();
}

Source::~Source() = default;

qint64 Source::Read(qint64 offset, char* data, qint64 size) {
    if (!file_.seek(offset))
        FileOps::Raise(std::make_error_code(std::errc::io_error));
    const qint64 n = file_.read(data, size);
    if (n < 0)
        FileOps::Raise(std::make_error_code(std::errc::io_error));
    return n;
}

PartFile::PartFile(const QString& folder) {
    for (int i = 0; i < PartNameTries; ++i) {
        path_ = PartName(folder);
        if (FileOps::PathTaken(path_))
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
}

void PartFile::Commit(const QString& path) {
    file_.close();
    if (file_.error() != QFileDevice::NoError)
        RaiseWriteError(std::make_error_code(std::errc::io_error));
    std::error_code ec;
    std::filesystem::rename(FileOps::ToFs(path_), FileOps::ToFs(path), ec);
    if (ec)
        RaiseWriteError(ec);
    committed_ = true;
}

#endif

} // namespace Sims2Pack
