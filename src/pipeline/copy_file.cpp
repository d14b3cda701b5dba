#include "copy_file.h"

#include "containers/runtime_error.h"
#include "file_ops.h"
#include "log/log.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <utility>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace FileOps {

namespace {

// Names tried for a temporary file before the copy gives up.
constexpr int PartNameTries = 16;
constexpr int PartRandomLength = 8;

[[noreturn]] void RaiseErrno(int err) {
    Raise(std::error_code(err, std::generic_category()));
}

// Removes a temporary file that could not take its name. A folder that has
// turned read-only since is made writable for it; when even that fails the
// log says so, since the file would stay beside the player's packages.
void DropPart(const fs::path& part, const fs::path& folder) {
    std::error_code ec;
    if (fs::remove(part, ec) || !ec)
        return;
    SetAttrNormal(FromFs(folder));
    if (fs::remove(part, ec) || !ec)
        return;
    const RunTimeError e = ErrorFor(ec);
    Error_Mod::LogError(QStringLiteral("HANDLEFILECOPY: Could not remove "), FromFs(part),
                        e.Number(), e.Description());
}

#ifdef Q_OS_LINUX
long RealKernelCopy(int in, int out, std::size_t length) {
    return static_cast<long>(::copy_file_range(in, nullptr, out, nullptr, length, 0));
}

std::atomic<KernelCopy> kernelCopy{&RealKernelCopy};

// Closes the descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Opens the source without blocking: a pipe opened for reading waits for a
// writer. Anything but a regular file is refused before a byte is read
// (reading a regular file never blocks, O_NONBLOCK or not).
int OpenSource(const fs::path& from, struct stat& st) {
    const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        RaiseErrno(errno);
    Descriptor guard{fd};
    if (::fstat(fd, &st) != 0)
        RaiseErrno(errno);
    if (!S_ISREG(st.st_mode))
        RaiseErrno(EINVAL);
    return std::exchange(guard.fd, -1);
}

// A fresh temporary file in the folder: never an existing name, link or not.
int CreatePart(const fs::path& folder, mode_t mode, fs::path& part) {
    for (int i = 0; i < PartNameTries; ++i) {
        part = folder / ToFs(NewPartName());
        const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            RaiseErrno(errno);
    }
    RaiseErrno(EEXIST);
}

// The plain copy, as cp does it where the kernel will not: read and write
// until the source ends. 0 or the system's error.
int ReadWriteCopy(int in, int out) {
    constexpr std::size_t BlockSize = 256 * 1024;
    static thread_local char block[BlockSize];
    for (;;) {
        const ssize_t got = ::read(in, block, BlockSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t n = ::write(out, block + done, static_cast<std::size_t>(got - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return errno;
            done += n;
        }
    }
}

// The kernel's copy first, as cp does it: it is the fast path for the many
// packages of an install. Between file systems, or where a file system
// does not offer it, the kernel refuses (or copies nothing) and the plain
// copy takes over from where it stopped. 0 or the system's error.
int CopyData(int in, int out, off_t length) {
    const KernelCopy copy = kernelCopy.load();
    for (off_t left = length; left > 0;) {
        const long n = copy(in, out, static_cast<std::size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n == 0 || errno == EXDEV || errno == EOPNOTSUPP || errno == EINVAL || errno == ENOSYS)
            return ReadWriteCopy(in, out);
        return errno;
    }
    return 0;
}

fs::path CopyToPart(const fs::path& from, const fs::path& folder) {
    struct stat st {};
    Descriptor in{OpenSource(from, st)};
    fs::path part;
    Descriptor out{CreatePart(folder, st.st_mode & 0777, part)};
    int err = CopyData(in.fd, out.fd, st.st_size);
    if (::close(std::exchange(out.fd, -1)) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        DropPart(part, folder);
        RaiseErrno(err);
    }
    return part;
}
#else
fs::path CopyToPart(const fs::path& from, const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec))
        Raise(ec ? ec : std::make_error_code(std::errc::invalid_argument));
    for (int i = 0; i < PartNameTries; ++i) {
        const fs::path part = folder / ToFs(NewPartName());
        if (fs::exists(fs::symlink_status(part, ec)))
            continue;
        fs::copy_file(from, part, ec);
        if (ec) {
            DropPart(part, folder);
            Raise(ec);
        }
        return part;
    }
    Raise(std::make_error_code(std::errc::file_exists));
}
#endif

} // namespace

QString NewPartName() {
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".~bw2-");
    for (int i = 0; i < PartRandomLength; ++i)
        name += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return name + QStringLiteral(".part");
}

bool IsPartName(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\.~bw2-[a-z0-9]{%1}\\.part$").arg(PartRandomLength));
    return pattern.match(name).hasMatch();
}

void CopyReplacing(const QString& source, const QString& destination) {
    const fs::path to = ToFs(destination);
    const fs::path folder = to.parent_path();
    const fs::path part = CopyToPart(ToFs(source), folder);
    std::error_code ec;
    // Replaces the destination, or a link of its name, never writing through.
    fs::rename(part, to, ec);
    if (ec) {
        DropPart(part, folder);
        Raise(ec);
    }
}

void RemovePartLeftovers(const QString& folder) {
    std::error_code ec;
    for (fs::directory_iterator it(ToFs(folder), ec), end; !ec && it != end; it.increment(ec)) {
        if (!IsPartName(FromFs(it->path().filename())))
            continue;
        std::error_code typeEc;
        if (it->is_directory(typeEc) && !it->is_symlink(typeEc))
            continue;
        Error_Mod::WriteLog(QStringLiteral("CLEANUP: ") + FromFs(it->path()),
                            Error_Mod::Level::Verbose);
        std::error_code removeEc;
        fs::remove(it->path(), removeEc);
    }
}

#ifdef Q_OS_LINUX
void SetKernelCopy(KernelCopy copy) {
    kernelCopy.store(copy ? copy : &RealKernelCopy);
}
#endif

} // namespace FileOps
