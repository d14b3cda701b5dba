#include "entry_writer.h"

#include "file_ops.h"
#include "platform/file_names.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace FileOps {

namespace {

// libarchive reads the archive in blocks of this size.
constexpr size_t ReadBlockSize = 64 * 1024;
// Names tried for the file an entry is written to before it takes its name.
constexpr int PartNameTries = 100;

bool OpenPartFile(const QString& folder, QFile& part) {
    for (int i = 0; i < PartNameTries; ++i) {
        const QString candidate = folder + QStringLiteral(".~bw%1.part").arg(i);
        if (PathTaken(candidate))
            continue;
        part.setFileName(candidate);
        // A new file only: an existing name, link or not, is never opened.
        return part.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                         QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                             QFileDevice::ReadOther);
    }
    return false;
}

EntryWrite ReadFailed(int status, const QString& message) {
    return EntryWrite{EntryWrite::Outcome::ReadFailed, status, message, {}};
}

EntryWrite WriteFailed(const QString& name, const std::error_code& error) {
    return EntryWrite{EntryWrite::Outcome::WriteFailed, ARCHIVE_OK,
                      QStringLiteral("cannot write ") + name + QStringLiteral(": ") +
                          QString::fromLocal8Bit(error.message()),
                      error};
}

// Writes all of data; the system's own error when it cannot.
std::error_code WriteAll(QFile& file, const char* data, qint64 size) {
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return std::error_code(errno, std::generic_category());
        }
        data += written;
        size -= written;
    }
    return {};
#else
    if (file.write(data, size) == size)
        return {};
    return std::make_error_code(std::errc::io_error);
#endif
}

bool SeekTo(QFile& file, qint64 offset) {
#ifdef Q_OS_UNIX
    return ::lseek(file.handle(), static_cast<off_t>(offset), SEEK_SET) == offset;
#else
    return file.seek(offset);
#endif
}

} // namespace

void ArchiveReadFree::operator()(archive* a) const {
    archive_read_free(a);
}

ArchiveReader NewArchiveReader() {
    return ArchiveReader(archive_read_new());
}

int OpenArchiveFile(archive* a, const QString& path) {
    // Opening a pipe named like an archive would wait for a writer forever.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(ToFs(path), ec)) {
        archive_set_error(a, ec ? ec.value() : EINVAL, "not a plain file");
        return ARCHIVE_FATAL;
    }
#ifdef Q_OS_WIN
    return archive_read_open_filename_w(a, reinterpret_cast<const wchar_t*>(path.utf16()),
                                        ReadBlockSize);
#else
    return archive_read_open_filename(a, platform::FileNameBytes(path).constData(), ReadBlockSize);
#endif
}

QString ArchiveError(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("damaged or unreadable archive");
}

EntryKind KindOf(archive_entry* entry) {
    // A hard link says "regular file" but only points at another entry.
    if (archive_entry_hardlink(entry))
        return EntryKind::Link;
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
        return EntryKind::File;
    case AE_IFDIR:
        return EntryKind::Folder;
    case AE_IFLNK:
        return EntryKind::Link;
    default:
        return EntryKind::Other;
    }
}

QString EntryName(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    const char* raw = archive_entry_pathname(entry);
    return raw ? QFile::decodeName(raw) : QString();
}

QString SafeBaseName(const QString& entryName) {
    const qsizetype cut =
        std::max(entryName.lastIndexOf(QLatin1Char('/')), entryName.lastIndexOf(QLatin1Char('\\')));
    const QString base = entryName.mid(cut + 1);
    if (base.isEmpty() || base == QStringLiteral(".") || base == QStringLiteral(".."))
        return {};
    return base;
}

EntryWrite WriteEntry(archive* a, const QString& folder, const QString& name) {
    QFile part;
    if (!OpenPartFile(folder, part))
        return WriteFailed(name, std::make_error_code(std::errc::io_error));

    // The entry's declared size is never trusted: only the data that really
    // comes out is written, block by block.
    la_int64_t position = 0;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(a, &block, &size, &offset);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK) {
            part.remove();
            return ReadFailed(status, ArchiveError(a));
        }
        if (offset != position) {
            // Sparse data skips ahead; going back means the entry is broken.
            if (offset < position || !SeekTo(part, offset)) {
                part.remove();
                return ReadFailed(ARCHIVE_FAILED, QStringLiteral("entry data out of order"));
            }
            position = offset;
        }
        if (const std::error_code error =
                WriteAll(part, static_cast<const char*>(block), static_cast<qint64>(size))) {
            part.remove();
            return WriteFailed(name, error);
        }
        position += static_cast<la_int64_t>(size);
    }

    // Data that ends in a hole still has its full length.
    const bool lengthOk = part.size() == position || part.resize(position);
    part.close();
    if (!lengthOk || part.error() != QFileDevice::NoError) {
        part.remove();
        return WriteFailed(name, std::make_error_code(std::errc::io_error));
    }
    std::error_code error;
    // Replaces an earlier file of the same name (the later entry wins); a
    // link of that name would be replaced, never followed.
    std::filesystem::rename(ToFs(part.fileName()), ToFs(folder + name), error);
    if (error) {
        part.remove();
        EntryWrite refused = WriteFailed(name, error);
        refused.outcome = EntryWrite::Outcome::NameRefused;
        return refused;
    }
    return {};
}

} // namespace FileOps
