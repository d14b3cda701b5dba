#include "file_ops.h"

#include "containers/runtime_error.h"
#include "log/log.h"
#include "platform/file_names.h"

#include <QDirIterator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#else
#include <fstream>
#endif

namespace fs = std::filesystem;

namespace FileOps {

namespace {

// Compared as portable conditions, so Windows error codes map the same way.
int NumberFor(const std::error_code& ec) {
    using std::errc;
    if (ec == errc::no_such_file_or_directory)
        return ErrNo::FileNotFound;
    if (ec == errc::not_a_directory)
        return ErrNo::PathNotFound;
    if (ec == errc::permission_denied || ec == errc::operation_not_permitted ||
        ec == errc::read_only_file_system)
        return ErrNo::PermissionDenied;
    if (ec == errc::no_space_on_device)
        return ErrNo::DiskFull;
#ifndef Q_OS_WIN
    // A full quota is a full disk to the player.
    if (ec.value() == EDQUOT)
        return ErrNo::DiskFull;
#endif
    return ErrNo::PathFileAccess;
}

QString DescriptionFor(int number, const std::error_code& ec) {
    switch (number) {
    case ErrNo::FileNotFound:
        return QStringLiteral("File not found");
    case ErrNo::PathNotFound:
        return QStringLiteral("Path not found");
    case ErrNo::PermissionDenied:
        return QStringLiteral("Permission denied");
    case ErrNo::DiskFull:
        return QStringLiteral("Disk full");
    default:
        return QStringLiteral("Path/File access error (%1)")
            .arg(QString::fromLocal8Bit(ec.message()));
    }
}

void SortNames(QStringList& names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

} // namespace

RunTimeError ErrorFor(const std::error_code& ec) {
    const int number = NumberFor(ec);
    return RunTimeError(number, DescriptionFor(number, ec));
}

void Raise(const std::error_code& ec) {
    throw ErrorFor(ec);
}

fs::path ToFs(const QString& path) {
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(platform::FileNameBytes(path).toStdString());
#endif
}

QString FromFs(const fs::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    return platform::FileNameText(QByteArray::fromStdString(path.native()));
#endif
}

QString GetDrive(const QString& path) {
    return path.left(2);
}

QString GetFileName(const QString& path, QChar sep) {
    return path.mid(path.lastIndexOf(sep) + 1);
}

QString GetFolder(const QString& path, QChar sep) {
    return path.left(path.lastIndexOf(sep) + 1);
}

MArray ListFiles(const QString& pattern) {
    const QString folder = GetFolder(pattern);
    const QString wildcard = GetFileName(pattern);
    std::error_code ec;
    fs::directory_iterator it(ToFs(folder.isEmpty() ? QStringLiteral(".") : folder), ec);
    if (ec)
        Raise(ec);
    // "*.*" takes every file, also one without a dot, as it always has.
    const QString effective = wildcard == QStringLiteral("*.*") ? QStringLiteral("*") : wildcard;
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(effective),
                                   QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc))
            continue;
        const QString name = FromFs(it->path().filename());
        if (match.match(name).hasMatch())
            names.append(name);
    }
    if (ec)
        Raise(ec);
    SortNames(names);
    MArray files;
    for (const QString& name : names)
        files.Push(folder + name);
    return files;
}

namespace {

void LogFailure(const char* prefix, const std::error_code& ec) {
    const int number = NumberFor(ec);
    Error_Mod::WriteLog(QLatin1String(prefix) + QString::number(number) + QStringLiteral(": ") +
                            DescriptionFor(number, ec),
                        Error_Mod::Level::Debug);
}

} // namespace

bool FileExists(const QString& path) {
    std::error_code ec;
    const std::uintmax_t length = fs::file_size(ToFs(path), ec);
    if (ec) {
        // A folder has no length; to the caller it is no file at all.
        if (ec == std::errc::is_a_directory)
            ec = std::make_error_code(std::errc::no_such_file_or_directory);
        LogFailure("FILEEXISTS: ", ec);
        return false;
    }
    return length != 0;
}

bool FolderExists(QString& path) {
    if (!path.endsWith(Sep()))
        path += Sep();
    std::error_code ec;
    const fs::file_status st = fs::status(ToFs(path), ec);
    if (ec) {
        // A folder that is simply not there is no failure worth a line.
        if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory)
            return false;
        LogFailure("FOLDEREXISTS: ", ec);
        return false;
    }
    return fs::is_directory(st);
}

QStringList ListFolder(const QString& folder) {
    std::error_code ec;
    fs::directory_iterator it(ToFs(folder), ec);
    if (ec)
        Raise(ec);
    QStringList names;
    for (; it != fs::directory_iterator(); it.increment(ec))
        names.append(FromFs(it->path().filename()));
    if (ec)
        Raise(ec);
    SortNames(names);
    return names;
}

namespace {

bool StartsAppleDouble(const fs::path& p) {
    static constexpr char Signature[] = {'\x00', '\x05', '\x16', '\x07'};
    char head[sizeof Signature] = {};
#ifdef Q_OS_UNIX
    // Not blocking: the file may have been swapped for a pipe meanwhile.
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool read = ::read(fd, head, sizeof head) == ssize_t(sizeof head);
    ::close(fd);
#else
    std::ifstream file(p, std::ios::binary);
    const bool read = bool(file.read(head, sizeof head));
#endif
    return read && std::memcmp(head, Signature, sizeof head) == 0;
}

} // namespace

bool PathTaken(const QString& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(ToFs(path), ec));
}

FileKind KindOfFile(const QString& path) {
    std::error_code ec;
    const fs::path p = ToFs(path);
    const fs::file_status st = fs::status(p, ec);
    if (ec)
        return FileKind::Missing;
    if (fs::is_directory(st))
        return FileKind::Folder;
    if (!fs::is_regular_file(st))
        return FileKind::Special;
    // Macs name the twin "._" & the file's name; only those are read.
    const bool twinName = p.filename().native().rfind(ToFs(QStringLiteral("._")).native(), 0) == 0;
    return twinName && StartsAppleDouble(p) ? FileKind::AppleDouble : FileKind::Regular;
}

namespace {
QString refusingFolder;
}

void RefuseRemovalsIn(const QString& folder) {
    refusingFolder = folder.isEmpty() || folder.endsWith(Sep()) ? folder : folder + Sep();
}

void Remove(const fs::path& p, std::error_code& ec) {
    if (!refusingFolder.isEmpty() && FromFs(p).startsWith(refusingFolder)) {
        ec = std::make_error_code(std::errc::permission_denied);
        return;
    }
    fs::remove(p, ec);
}

void SetAttrNormal(const QString& path) {
    std::error_code ec;
    const fs::path p = ToFs(path);
    const fs::file_status st = fs::symlink_status(p, ec);
    if (ec || fs::is_symlink(st))
        return;
    constexpr fs::perms normal = fs::perms::owner_read | fs::perms::owner_write;
    // Most files already are; leave those (and their change time) alone.
    if ((st.permissions() & normal) == normal)
        return;
    fs::permissions(p, st.permissions() | normal, fs::perm_options::replace, ec);
}

} // namespace FileOps
