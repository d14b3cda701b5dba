#include "install_copy.h"

#include "containers/runtime_error.h"
#include "copy_file.h"
#include "file_ops.h"
#include "log/log.h"
#include "platform/platform.h"
#include "report.h"
#include "state/globals.h"

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// The player's answer to the overwrite question; "Yes to all" and "No to
// all" answer it for the rest of the run.
int AskOverwrite(const QString& destination) {
    if (G().Run.overwriteAll != 0)
        return G().Run.overwriteAll == platform::Box::YesToAll ? platform::Box::Yes
                                                               : platform::Box::No;
    const LanguagePack& lang = G().CurLang;
    platform::Question question;
    question.text = lang.ProperString(QStringLiteral("FILEEXISTS"), destination, {}, {});
    question.style = platform::Box::YesNo | platform::Box::Question;
    question.title = AppTitle + QStringLiteral(" File Management Wizard");
    question.yesToAllText = lang.SeeByName(QStringLiteral("YESTOALL"));
    question.noToAllText = lang.SeeByName(QStringLiteral("NOTOALL"));
    const int answer = platform::prompts().Ask(question);
    if (answer == platform::Box::YesToAll || answer == platform::Box::NoToAll) {
        G().Run.overwriteAll = answer;
        return answer == platform::Box::YesToAll ? platform::Box::Yes : platform::Box::No;
    }
    return answer;
}

// True when the existing destination may be replaced.
bool OverwriteAllowed(const QString& source, const QString& destination) {
    FileOps::SetAttrNormal(destination);
    WriteLog(QStringLiteral("FILE EXISTS: ") + destination, Level::Debug);
    if (G().ConfirmOverwrites) {
        if (AskOverwrite(destination) == platform::Box::No) {
            WriteLog(QStringLiteral("OVERWRITE REJECTED"), Level::Verbose);
            Report(source, Outcome::Refused, destination);
            return false;
        }
        return true;
    }
    if (G().RejectOverwrites) {
        WriteLog(QStringLiteral("OVERWRITE AUTO-REJECTED"), Level::Debug);
        Report(source, Outcome::Refused, destination);
        return false;
    }
    return true;
}

} // namespace

int HandleFileCopy(const QString& source, const QString& destination) {
    const bool exists = FileOps::FileExists(destination);
    if (exists && !OverwriteAllowed(source, destination))
        return 0;
    FileOps::SetAttrNormal(FileOps::GetFolder(destination));
    if (G().LogLevel == Level::Debug && !FileOps::FileExists(source)) {
        WriteLog(QStringLiteral("HANDLEFILECOPY: Debugging shows ") + source +
                     QStringLiteral(" does not exist!"),
                 Level::Debug);
    }
    try {
        FileOps::CopyReplacing(source, destination);
        Report(source, exists ? Outcome::Replaced : Outcome::Installed, destination);
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
        Report(source, Outcome::Failed, e.Description());
        Error_Mod::ReportErrorOnce(message, G().Run.quietCopyFailures);
        return 0;
    }
}

} // namespace BrushwickMod
