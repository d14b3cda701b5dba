#include "archives.h"

#include "containers/marray.h"
#include "containers/runtime_error.h"
#include "file_ops.h"
#include "handle_file.h"
#include "log/log.h"
#include "platform/platform.h"
#include "rar_control.h"
#include "report.h"
#include "seven_zip.h"
#include "state/globals.h"
#include "unpack_guard.h"
#include "zip_bridge.h"

#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// How many archives are being unpacked right now, one inside the other.
int nesting = 0;

class NestingLevel {
public:
    NestingLevel() { ++nesting; }
    ~NestingLevel() { --nesting; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;
    bool TooDeep() const { return nesting > MaxNesting; }
};

const QString TooDeepText = QStringLiteral("Out of stack space (archive inside more than ") +
                            QString::number(MaxNesting) + QStringLiteral(" others, left packed)");

// The temporary folders hold what players download: theirs alone.
void MakePrivateFolder(const QString& path) {
    std::error_code ec;
    if (fs::create_directory(FileOps::ToFs(path), ec))
        fs::permissions(FileOps::ToFs(path), fs::perms::owner_all, fs::perm_options::replace, ec);
}

std::function<void(const QString&)> unpackedObserver;

// Hands every file directly in dest to the dispatcher, the last one listed
// first, and adds up what they installed. An archive inside that makes this
// one cross its limit has been reported; the rest stays packed.
int InstallAll(const QString& dest, const FileOps::UnpackGuard& guard) {
    if (unpackedObserver)
        unpackedObserver(dest);
    MArray files = FileOps::ListFiles(dest + QStringLiteral("*.*"));
    const bool crossedByItself = guard.Exceeded();
    int count = 0;
    while (files.Size() >= 1 && (crossedByItself || !guard.Exceeded()) &&
           !RunControl::StopRequested())
        count += HandleFile(files.Pop());
    return count;
}

void ArmZipBridge(const QString& path, const QString& dest) {
    using Opt = ZipBridgeState::Option;
    ZipBridgeState& zip = G().Zip;
    zip.UnzipMessages.clear();
    zip.UnzipListCount = 0;
    zip.UnzipOptions[Opt::PromptToOverwrite] = 0;
    zip.UnzipOptions[Opt::nzflag] = 0;
    zip.UnzipOptions[Opt::nvflag] = 0;
    zip.UnzipOptions[Opt::ndflag] = 0;
    zip.UnzipOptions[Opt::noflag] = 1;
    zip.IncludeList = {};
    zip.IncludeCount = 0;
    zip.ExcludeList = {};
    zip.ExcludeCount = 0;
    zip.ZipName = path;
    zip.ExtractDir = dest;
}

// The bad-archive report: its line (prefix & path), the BADZIP box unless
// switched off or silenced for the run, and the run report.
void ReportBadArchive(const QString& prefix, const QString& path, const QString& why) {
    WriteLog(prefix + path, Level::Skips);
    Report(path, Outcome::ArchiveBad, why);
    if (G().BadZipAlertBox)
        Error_Mod::ReportInfoOnce(G().CurLang.ProperString(QStringLiteral("BADZIP"), path, {}, {}),
                                  G().Run.quietBadArchives);
}

// What every archive shares: a fresh folder of its own (unless it lies too
// deep inside others), the disk guard from unpacking until its files are
// handled, and the folder's removal afterwards. unpack fills the folder.
int UnpackAndInstall(const QString& prefix, const QString& path, const QStringList& volumes,
                     const std::function<void(const QString& dest)>& unpack) {
    const NestingLevel level;
    if (level.TooDeep()) {
        Error_Mod::LogError(prefix, path, OutOfStackSpace, TooDeepText);
        Report(path, Outcome::LeftPacked, TooDeepText);
        return 0;
    }
    const QString dest = MakeTemp();
    if (dest.isEmpty())
        return 0;
    int count = 0;
    {
        const FileOps::UnpackGuard guard(volumes, dest);
        const ArchiveInChain inChain(path, dest);
        try {
            unpack(dest);
            count = InstallAll(dest, guard);
        } catch (const RunTimeError& e) {
            Error_Mod::LogError(prefix, path, e.Number(), e.Description());
            Report(path, Outcome::ArchiveBad, e.Description());
            count = 0;
        }
    }
    RemoveExtractionFolder(dest);
    return count;
}

} // namespace

// An archive's folder goes as soon as its files are handled, so unpacked
// packages are not kept twice and the temporary root does not grow from
// run to run. A folder holding a file another program got (the game's
// installer may still be reading it) stays for the next start.
void RemoveExtractionFolder(const QString& dest) {
    if (G().Run.handedOver.contains(dest))
        return;
    std::error_code ec;
    fs::remove_all(FileOps::ToFs(dest), ec);
    WriteLog(QStringLiteral("CLEANUP: ") + dest, Level::Debug);
}

