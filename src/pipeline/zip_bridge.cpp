#include "zip_bridge.h"

#include "entry_writer.h"
#include "file_ops.h"
#include "platform/platform.h"
#include "state/globals.h"

#include <QDateTime>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace VBUnzBas {

namespace {

using FileOps::EntryKind;
using FileOps::EntryWrite;
using Opt = ZipBridgeState::Option;

// Names handed to the callbacks are read up to this many bytes.
constexpr qint32 NameBytes = 256;
constexpr int ListWidth = 80;

QString TextOf(const char* bytes, qint32 size) {
    if (!bytes || size <= 0)
        return {};
    return QString::fromLocal8Bit(bytes, static_cast<qsizetype>(qstrnlen(bytes, size)));
}

// Puts text into line from column (counted from 1) on, never past its end.
void PutAt(QString& line, int column, const QString& text) {
    const qsizetype room = std::min<qsizetype>(text.size(), line.size() - (column - 1));
    if (room > 0)
        line.replace(column - 1, room, text.left(room));
}

QString TwoDigits(quint32 value, QChar fill) {
    return QString::number(value).rightJustified(2, fill);
}

qint32 Clamp32(la_int64_t value) {
    return static_cast<qint32>(
        std::clamp<la_int64_t>(value, 0, std::numeric_limits<qint32>::max()));
}

// One VBUnZip32 call: what it was told, where it stands, what went wrong first.
struct Extraction : FileOps::EntryReader {
    explicit Extraction(ZipBridgeState& state) : zip(state) {}

    ZipBridgeState& zip;
    QString folder;
    bool listing = false;
    QString entryName;
    std::array<char, PasswordBufferSize> password{};
    qint32 code = UnzipCode::Ok;
    bool replaceNone = false;

    void Print(const QString& text) {
        const QByteArray bytes = text.toLocal8Bit();
        UnzipPrint(bytes.constData(), static_cast<qint32>(bytes.size()));
    }
    // Keeps the first failure as the result; every one is reported.
    void Fail(qint32 failure, const QString& name, const QString& reason) {
        if (code == UnzipCode::Ok)
            code = failure;
        Print(name + QStringLiteral(": ") + reason + QLatin1Char('\n'));
    }

    bool Entry(archive* a, archive_entry* entry, const QString& name) override;
    void HeaderFailed(const QString& message, bool fatal) override {
        Fail(fatal ? UnzipCode::BadError : UnzipCode::Error, zip.ZipName, message);
    }
    void HeaderWarning(const QString& name, const QString& message) override {
        Print(name + QStringLiteral(": ") + message + QLatin1Char('\n'));
    }
};

// libarchive asks for a password whenever an encrypted entry needs one,
// again after a wrong one; nullptr gives up on the entry.
const char* AskPassword(archive*, void* data) {
    auto* x = static_cast<Extraction*>(data);
    const QByteArray name = x->entryName.toLocal8Bit();
    if (UnzipPassword(x->password.data(), PasswordBufferSize,
                      "Enter password: ", name.constData()) != 0)
        return nullptr;
    return x->password.data();
}

// Whether the entry may be written where a file of its name already is.
bool MayReplace(Extraction& x, const QString& target) {
    if (!FileOps::PathTaken(target) || x.zip.UnzipOptions[Opt::noflag])
        return true;
    if (x.replaceNone || !x.zip.UnzipOptions[Opt::PromptToOverwrite])
        return false;
    const QByteArray name = x.entryName.toLocal8Bit();
    switch (UnzipReplace(name.constData())) {
    case Replace::No:
        return false;
    case Replace::None:
        x.replaceNone = true;
        return false;
    default:
        return true;
    }
}

void ListEntry(archive_entry* entry, const QByteArray& name) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry));
    const quint32 size = static_cast<quint32>(Clamp32(archive_entry_size(entry)));
    UnzipListEntry(size, 0, 0, when.date().month(), when.date().day(), when.date().year(),
                   when.time().hour(), when.time().minute(), ' ', name.constData(), "", 0,
                   archive_entry_is_encrypted(entry) ? 'E' : ' ');
}

qint32 ReadFailure(archive_entry* entry, const EntryWrite& w) {
    if (archive_entry_is_data_encrypted(entry))
        return UnzipCode::BadPassword;
    return w.readStatus == ARCHIVE_FATAL ? UnzipCode::BadError : UnzipCode::Error;
}

// Handles the entry whose header was just read; false ends the archive.
bool Extraction::Entry(archive* a, archive_entry* entry, const QString& name) {
    Extraction& x = *this;
    x.entryName = name;
    const QByteArray nameBytes = x.entryName.toLocal8Bit();
    UnzipService(nameBytes.constData(), Clamp32(archive_entry_size(entry)));
    if (x.listing) {
        ListEntry(entry, nameBytes);
        return true;
    }
    switch (FileOps::KindOf(entry)) {
    case EntryKind::File:
        break;
    case EntryKind::Folder:
        return true;
    case EntryKind::Link:
    case EntryKind::Other:
        x.Print(x.entryName + QStringLiteral(": not a plain file, not created\n"));
        return true;
    }
    const QString base = FileOps::SafeBaseName(x.entryName);
    if (base.isEmpty()) {
        x.Fail(UnzipCode::Warning, x.entryName, QStringLiteral("unusable name, left out"));
        return true;
    }
    if (!MayReplace(x, x.folder + base))
        return true;
    const EntryWrite w = FileOps::WriteEntry(a, entry, x.folder, base);
    switch (w.outcome) {
    case EntryWrite::Outcome::Written:
        return true;
    case EntryWrite::Outcome::ReadFailed:
        x.Fail(ReadFailure(entry, w), x.entryName, w.message);
        return w.readStatus != ARCHIVE_FATAL;
    case EntryWrite::Outcome::SizeMismatch:
        x.Fail(UnzipCode::Error, x.entryName, w.message);
        return true;
    case EntryWrite::Outcome::WriteFailed:
    case EntryWrite::Outcome::Stopped:
        // A full or failing disk will not get better for the next entry,
        // and an archive past its limits goes no further.
        x.Fail(UnzipCode::DiskFull, x.entryName, w.message);
        if (x.zip.StopNumber == 0) {
            x.zip.StopNumber = w.number;
            x.zip.StopDescription = w.description;
        }
        return false;
    case EntryWrite::Outcome::NameRefused:
        x.Fail(UnzipCode::Warning, x.entryName, w.message);
        return true;
    }
    return true;
}

} // namespace

