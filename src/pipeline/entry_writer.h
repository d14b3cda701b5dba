#pragma once

#include <QString>

#include <memory>
#include <system_error>

struct archive;
struct archive_entry;

// The pieces the zip bridge and the rar component share: reading entries
// with libarchive and turning them into plain files in one folder, and
// nothing else.
namespace FileOps {

struct ArchiveReadFree {
    void operator()(archive* a) const;
};
using ArchiveReader = std::unique_ptr<archive, ArchiveReadFree>;

ArchiveReader NewArchiveReader();

// Opens one archive file for reading (seekable, so zip central directories
// are honoured); returns libarchive's status.
int OpenArchiveFile(archive* a, const QString& path);

// libarchive's last error, or a stand-in when it gave none.
QString ArchiveError(archive* a);

// Only regular files are ever created; everything else is left out.
enum class EntryKind { File, Folder, Link, Other };
EntryKind KindOf(archive_entry* entry);

// The name the archive stores for the entry, folders included.
QString EntryName(archive_entry* entry);

// The last part of an entry name, "/" and "\" both counting as separators;
// "" when nothing usable is left ("", "." or "..").
QString SafeBaseName(const QString& entryName);

struct EntryWrite {
    // NameRefused: the file system takes no file of that name (too long, or
    // characters it does not allow); the entry is left out.
    enum class Outcome { Written, ReadFailed, WriteFailed, NameRefused };
    Outcome outcome = Outcome::Written;
    // libarchive's status when reading failed.
    int readStatus = 0;
    QString message;
    // The system's error when writing failed.
    std::error_code writeError;
};

// Streams the current entry's data into folder & name. The data goes to a
// fresh file of its own first, which takes the name only once the entry
// came out whole; on any failure nothing of the entry is left behind and an
// earlier file of that name is kept.
EntryWrite WriteEntry(archive* a, const QString& folder, const QString& name);

} // namespace FileOps
