#include "install_copy.h"

#include "containers/runtime_error.h"
#include "file_ops.h"
#include "log/log.h"
#include "platform/globals.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// True when the existing destination may be replaced.
bool OverwriteAllowed(const QString& destination) {
    FileOps::SetAttrNormal(destination);
    WriteLog(QStringLiteral("FILE EXISTS: ") + destination, Level::Debug);
    if (G().ConfirmOverwrites) {
        const QString question =
            G().CurLang.ProperString(QStringLiteral("FILEEXISTS"), destination, {}, {});
        const int answer =
            platform::prompts().MsgBox(question, platform::Box::YesNo | platform::Box::Question,
                                       AppTitle + QStringLiteral(" File Management Wizard"));
        if (answer == platform::Box::No) {
            WriteLog(QStringLiteral("OVERWRITE REJECTED"), Level::Verbose);
            return false;
        }
        return true;
    }
    if (G().RejectOverwrites) {
        WriteLog(QStringLiteral("OVERWRITE AUTO-REJECTED"), Level::Debug);
        return false;
    }
    return true;
}

// Copies to a name that is free. The file is created anew (a link or a file
// that appeared there meanwhile makes the copy fail, never be written
// through), and a copy that fails half way takes its file with it.
void CopyToFreeName(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::copy_file(from, to, ec);
    if (ec) {
        if (ec != std::errc::file_exists) {
            std::error_code ignored;
            fs::remove(to, ignored);
        }
        FileOps::Raise(ec);
    }
}

// Copies through a temporary file in the destination's folder and renames it
// over the destination, so a failed copy leaves an existing file as it was.
void CopyOver(const fs::path& from, const fs::path& to, const QString& destination) {
    fs::path part = to;
    part.replace_filename(FileOps::ToFs(QStringLiteral(".~") + FileOps::GetFileName(destination) +
                                        QStringLiteral(".part")));
    std::error_code ec;
    // A leftover of an earlier attempt goes first.
    fs::remove(part, ec);
    if (ec)
        FileOps::Raise(ec);
    CopyToFreeName(from, part);
    fs::rename(part, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        FileOps::Raise(ec);
    }
}

// The download folder never shows a half-written package: every copy goes
// through a temporary file and takes its name only when complete.
void CopyReplacing(const QString& source, const QString& destination) {
    CopyOver(FileOps::ToFs(source), FileOps::ToFs(destination), destination);
}

} // namespace

int HandleFileCopy(const QString& source, const QString& destination) {
    if (FileOps::FileExists(destination) && !OverwriteAllowed(destination))
        return 0;
    FileOps::SetAttrNormal(FileOps::GetFolder(destination));
    if (G().LogLevel == Level::Debug && !FileOps::FileExists(source)) {
        WriteLog(QStringLiteral("HANDLEFILECOPY: Debugging shows ") + source +
                     QStringLiteral(" does not exist!"),
                 Level::Debug);
    }
    try {
        CopyReplacing(source, destination);
        return 1;
    } catch (const RunTimeError& e) {
        WriteLog(QStringLiteral("HANDLEFILECOPY: There was an error while copying ") + source +
                     QStringLiteral(" to ") + destination + QStringLiteral(". ") +
                     QString::number(e.Number()) + QStringLiteral(": ") + e.Description(),
                 Level::Errors);
        const QString message =
            G().CurLang.ProperString(QStringLiteral("FCERROR"), source, destination, {}) +
            G().CurLang.ProperString(QStringLiteral("ERRORREPORT"), Error_Mod::LogFilePath(), {},
                                     {});
        Error_Mod::ReportError(message, false);
        return 0;
    }
}

} // namespace BrushwickMod
