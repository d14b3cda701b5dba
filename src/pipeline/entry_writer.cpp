#include "entry_writer.h"

#include "file_ops.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <filesystem>

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
                         QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    return false;
}

EntryWrite Failed(EntryWrite::Outcome outcome, int status, const QString& message) {
    return EntryWrite{outcome, status, message};
}

} // namespace

void ArchiveReadFree::operator()(archive* a) const { archive_read_free(a); }

ArchiveReader NewArchiveReader() { return ArchiveReader(archive_read_new()); }

int OpenArchiveFile(archive* a, const QString& path) {
#ifdef Q_OS_WIN
    return archive_read_open_filename_w(a, reinterpret_cast<const wchar_t*>(path.utf16()),
                                        ReadBlockSize);
#else
    return archive_read_open_filename(a, QFile::encodeName(path).constData(), ReadBlockSize);
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

bool PathTaken(const QString& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(ToFs(path), ec));
}

EntryWrite WriteEntry(archive* a, const QString& folder, const QString& name) {
    QFile part;
    if (!OpenPartFile(folder, part))
        return Failed(EntryWrite::Outcome::WriteFailed, ARCHIVE_OK,
                      QStringLiteral("cannot create a file in ") + folder +
                          QStringLiteral(": ") + part.errorString());

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
            return Failed(EntryWrite::Outcome::ReadFailed, status, ArchiveError(a));
        }
        if (offset != position) {
            // Sparse data skips ahead; going back means the entry is broken.
            if (offset < position || !part.seek(offset)) {
                part.remove();
                return Failed(EntryWrite::Outcome::ReadFailed, ARCHIVE_FAILED,
                              QStringLiteral("entry data out of order"));
            }
            position = offset;
        }
        if (part.write(static_cast<const char*>(block), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
            const QString reason = part.errorString();
            part.remove();
            return Failed(EntryWrite::Outcome::WriteFailed, ARCHIVE_OK,
                          QStringLiteral("cannot write ") + name + QStringLiteral(": ") + reason);
        }
        position += static_cast<la_int64_t>(size);
    }

    // Data that ends in a hole still has its full length.
    const bool lengthOk = part.size() == position || part.resize(position);
    part.close();
    if (!lengthOk || part.error() != QFileDevice::NoError) {
        const QString reason = part.errorString();
        part.remove();
        return Failed(EntryWrite::Outcome::WriteFailed, ARCHIVE_OK,
                      QStringLiteral("cannot write ") + name + QStringLiteral(": ") + reason);
    }
    std::error_code ec;
    // Replaces an earlier file of the same name (the later entry wins); a
    // link of that name would be replaced, never followed.
    std::filesystem::rename(ToFs(part.fileName()), ToFs(folder + name), ec);
    if (ec) {
        part.remove();
        return Failed(EntryWrite::Outcome::WriteFailed, ARCHIVE_OK,
                      QStringLiteral("cannot write ") + name + QStringLiteral(": ") +
                          QString::fromLocal8Bit(ec.message()));
    }
    return {};
}

} // namespace FileOps
