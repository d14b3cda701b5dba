#include "entry_writer.h"

#include "containers/runtime_error.h"
#include "file_ops.h"
#include "part_file.h"
#include "platform/file_names.h"
#include "report.h"
#include "state/run_state.h"
#include "unpack_guard.h"
#include "zip_names.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

#ifdef Q_OS_UNIX
#include <locale.h>
#endif

namespace FileOps {

namespace {

// libarchive reads the archive in blocks of this size.
constexpr size_t ReadBlockSize = 64 * 1024;
// A header that fails is skipped; this many of them mean the archive is
// beyond use.
constexpr int MaxFailedHeaders = 100;

#ifdef Q_OS_UNIX
// The first UTF-8 locale the system has ("C.UTF-8" nearly everywhere).
locale_t Utf8Locale() {
    static const locale_t utf8 = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            if (const locale_t l = ::newlocale(LC_CTYPE_MASK, name, locale_t(nullptr)))
                return l;
        }
        return locale_t(nullptr);
    }();
    return utf8;
}
#endif

// The entry's name as libarchive converted it; a null text when it could not.
QString ConvertedName(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry))
        return QString::fromUtf8(utf8);
    if (const char* raw = archive_entry_pathname(entry))
        return DecodeEntryName(QByteArray(raw));
    return {};
}

EntryWrite ReadFailed(int status, const QString& message) {
    return EntryWrite{EntryWrite::Outcome::ReadFailed, status, message, 0, {}};
}

EntryWrite Failed(EntryWrite::Outcome outcome, const QString& message, int number = 0,
                  const QString& description = {}) {
    return EntryWrite{outcome, ARCHIVE_OK, message, number, description};
}

// The archive being read, for the window's progress.
struct Reading {
    archive* a = nullptr;
    QString path;
    qint64 size = 0;
    int percent = -1;
};
thread_local Reading reading;

void ShowProgress() {
    if (!reading.a || reading.size <= 0)
        return;
    const qint64 done = archive_filter_bytes(reading.a, -1);
    const int percent = int(std::clamp<qint64>(done * 100 / reading.size, 0, 100));
    if (percent == reading.percent)
        return;
    reading.percent = percent;
    BrushwickMod::ArchiveProgress(reading.path, percent);
}

// Writes size bytes, charged to the archives being unpacked; the reason
// when their limits stop it.
QString Put(PartFile& part, const char* data, qint64 size) {
    const QString stop = UnpackGuard::Charge(size);
    if (stop.isEmpty())
        part.Write(data, size);
    return stop;
}

// A hole in sparse data is written out: the file must have its full length.
QString PutZeros(PartFile& part, qint64 size) {
    static const char zeros[ReadBlockSize] = {};
    for (; size > 0; size -= qint64(ReadBlockSize)) {
        const QString stop = Put(part, zeros, std::min<qint64>(size, ReadBlockSize));
        if (!stop.isEmpty())
            return stop;
    }
    return {};
}

} // namespace

Utf8Names::Utf8Names() {
#ifdef Q_OS_UNIX
    if (const locale_t utf8 = Utf8Locale())
        previous_ = ::uselocale(utf8);
#endif
}

Utf8Names::~Utf8Names() {
#ifdef Q_OS_UNIX
    if (previous_)
        ::uselocale(static_cast<locale_t>(previous_));
#endif
}

void ArchiveReadFree::operator()(archive* a) const {
    archive_read_free(a);
}

ArchiveReading::ArchiveReading() : reader_(archive_read_new()) {}

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
    return text ? QString::fromUtf8(text) : QStringLiteral("damaged or unreadable archive");
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

QString DecodeEntryName(const QByteArray& bytes) {
    const QString text = platform::FileNameText(bytes);
    bool escaped = false;
    for (const QChar c : text)
        escaped = escaped || platform::EscapedByte(c) >= 0;
    if (!escaped)
        return text;
    QString name;
    for (const QChar c : text) {
        const int byte = platform::EscapedByte(c);
        if (byte >= 0)
            name += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        else if (c == QLatin1Char('%'))
            name += QStringLiteral("%25");
        else
            name += c;
    }
    return name;
}

