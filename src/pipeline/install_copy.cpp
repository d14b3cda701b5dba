#include "install_copy.h"

#include "containers/runtime_error.h"
#include "file_ops.h"
#include "log/log.h"
#include "platform/globals.h"
#include "platform/platform.h"

#include <cerrno>
#include <utility>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// True when the existing destination may be replaced.
bool OverwriteAllowed(const QString& destination) {
    FileOps::SetAttrNormal(destination);
    WriteLog(QStringLiteral("FILE EXISTS: ") + destination, Level::Debug);
    if (G().ConfirmOverwrites) {
        const QString question =
            G().CurLang.ProperString(QStringLiteral("FILEEXISTS"), destination, {}, {});
        const int answer =
            platform::prompts().MsgBox(question, platform::Box::YesNo | platform::Box::Question,
                                       AppTitle + QStringLiteral(" File Management Wizard"));
        if (answer == platform::Box::No) {
            WriteLog(QStringLiteral("OVERWRITE REJECTED"), Level::Verbose);
            return false;
        }
        return true;
    }
    if (G().RejectOverwrites) {
        WriteLog(QStringLiteral("OVERWRITE AUTO-REJECTED"), Level::Debug);
        return false;
    }
    return true;
}

[[noreturn]] void RaiseErrno(int err) {
    FileOps::Raise(std::error_code(err, std::generic_category()));
}

#ifdef Q_OS_LINUX
// Closes the descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Creates part anew: a leftover of an earlier attempt (a link included) is
// removed first and never written through.
int CreatePart(const fs::path& part, mode_t mode) {
    int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST && ::unlink(part.c_str()) == 0)
        fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        RaiseErrno(errno);
    return fd;
}

// The copy runs in the kernel, the way cp does it, with as few lookups as
// the job needs: installing many packages is mostly this.
void CopyToPart(const fs::path& from, const fs::path& part) {
    Descriptor in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0)
        RaiseErrno(errno);
    if (!S_ISREG(st.st_mode))
        RaiseErrno(EINVAL);
    Descriptor out{CreatePart(part, st.st_mode & 0777)};
    int err = 0;
    // Up to the length the source had when opened; a source that shrinks
    // meanwhile ends the copy early.
    for (off_t left = st.st_size; left > 0;) {
        const ssize_t n = ::copy_file_range(in.fd, nullptr, out.fd, nullptr,
                                            static_cast<std::size_t>(left), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            err = errno;
        if (n <= 0)
            break;
        left -= n;
    }
    if (::close(std::exchange(out.fd, -1)) != 0 && err == 0)
        err = errno;
    if (err != 0) {
        ::unlink(part.c_str());
        RaiseErrno(err);
    }
}
#else
void CopyToPart(const fs::path& from, const fs::path& part) {
    std::error_code ec;
    fs::remove(part, ec);
    if (!ec)
        fs::copy_file(from, part, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        FileOps::Raise(ec);
    }
}
#endif

// The download folder never shows a half-written package: every copy goes
// to a temporary file in the destination's folder and takes its name only
// when complete, so a failed copy also leaves an existing file as it was.
void CopyReplacing(const QString& source, const QString& destination) {
    const fs::path to = FileOps::ToFs(destination);
    fs::path part = to;
    part.replace_filename(FileOps::ToFs(QStringLiteral(".~") + FileOps::GetFileName(destination) +
                                        QStringLiteral(".part")));
    CopyToPart(FileOps::ToFs(source), part);
    std::error_code ec;
    fs::rename(part, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        FileOps::Raise(ec);
    }
}

} // namespace

int HandleFileCopy(const QString& source, const QString& destination) {
    if (FileOps::FileExists(destination) && !OverwriteAllowed(destination))
        return 0;
    FileOps::SetAttrNormal(FileOps::GetFolder(destination));
    if (G().LogLevel == Level::Debug && !FileOps::FileExists(source)) {
        WriteLog(QStringLiteral("HANDLEFILECOPY: Debugging shows ") + source +
                     QStringLiteral(" does not exist!"),
                 Level::Debug);
    }
    try {
        CopyReplacing(source, destination);
        return 1;
    } catch (const RunTimeError& e) {
        WriteLog(QStringLiteral("HANDLEFILECOPY: There was an error while copying ") + source +
                     QStringLiteral(" to ") + destination + QStringLiteral(". ") +
                     QString::number(e.Number()) + QStringLiteral(": ") + e.Description(),
                 Level::Errors);
        const QString message =
            G().CurLang.ProperString(QStringLiteral("FCERROR"), source, destination, {}) +
            G().CurLang.ProperString(QStringLiteral("ERRORREPORT"), Error_Mod::LogFilePath(), {},
                                     {});
        Error_Mod::ReportError(message, false);
        return 0;
    }
}

} // namespace BrushwickMod
