#include "rar_control.h"

#include "containers/runtime_error.h"
#include "entry_writer.h"
#include "file_ops.h"
#include "helper_unpack.h"
#include "platform/file_names.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

namespace UnRar1 {

namespace {

using FileOps::EntryKind;
using FileOps::EntryWrite;

// Old-style sets go name.rar, name.r00 ... name.r99.
constexpr int MaxOldStyleVolumes = 100;

bool IsFile(const QString& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(FileOps::ToFs(path), ec);
}

// The volumes to read for the archive at path, first volume first; empty
// when path is a later volume whose set is read from its first one.
QStringList VolumeSet(const QString& path) {
    static const QRegularExpression numbered(QStringLiteral("^(.*\\.part)(\\d+)(\\.rar)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = numbered.match(path);
    QStringList volumes{path};
    if (m.hasMatch()) {
        const qsizetype width = m.capturedLength(2);
        const auto volume = [&](int number) {
            return m.captured(1) + QString::number(number).rightJustified(width, QLatin1Char('0')) +
                   m.captured(3);
        };
        const int number = m.captured(2).toInt();
        if (number > 1) {
            if (IsFile(volume(1)))
                return {};
            throw RunTimeError(InvalidFileFormat,
                               QStringLiteral("Volume ") + QString::number(number) +
                                   QStringLiteral(" of a set whose first volume is missing"));
        }
        for (int next = 2; IsFile(volume(next)); ++next)
            volumes.append(volume(next));
        return volumes;
    }
    if (!path.endsWith(QStringLiteral(".rar"), Qt::CaseInsensitive))
        return volumes;
    // name.rar followed by name.r00, name.r01 ... in the case of its extension.
    const QString stem = path.left(path.size() - 3);
    const QChar r = path.at(path.size() - 3);
    for (int next = 0; next < MaxOldStyleVolumes; ++next) {
        const QString candidate =
            stem + r + QString::number(next).rightJustified(2, QLatin1Char('0'));
        if (!IsFile(candidate))
            break;
        volumes.append(candidate);
    }
    return volumes;
}

int Open(archive* a, const QStringList& volumes) {
    if (volumes.size() == 1)
        return FileOps::OpenArchiveFile(a, volumes.first());
    // Later volumes were found as regular files; the first must be one too.
    if (!IsFile(volumes.first())) {
        archive_set_error(a, EINVAL, "not a plain file");
        return ARCHIVE_FATAL;
    }
    std::vector<QByteArray> names;
    for (const QString& v : volumes)
        names.push_back(platform::FileNameBytes(v));
    std::vector<const char*> list;
    for (const QByteArray& n : names)
        list.push_back(n.constData());
    list.push_back(nullptr);
    return archive_read_open_filenames(a, list.data(), 64 * 1024);
}

// libarchive's way of saying it lacks a feature (rar4 solid archives,
// encryption, some compression of rar5 encrypted data).
bool Unsupported(const QString& message) {
    return message.contains(QStringLiteral("nsupported")) ||
           message.contains(QStringLiteral("unavailable")) ||
           message.contains(QStringLiteral("ncrypt"));
}

// One Extract call: what came out and what did not.
struct Extraction : FileOps::EntryReader {
    QString folder;
    Outcome outcome;
    // libarchive reads no encrypted rar: a password is asked for the helper.
    bool encrypted = false;
    // What libarchive lacks (encryption, some rar features) the helper may
    // have; a damaged archive is no better there.
    bool needsHelper = false;

    void Failed(const QString& entry, int number, const QString& description) {
        outcome.failures.append({entry, number, description});
    }
    void Damaged(const QString& entry, const QString& what) {
        Failed(entry, InvalidFileFormat,
               QStringLiteral("Invalid file format (") + what + QLatin1Char(')'));
    }

    bool Entry(archive* a, archive_entry* entry, const QString& name) override {
        if (FileOps::KindOf(entry) != EntryKind::File)
            return true;
        if (archive_entry_is_data_encrypted(entry)) {
            encrypted = needsHelper = true;
            Damaged(name, QStringLiteral("encrypted"));
            return true;
        }
        const QString base = FileOps::SafeBaseName(name);
        if (base.isEmpty()) {
            Damaged(name, QStringLiteral("unusable entry name"));
            return true;
        }
        const EntryWrite w = FileOps::WriteEntry(a, entry, folder, base);
        switch (w.outcome) {
        case EntryWrite::Outcome::Written:
            ++outcome.written;
            return true;
        case EntryWrite::Outcome::ReadFailed:
            needsHelper = needsHelper || Unsupported(w.message);
            Damaged(name, w.message);
            return w.readStatus != ARCHIVE_FATAL;
        case EntryWrite::Outcome::SizeMismatch:
            Damaged(name, w.message);
            return true;
        case EntryWrite::Outcome::NameRefused:
            Failed(name, ErrNo::PathFileAccess,
                   QStringLiteral("Path/File access error (") + w.message + QLatin1Char(')'));
            return true;
        case EntryWrite::Outcome::WriteFailed:
        case EntryWrite::Outcome::Stopped:
            // A full or failing disk will not get better for the next entry,
            // and an archive past its limits goes no further.
            Failed(name, w.number, w.description);
            return false;
        }
        return true;
    }
    void HeaderFailed(const QString& message, bool fatal) override {
        encrypted = encrypted || message.contains(QStringLiteral("ncrypt"));
        needsHelper = needsHelper || encrypted || Unsupported(message);
        Damaged({}, (fatal ? QStringLiteral("damaged or unsupported archive: ")
                           : QStringLiteral("damaged entry: ")) +
                        message);
    }
    void HeaderWarning(const QString&, const QString&) override {}
};

// What libarchive could not read, the helper tries with the whole archive;
// its files join (and replace) what came out, and each entry it brought out
// is no failure any more.
void Merge(Outcome& outcome, const FileOps::HelperOutcome& h) {
    QSet<QString> taken(h.taken.cbegin(), h.taken.cend());
    QList<Failure> left;
    for (const Failure& f : outcome.failures) {
        const bool resolved =
            f.entry.isEmpty() ? !taken.isEmpty() : taken.contains(FileOps::SafeBaseName(f.entry));
        if (!resolved)
            left.append(f);
        else if (!f.entry.isEmpty())
            ++outcome.written;
    }
    if (outcome.written == 0)
        outcome.written = int(taken.size());
    for (const QString& entry : h.failed) {
        if (std::none_of(left.cbegin(), left.cend(),
                         [&](const Failure& f) { return f.entry == entry; }))
            left.append({entry, InvalidFileFormat,
                         QStringLiteral("Invalid file format (unar could not unpack it)")});
    }
    outcome.failures = left;
}

// The helper's turn, with the password question as for zip archives.
void RetryWithHelper(const QString& archivePath, const QString& folder, bool encrypted,
                     Outcome& outcome) {
    using Result = FileOps::HelperOutcome::Result;
    const std::optional<FileOps::HelperOutcome> h =
        FileOps::UnpackAskingPassword(FileOps::Helper::Unar, archivePath, folder, encrypted);
    if (!h)
        return;
    switch (h->result) {
    case Result::NotInstalled:
        for (Failure& f : outcome.failures)
            f.description +=
                QStringLiteral(" - encrypted or unsupported rar archives need the program unar");
        return;
    case Result::PasswordRefused:
    case Result::Failed:
        return;
    case Result::Cancelled:
        // The run stops: no report for what was never tried.
        outcome.failures.clear();
        return;
    case Result::Stopped:
        Merge(outcome, *h);
        outcome.failures.append(
            {{}, ErrNo::DiskFull, QStringLiteral("Disk full (") + h->reason + QLatin1Char(')')});
        return;
    case Result::Unpacked:
        Merge(outcome, *h);
        return;
    }
}

} // namespace

QStringList Volumes(const QString& archivePath) {
    return VolumeSet(archivePath);
}

Outcome Extract(const QString& archivePath, const QString& folder) {
    if (folder.isEmpty())
        throw RunTimeError(ErrNo::PathNotFound, QStringLiteral("No extraction folder"));
    const QStringList volumes = VolumeSet(archivePath);
    if (volumes.isEmpty())
        return {};

    FileOps::ArchiveReading reading;
    archive* a = reading.get();
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    if (Open(a, volumes) != ARCHIVE_OK) {
        if (archive_errno(a) == ENOENT)
            throw RunTimeError(ErrNo::FileNotFound, QStringLiteral("File not found"));
        throw RunTimeError(InvalidFileFormat,
                           QStringLiteral("Not a rar archive: ") + FileOps::ArchiveError(a));
    }
    Extraction x;
    x.folder = folder.endsWith(FileOps::Sep()) ? folder : folder + FileOps::Sep();
    FileOps::ReadEntries(a, x, archivePath);
    if (x.needsHelper)
        RetryWithHelper(volumes.first(), x.folder, x.encrypted, x.outcome);
    return x.outcome;
}

} // namespace UnRar1
