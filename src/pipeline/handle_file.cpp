#include "handle_file.h"

#include "archives.h"
#include "containers/runtime_error.h"
#include "file_ops.h"
#include "install_copy.h"
#include "log/log.h"
#include "platform/platform.h"
#include "report.h"
#include "sims2pack_install.h"
#include "state/globals.h"

#include <array>

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

enum class Way { ShellPack, ShellSkin, Package, Rar, Zip, Program, SevenZip, Unhandled };

// Files are sorted by the last four characters of their path, lower-cased,
// which end in the rule's key; the first match wins. "pack", "skin" and
// "kage" have no dot on purpose; ".7z" is one character shorter.
struct Rule {
    const char* key;
    Way way;
};
constexpr std::array<Rule, 7> DispatchTable{{
    {"pack", Way::ShellPack},
    {"skin", Way::ShellSkin},
    {"kage", Way::Package},
    {".rar", Way::Rar},
    {".zip", Way::Zip},
    {".exe", Way::Program},
    {".7z", Way::SevenZip},
}};

// How long the game's installer gets before the next file is handed over.
constexpr int InstallerPauseMs = 5000;

Way WayFor(const QString& path) {
    const QString key = path.right(4).toLower();
    for (const Rule& rule : DispatchTable) {
        if (key.endsWith(QLatin1String(rule.key)))
            return rule.way;
    }
    return Way::Unhandled;
}

int OfferProgram(const QString& path, const QString& name) {
    WriteLog(QStringLiteral("EXE: ") + path, Level::Verbose);
    if (G().SkipEXEs) {
        WriteLog(QStringLiteral("SkipEXEs: ") + path, Level::Skips);
        Report(path, Outcome::ProgramSkipped);
        return 0;
    }
    const QString question = G().CurLang.ProperString(QStringLiteral("EXEQUERY"), name, {}, {});
    const int answer = platform::prompts().MsgBox(
        question, platform::Box::YesNo | platform::Box::Information, AppTitle);
    if (answer == platform::Box::Yes) {
        WriteLog(QStringLiteral("Execution approved"), Level::Verbose);
        platform::shell().StartProgram(path);
        G().Run.handedOver.insert(FileOps::GetFolder(path));
        Report(path, Outcome::ProgramRun);
        Error_Mod::ReportInfo(G().CurLang.SeeByName(QStringLiteral("EXEPOST")), false);
    } else {
        WriteLog(QStringLiteral("EXE: ") + path + QStringLiteral(" manually skipped"),
                 Level::Skips);
        Report(path, Outcome::ProgramSkipped);
    }
    // A program that was run is not counted as installed.
    return 0;
}

// The game's installer gets its pause only when it really got the file.
int HandToInstaller(const QString& path) {
    if (!ShellOpen(path))
        return 0;
    platform::process().Sleep(InstallerPauseMs);
    return 1;
}

int Dispatch(const QString& path, const QString& name) {
    switch (WayFor(path)) {
    case Way::ShellPack: {
        WriteLog(QStringLiteral("Sims2Pack: ") + path, Level::Skips);
        const int installed = G().Sims2PackSelf ? InstallSims2Pack(path) : -1;
        return installed >= 0 ? installed : HandToInstaller(path);
    }
    case Way::ShellSkin:
        WriteLog(QStringLiteral("Sims2Skin: ") + path, Level::Skips);
        return HandToInstaller(path);
    case Way::Package: {
        const QString destination = G().SimsPath + name;
        WriteLog(QStringLiteral("Package: ") + path + QStringLiteral(" -> ") + destination,
                 Level::Skips);
        return HandleFileCopy(path, destination);
    }
    case Way::Rar:
        WriteLog(QStringLiteral("RAR: ") + path, Level::Verbose);
        return DoRar(path);
    case Way::Zip:
        WriteLog(QStringLiteral("ZIP: ") + path, Level::Verbose);
        return DoZip(path);
    case Way::Program:
        return OfferProgram(path, name);
    case Way::SevenZip:
        WriteLog(QStringLiteral("7Z: ") + path, Level::Verbose);
        return Do7z(path);
    case Way::Unhandled:
        break;
    }
    WriteLog(QStringLiteral("UNHANDLED: ") + path, Level::Skips);
    Report(path, Outcome::Unhandled);
    return 0;
}

} // namespace

bool ShellOpen(const QString& path) {
    try {
        platform::shell().OpenDocument(path);
        // The program that got it may still read it: its folder stays.
        G().Run.handedOver.insert(FileOps::GetFolder(path));
        Report(path, Outcome::HandedToInstaller);
        return true;
    } catch (const RunTimeError& e) {
        // Nothing took the file: it is not installed, and the log says why.
        Error_Mod::LogError(QStringLiteral("SHELLOPEN: "), path, e.Number(), e.Description());
        Report(path, Outcome::Failed, e.Description());
        return false;
    }
}

int HandleFile(const QString& path) {
    FileHandled();
    // A pipe or device named like a package would block the run for good,
    // and a Mac's resource-fork twin is no game file: neither is opened as
    // what its name says.
    const FileOps::FileKind kind = FileOps::KindOfFile(path);
    if (kind == FileOps::FileKind::Special || kind == FileOps::FileKind::AppleDouble) {
        WriteLog(QStringLiteral("UNHANDLED: ") + path, Level::Skips);
        Report(path, Outcome::Unhandled);
        return 0;
    }
    FileOps::SetAttrNormal(path);
    const QString name = FileOps::GetFileName(path);
    try {
        return Dispatch(path, name);
    } catch (const RunTimeError& e) {
        Error_Mod::LogError(QStringLiteral("HANDLEFILE: "), path, e.Number(), e.Description());
        Report(path, Outcome::Failed, e.Description());
        return 0;
    }
}

} // namespace BrushwickMod
