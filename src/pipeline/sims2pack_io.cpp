#include "sims2pack_io.h"

#include "containers/runtime_error.h"
#include "file_ops.h"

#include <cerrno>
#include <filesystem>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileOps::Sims2Pack {

namespace {

#ifdef Q_OS_UNIX
std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}
#endif

} // namespace

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

#endif

} // namespace FileOps::Sims2Pack
