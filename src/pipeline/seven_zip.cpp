#include "seven_zip.h"

#include "containers/runtime_error.h"
#include "entry_writer.h"
#include "file_ops.h"
#include "helper_unpack.h"

#include <archive.h>
#include <archive_entry.h>

namespace FileOps::SevenZip {

namespace {

using FileOps::EntryKind;
using FileOps::EntryWrite;

struct Extraction : FileOps::EntryReader {
    QString folder;
    Result result;
    // libarchive decrypts no 7z: 7-Zip gets the archive, with a password.
    bool encrypted = false;

    void Problem(const QString& what) { result.Problem(what); }

    bool Entry(archive* a, archive_entry* entry, const QString& name) override {
        if (FileOps::KindOf(entry) != EntryKind::File)
            return true;
        if (archive_entry_is_encrypted(entry)) {
            encrypted = true;
            Problem(name + QStringLiteral(": encrypted"));
            return true;
        }
        const QString base = FileOps::SafeBaseName(name);
        if (base.isEmpty()) {
            Problem(name + QStringLiteral(": unusable name, left out"));
            return true;
        }
        const EntryWrite w = FileOps::WriteEntry(a, entry, folder, base);
        switch (w.outcome) {
        case EntryWrite::Outcome::Written:
            return true;
        case EntryWrite::Outcome::ReadFailed:
            encrypted = encrypted || w.message.contains(QStringLiteral("ncrypt"));
            Problem(name + QStringLiteral(": ") + w.message);
            return w.readStatus != ARCHIVE_FATAL;
        case EntryWrite::Outcome::SizeMismatch:
        case EntryWrite::Outcome::NameRefused:
            Problem(name + QStringLiteral(": ") + w.message);
            return true;
        case EntryWrite::Outcome::WriteFailed:
        case EntryWrite::Outcome::Stopped:
            Problem(w.message);
            result.stopNumber = w.number;
            result.stopDescription = w.description;
            return false;
        }
        return true;
    }
    void HeaderFailed(const QString& message, bool) override {
        encrypted = encrypted || message.contains(QStringLiteral("ncrypt"));
        Problem(message);
    }
    void HeaderWarning(const QString&, const QString&) override {}
};

// 7-Zip's turn, with the password question as for zip archives.
void UnpackEncrypted(const QString& archivePath, const QString& folder, Result& result) {
    using Outcome = FileOps::HelperOutcome::Result;
    const std::optional<FileOps::HelperOutcome> h =
        FileOps::UnpackAskingPassword(FileOps::Helper::SevenZip, archivePath, folder, true);
    if (!h)
        return;
    switch (h->result) {
    case Outcome::NotInstalled:
        result.problem += QStringLiteral(
            " - encrypted 7z archives need the program 7z (package 7zip or p7zip-full)");
        return;
    case Outcome::PasswordRefused:
        return;
    case Outcome::Cancelled:
        // The run stops: no report for what was never tried.
        result = Result{};
        return;
    case Outcome::Failed:
        result.problem = h->reason;
        return;
    case Outcome::Stopped:
        result.stopNumber = ErrNo::DiskFull;
        result.stopDescription = QStringLiteral("Disk full (") + h->reason + QLatin1Char(')');
        return;
    case Outcome::Unpacked:
        result = Result{};
        for (const QString& entry : h->failed)
            result.Problem(entry + QStringLiteral(": 7-Zip could not unpack it"));
        return;
    }
}

} // namespace

Result Extract(const QString& archivePath, const QString& folder) {
    Extraction x;
    x.folder = folder.endsWith(FileOps::Sep()) ? folder : folder + FileOps::Sep();
    FileOps::ArchiveReading reading;
    archive* a = reading.get();
    archive_read_support_format_7zip(a);
    if (FileOps::OpenArchiveFile(a, archivePath) != ARCHIVE_OK) {
        x.encrypted = FileOps::ArchiveError(a).contains(QStringLiteral("ncrypt"));
        x.Problem(FileOps::ArchiveError(a));
    } else {
        FileOps::ReadEntries(a, x, archivePath);
    }
    if (x.encrypted && x.result.stopNumber == 0)
        UnpackEncrypted(archivePath, x.folder, x.result);
    return x.result;
}

} // namespace FileOps::SevenZip
