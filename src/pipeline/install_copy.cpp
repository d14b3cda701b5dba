#include "install_copy.h"

#include "containers/runtime_error.h"
#include "copy_file.h"
#include "file_ops.h"
#include "log/log.h"
#include "platform/platform.h"
#include "state/globals.h"

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
        FileOps::CopyReplacing(source, destination);
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