void SetUnpackedObserver(std::function<void(const QString& folder)> observer) {
    unpackedObserver = std::move(observer);
}

QString TemporaryRoot() {
    const QString sep = FileOps::Sep();
    return platform::process().DriveFolder() + sep + QStringLiteral("temp") + sep +
           QStringLiteral("brushwick") + sep;
}

QString MakeTemp() {
    const QString root = TemporaryRoot().chopped(1);
    const QString temp = FileOps::GetFolder(root).chopped(1);
    QString probe = temp;
    if (!FileOps::FolderExists(probe)) {
        WriteLog(QStringLiteral("MAKETEMP: Mkdir ") + temp, Level::Debug);
        MakePrivateFolder(temp);
    }
    probe = root;
    if (!FileOps::FolderExists(probe)) {
        WriteLog(QStringLiteral("MAKETEMP: ") + root, Level::Debug);
        MakePrivateFolder(root);
    }

    const QString& stem = G().TidselTemp;
    if (stem.isEmpty()) {
        // Without a stem the folder would land wherever the program stands.
        WriteLog(QStringLiteral("MAKETEMP: No temporary root"), Level::Errors);
        return {};
    }
    // Seeded once: names drawn within one clock tick must still differ.
    platform::process().Randomize();
    for (int tries = 0; tries < MakeTempTries; ++tries) {
        const int n = static_cast<int>(9901 * platform::process().Rnd() + 99);
        QString name = stem + QString::number(n) + QLatin1Char('d');
        WriteLog(QStringLiteral("MAKETEMP: ") + name + QLatin1Char('?'), Level::Debug);
        if (!FileOps::FolderExists(name)) {
            WriteLog(QStringLiteral("MAKETEMP: ") + name, Level::Debug);
            MakePrivateFolder(name);
            return name;
        }
    }
    // An existing folder is never handed out: its files belong to another archive.
    WriteLog(QStringLiteral("MAKETEMP: No free folder after ") + QString::number(MakeTempTries) +
                 QStringLiteral(" tries"),
             Level::Errors);
    return {};
}

int DoZip(const QString& path) {
    const QString prefix = QStringLiteral("DOZIP: ");
    return UnpackAndInstall(prefix, path, {path}, [&](const QString& dest) {
        ArmZipBridge(path, dest);
        if (VBUnzBas::VBUnZip32() != VBUnzBas::UnzipCode::Ok) {
            // A stop or a failed write has a number of its own; the bad-zip
            // report follows, and what came out whole is installed.
            const ZipBridgeState& zip = G().Zip;
            if (zip.StopNumber != 0)
                Error_Mod::LogError(prefix, path, zip.StopNumber, zip.StopDescription);
            ReportBadArchive(QStringLiteral("BAD ZIP: "), path,
                             zip.StopNumber != 0 ? zip.StopDescription
                                                 : zip.UnzipMessages.trimmed());
        }
    });
}

int DoRar(const QString& path) {
    const QString prefix = QStringLiteral("DORAR: ");
    QStringList volumes;
    try {
        volumes = UnRar1::Volumes(path);
    } catch (const RunTimeError& e) {
        Error_Mod::LogError(prefix, path, e.Number(), e.Description());
        return 0;
    }
    return UnpackAndInstall(prefix, path, volumes, [&](const QString& dest) {
        const UnRar1::Outcome outcome = UnRar1::Extract(path, dest);
        if (outcome.failures.isEmpty())
            return;
        const auto describe = [](const UnRar1::Failure& f) {
            return f.entry.isEmpty()
                       ? f.description
                       : f.description + QStringLiteral(" (") + f.entry + QLatin1Char(')');
        };
        // Nothing came out: one line for the archive, as ever.
        if (outcome.written == 0)
            throw RunTimeError(outcome.failures.first().number, describe(outcome.failures.first()));
        // The whole entries are installed; each one that failed says so.
        for (const UnRar1::Failure& f : outcome.failures) {
            Error_Mod::LogError(prefix, path, f.number, describe(f));
            Report(f.entry.isEmpty() ? path : path + QStringLiteral(" > ") + f.entry,
                   Outcome::ArchiveBad, f.description);
        }
    });
}

int Do7z(const QString& path) {
    const QString prefix = QStringLiteral("DO7Z: ");
    return UnpackAndInstall(prefix, path, {path}, [&](const QString& dest) {
        const FileOps::SevenZip::Result result = FileOps::SevenZip::Extract(path, dest);
        if (result.whole && result.stopNumber == 0)
            return;
        if (result.stopNumber != 0)
            Error_Mod::LogError(prefix, path, result.stopNumber, result.stopDescription);
        // The bad-archive report of zip archives, under the format's own name.
        ReportBadArchive(QStringLiteral("BAD 7Z: "), path,
                         result.stopNumber != 0 ? result.stopDescription : result.problem);
    });
}

} // namespace BrushwickMod