qint32 VBUnZip32() {
    ZipBridgeState& zip = G().Zip;
    zip.StopNumber = 0;
    zip.StopDescription.clear();
    Extraction x(zip);
    x.folder = zip.ExtractDir;
    x.listing = zip.UnzipOptions[Opt::nvflag] != 0;
    if (!x.listing) {
        // Never the current folder or anywhere else by accident.
        if (x.folder.isEmpty())
            return UnzipCode::BadParameter;
        if (!x.folder.endsWith(FileOps::Sep()))
            x.folder += FileOps::Sep();
    }

    FileOps::ArchiveReading reading;
    archive* a = reading.get();
    archive_read_support_format_zip(a);
    // Names without the UTF-8 mark come from DOS-era tools and their code page.
    archive_read_set_options(a, "zip:hdrcharset=CP437");
    archive_read_set_passphrase_callback(a, &x, AskPassword);
    if (FileOps::OpenArchiveFile(a, zip.ZipName) != ARCHIVE_OK) {
        x.Fail(UnzipCode::NotAZip, zip.ZipName, FileOps::ArchiveError(a));
        return x.code;
    }
    FileOps::ReadEntries(a, x, zip.ZipName);
    return x.code;
}

qint32 UnzipPrint(const char* buffer, qint32 size) {
    QString text = TextOf(buffer, size);
    if (text.startsWith(QLatin1Char('\n')))
        text = QStringLiteral("\r\n");
    G().Zip.UnzipMessages += text;
    return 0;
}

qint32 UnzipService(const char* name, qint32 size) {
    // The entry is seen and let through; nothing is kept of it.
    TextOf(name, size);
    return 0;
}

bool AskArchivePassword(QString& answer) {
    ZipBridgeState& zip = G().Zip;
    answer.clear();
    if (zip.UnzipSkipPassword == 1)
        return false;
    const bool given =
        platform::prompts().InputBox(QStringLiteral("Please Enter The Password!"), AppTitle, answer,
                                     true, G().CurLang.SeeByName(QStringLiteral("SHOWPASSWORD")));
    if (!given || answer.isEmpty()) {
        // One empty answer stands for the rest of the program run.
        zip.UnzipSkipPassword = 1;
        answer.clear();
        return false;
    }
    return true;
}

qint32 UnzipPassword(char* p, qint32 n, const char*, const char*) {
    QString answer;
    if (!AskArchivePassword(answer))
        return 1;
    if (!p || n <= 0)
        return 1;
    std::memset(p, 0, static_cast<size_t>(n));
    // Cut to the buffer, keeping room for the closing zero.
    const QByteArray bytes = answer.toLocal8Bit().left(n - 1);
    std::memcpy(p, bytes.constData(), static_cast<size_t>(bytes.size()));
    return 0;
}

qint32 UnzipReplace(const char* name) {
    const int answer = platform::prompts().MsgBox(
        QStringLiteral("Overwrite ") + TextOf(name, NameBytes) + QLatin1Char('?'),
        platform::Box::YesNoCancel | platform::Box::Exclamation,
        QStringLiteral("VBUnZip32 - File Already Exists!"));
    if (answer == platform::Box::No)
        return Replace::No;
    if (answer == platform::Box::Cancel)
        return Replace::None;
    return Replace::Yes;
}

void UnzipListEntry(quint32 ucsize, quint32, quint32, quint32 mo, quint32 dy, quint32 yr,
                    quint32 hh, quint32 mm, char, const char* filename, const char*, quint32,
                    char) {
    ZipBridgeState& zip = G().Zip;
    QString line(ListWidth, QLatin1Char(' '));
    if (zip.UnzipListCount == 0) {
        PutAt(line, 1, QStringLiteral("Filename:"));
        PutAt(line, 53, QStringLiteral("Size"));
        PutAt(line, 62, QStringLiteral("Date"));
        PutAt(line, 71, QStringLiteral("Time"));
        zip.UnzipListing = line + QStringLiteral("\r\n");
        line = QString(ListWidth, QLatin1Char(' '));
    }
    PutAt(line, 1, TextOf(filename, NameBytes).left(50));
    PutAt(line, 51, QString::number(ucsize).right(7).rightJustified(7, QLatin1Char(' ')));
    PutAt(line, 60, TwoDigits(mo, QLatin1Char('0')) + QLatin1Char('/'));
    PutAt(line, 63, TwoDigits(dy, QLatin1Char('0')) + QLatin1Char('/'));
    PutAt(line, 66, TwoDigits(yr % 100, QLatin1Char('0')));
    PutAt(line, 70, TwoDigits(hh, QLatin1Char(' ')) + QLatin1Char(':'));
    PutAt(line, 73, TwoDigits(mm, QLatin1Char('0')));
    zip.UnzipListing += line + QStringLiteral("\r\n");
    ++zip.UnzipListCount;
}

} // namespace VBUnzBas
