#include "archives.h"

#include "containers/marray.h"
#include "containers/runtime_error.h"
#include "file_ops.h"
#include "handle_file.h"
#include "log/log.h"
#include "platform/platform.h"
#include "rar_control.h"
#include "state/globals.h"
#include "zip_bridge.h"

#include <QDir>

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

void LogFailure(const char* prefix, const QString& path, int number, const QString& description) {
    Error_Mod::LogError(QLatin1String(prefix), path, number, description);
}

// The temporary folders hold what players download: theirs alone.
void MakePrivateFolder(const QString& path) {
    QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Hands every file directly in dest to the dispatcher, the last one listed
// first, and adds up what they installed.
int InstallAll(const QString& dest) {
    MArray files = FileOps::ListFiles(dest + QStringLiteral("*.*"));
    int count = 0;
    while (files.Size() >= 1)
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

void ReportBadZip(const QString& path) {
    WriteLog(QStringLiteral("BAD ZIP: ") + path, Level::Skips);
    if (G().BadZipAlertBox)
        Error_Mod::ReportInfo(G().CurLang.ProperString(QStringLiteral("BADZIP"), path, {}, {}),
                              false);
}

} // namespace

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

namespace {

// A fresh extraction folder for the archive; "" when it lies too deep inside
// others or no folder could be made.
QString ExtractionFolder(const NestingLevel& level, const char* prefix, const QString& path) {
    if (level.TooDeep()) {
        LogFailure(prefix, path, OutOfStackSpace, TooDeepText);
        return {};
    }
    return MakeTemp();
}

} // namespace

int DoZip(const QString& path) {
    const NestingLevel level;
    const QString dest = ExtractionFolder(level, "DOZIP: ", path);
    if (dest.isEmpty())
        return 0;
    ArmZipBridge(path, dest);
    if (VBUnzBas::VBUnZip32() != VBUnzBas::UnzipCode::Ok)
        ReportBadZip(path);
    try {
        return InstallAll(dest);
    } catch (const RunTimeError& e) {
        LogFailure("DOZIP: ", path, e.Number(), e.Description());
        return 0;
    }
}

int DoRar(const QString& path) {
    const NestingLevel level;
    const QString dest = ExtractionFolder(level, "DORAR: ", path);
    if (dest.isEmpty())
        return 0;
    try {
        UnRar1::Extract(path, dest);
        return InstallAll(dest);
    } catch (const RunTimeError& e) {
        LogFailure("DORAR: ", path, e.Number(), e.Description());
        return 0;
    }
}

} // namespace BrushwickMod
