#pragma once

#include <QString>

#include <memory>

struct archive;
struct archive_entry;

// What every archive format shares: reading an archive's entries with
// libarchive, one read loop for all of them, and turning entries into plain
// files in one folder, and nothing else.
namespace FileOps {

// libarchive converts names through the thread's locale. Under a plain C
// locale (a cron or systemd start, some desktop logins) every name that is
// not ASCII would be lost; while a reading lives, this thread uses UTF-8.
class Utf8Names {
public:
    Utf8Names();
    ~Utf8Names();
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    void* previous_ = nullptr;
};

struct ArchiveReadFree {
    void operator()(archive* a) const;
};

// One archive being read: the libarchive handle, with the thread's names
// in UTF-8 for as long as it lives.
class ArchiveReading {
public:
    ArchiveReading();
    archive* get() const { return reader_.get(); }

private:
    Utf8Names names_;
    std::unique_ptr<archive, ArchiveReadFree> reader_;
};

// Opens one archive file for reading (seekable, so zip central directories
// are honoured); returns libarchive's status. Only a regular file is opened.
int OpenArchiveFile(archive* a, const QString& path);

// libarchive's last error, or a stand-in when it gave none.
QString ArchiveError(archive* a);

// Only regular files are ever created; everything else is left out.
enum class EntryKind { File, Folder, Link, Other };
EntryKind KindOf(archive_entry* entry);

// A stored name as text: UTF-8 where it is valid; any other byte written
// as %XX (and then '%' itself as %25), so the name stays readable and safe
// and can be told back.
QString DecodeEntryName(const QByteArray& bytes);

// The last part of an entry name, "/" and "\" both counting as separators;
// "" when nothing usable is left ("", "." or "..").
QString SafeBaseName(const QString& entryName);

struct EntryWrite {
    // NameRefused: the file system takes no file of that name (too long, or
    // characters it does not allow); the entry is left out. Stopped: the
    // disk's reserve or the archive's size limit. SizeMismatch: the data
    // came out shorter or longer than the archive declares.
    enum class Outcome { Written, ReadFailed, WriteFailed, NameRefused, Stopped, SizeMismatch };
    Outcome outcome = Outcome::Written;
    // libarchive's status when reading failed.
    int readStatus = 0;
    QString message;
    // For a failed write or a stop: the classic error (61 "Disk full (why)"
    // for a stop or a full disk).
    int number = 0;
    QString description;
};

// Streams the current entry's data into folder & name. The data goes to a
// fresh file of its own first, which takes the name only once the entry
// came out whole and as long as the archive says; on any failure nothing
// of the entry is left behind and an earlier file of that name is kept.
EntryWrite WriteEntry(archive* a, archive_entry* entry, const QString& folder, const QString& name);

// What the read loop hands to the format's own code.
class EntryReader {
public:
    virtual ~EntryReader() = default;
    // A header was read; name is the entry's stored name as text. False
    // ends the archive.
    virtual bool Entry(archive* a, archive_entry* entry, const QString& name) = 0;
    // A header could not be read: the whole archive (fatal) or one entry.
    virtual void HeaderFailed(const QString& message, bool fatal) = 0;
    // A header came with a warning; the entry is handed over all the same.
    virtual void HeaderWarning(const QString& name, const QString& message) = 0;
};

// The one read loop over an open archive: return codes by grade (a warning
// is passed on, a failed header skips its entry, a fatal one ends the
// archive, and so many failed headers that the archive is beyond use end it
// too). archivePath lets a zip entry whose name libarchive could not
// convert be read under the bytes its directory stores.
void ReadEntries(archive* a, EntryReader& reader, const QString& archivePath);

} // namespace FileOps