QString SafeBaseName(const QString& entryName) {
    const qsizetype cut =
        std::max(entryName.lastIndexOf(QLatin1Char('/')), entryName.lastIndexOf(QLatin1Char('\\')));
    const QString base = entryName.mid(cut + 1);
    if (base.isEmpty() || base == QStringLiteral(".") || base == QStringLiteral(".."))
        return {};
    return base;
}

EntryWrite WriteEntry(archive* a, archive_entry* entry, const QString& folder,
                      const QString& name) {
    try {
        PartFile part(folder);
        // The entry's declared size is never trusted for memory: only the
        // data that really comes out is written, block by block.
        la_int64_t position = 0;
        for (;;) {
            const void* block = nullptr;
            size_t size = 0;
            la_int64_t offset = 0;
            const int status = archive_read_data_block(a, &block, &size, &offset);
            if (status == ARCHIVE_EOF)
                break;
            if (status != ARCHIVE_OK)
                return ReadFailed(status, ArchiveError(a));
            // Sparse data skips ahead; going back means the entry is broken.
            if (offset < position)
                return ReadFailed(ARCHIVE_FAILED, QStringLiteral("entry data out of order"));
            QString stop = PutZeros(part, offset - position);
            if (stop.isEmpty())
                stop = Put(part, static_cast<const char*>(block), static_cast<qint64>(size));
            ShowProgress();
            if (!stop.isEmpty()) {
                const QString why = QStringLiteral("Disk full (") + stop + QLatin1Char(')');
                return Failed(EntryWrite::Outcome::Stopped, name + QStringLiteral(": ") + why,
                              ErrNo::DiskFull, why);
            }
            position = offset + static_cast<la_int64_t>(size);
        }
        // A stored copy record, a cut-off download: the archive says more
        // (or less) than came out, and a short package would replace a good one.
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) != position)
            return Failed(EntryWrite::Outcome::SizeMismatch,
                          QStringLiteral("came out as %1 of %2 bytes")
                              .arg(position)
                              .arg(archive_entry_size(entry)));
        try {
            // Replaces an earlier file of the same name (the later entry
            // wins); a link of that name would be replaced, never followed.
            part.Commit(folder + name);
        } catch (const RunTimeError& e) {
            return Failed(EntryWrite::Outcome::NameRefused, QStringLiteral("cannot write ") + name +
                                                                QStringLiteral(": ") +
                                                                e.Description());
        }
        return {};
    } catch (const RunTimeError& e) {
        // The part file went with the failure.
        return Failed(EntryWrite::Outcome::WriteFailed,
                      QStringLiteral("cannot write ") + name + QStringLiteral(": ") +
                          e.Description(),
                      e.Number(), e.Description());
    }
}

void ReadEntries(archive* a, EntryReader& reader, const QString& archivePath) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(ToFs(archivePath), ec);
    const Reading outer = reading;
    reading = Reading{a, archivePath, ec ? 0 : qint64(size), -1};
    ShowProgress();
    struct Restore {
        Reading saved;
        ~Restore() { reading = saved; }
    } restore{outer};

    int failedHeaders = 0;
    // Headers handed out so far, as libarchive counts them.
    int index = 0;
    std::optional<QList<QByteArray>> zipNames;
    for (;; ++index) {
        // A stop lets the entry being written finish; the rest stays packed.
        if (RunControl::StopRequested())
            return;
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF)
            return;
        if (status == ARCHIVE_FATAL) {
            reader.HeaderFailed(ArchiveError(a), true);
            return;
        }
        if (status == ARCHIVE_FAILED) {
            reader.HeaderFailed(ArchiveError(a), false);
            if (++failedHeaders > MaxFailedHeaders)
                return;
            continue;
        }
        QString name = ConvertedName(entry);
        if (name.isNull() && (archive_format(a) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ZIP) {
            // Bytes behind the UTF-8 mark that are not UTF-8: libarchive
            // drops the name, the directory still has it.
            if (!zipNames)
                zipNames = ZipNamesInOrder(archivePath);
            if (index < zipNames->size())
                name = DecodeEntryName(zipNames->at(index));
        } else if (status == ARCHIVE_WARN) {
            reader.HeaderWarning(name, ArchiveError(a));
        }
        if (!reader.Entry(a, entry, name))
            return;
    }
}

} // namespace FileOps
