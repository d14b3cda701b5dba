#include "sims_path.h"

#include "containers/runtime_error.h"
#include "download_folders.h"
#include "file_ops.h"
#include "log/log.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;
namespace Box = platform::Box;

QString Text(const char* key) {
    return G().CurLang.SeeByName(QLatin1String(key));
}

QString Fill(const char* key, const QString& value) {
    return G().CurLang.ProperString(QLatin1String(key), value, {}, {});
}

// Closing the choice at the first start: without the folder nothing can be
// installed, so the player may quit (nothing is stored) or choose after all.
void OfferToQuit() {
    const int answer =
        platform::prompts().MsgBox(Text("FOLDERQUIT"), Box::YesNo | Box::Question, AppTitle);
    if (answer == Box::Yes)
        platform::process().EndProgram();
}

// The folder chooser, opened where the game's folders most likely are: the
// folder part of the confirmed file name, "" when nothing was confirmed.
QString Browse(const FileOps::DownloadFolders::Environment& env) {
    // The preset has no folder part: only a confirmed name gives one.
    QString fileName = QStringLiteral("NOTOUCHY");
    for (;;) {
        platform::prompts().BrowseFile(QStringLiteral("Download Folder"), QStringLiteral("*.*"),
                                       fileName,
                                       FileOps::DownloadFolders::FirstDocumentsFolder(env));
        QString folder = FileOps::GetFolder(fileName);
        if (folder.isEmpty())
            return {};
        if (FileOps::FolderExists(folder))
            return folder;
    }
}

// One choice: from the list of folders found (or the chooser when none
// was), a Downloads folder made where the list said it would be. "" when
// the player closed it.
QString ChooseOnce(const FileOps::DownloadFolders::Environment& env) {
    const QList<FileOps::DownloadFolders::Candidate> found = FileOps::DownloadFolders::Find(env);
    if (found.isEmpty())
        return Browse(env);
    platform::FolderPick pick;
    pick.title = AppTitle;
    pick.text = Text("FOLDERCHOICE");
    pick.otherText = Text("FOLDEROTHER");
    for (const FileOps::DownloadFolders::Candidate& c : found)
        pick.folders.append(c.willBeCreated ? c.folder + QLatin1Char(' ') + Text("FOLDERCREATED")
                                            : c.folder);
    const int answer = platform::prompts().PickFolder(pick);
    if (answer == platform::FolderPick::Other)
        return Browse(env);
    if (answer < 0 || answer >= found.size())
        return {};
    const FileOps::DownloadFolders::Candidate& chosen = found.at(answer);
    if (chosen.willBeCreated && !FileOps::DownloadFolders::CreateDownloads(chosen)) {
        Error_Mod::ReportError(Fill("FOLDERNOTMADE", chosen.folder), false);
        return ChooseOnce(env);
    }
    return chosen.folder;
}

// Whether the player keeps a folder that does not look like the game's
// download folder, after being told why.
bool KeepDespiteDoubt(const QString& folder) {
    const FileOps::DownloadFolders::Doubt doubt = FileOps::DownloadFolders::Check(folder);
    if (doubt == FileOps::DownloadFolders::Doubt::None)
        return true;
    platform::Question question;
    question.text =
        Fill(doubt == FileOps::DownloadFolders::Doubt::NotNamedDownloads ? "FOLDERNOTDOWNLOADS"
                                                                         : "FOLDERNOGAME",
             folder);
    question.style = Box::YesNo | Box::Exclamation;
    question.title = AppTitle;
    question.yesText = Text("FOLDERUSE");
    question.noText = Text("FOLDERAGAIN");
    return platform::prompts().Ask(question) == Box::Yes;
}

} // namespace

QString ChooseDownloadFolder(FolderChoice when) {
    const FileOps::DownloadFolders::Environment env = FileOps::DownloadFolders::FromSystem();
    for (;;) {
        const QString folder = ChooseOnce(env);
        if (folder.isEmpty()) {
            if (when == FolderChoice::Change)
                return {};
            OfferToQuit();
            continue;
        }
        if (KeepDespiteDoubt(folder))
            return folder;
    }
}

QString GetSimsPath() {
    try {
        QString folder = SettingsTable::Read(SettingsTable::Setting::SimsPath);
        if (!folder.isEmpty()) {
            WriteLog(QStringLiteral("GETSIMSPATH: REG = ") + folder, Level::Debug);
            // A folder that is gone would fail every copy: choose again.
            QString probe = folder;
            if (!FileOps::FolderExists(probe)) {
                platform::prompts().MsgBox(Fill("FOLDERGONE", folder),
                                           Box::OKOnly | Box::Exclamation, AppTitle);
                folder = ChooseDownloadFolder(FolderChoice::FirstStart);
                WriteLog(QStringLiteral("GETSIMSPATH: DEF = ") + folder, Level::Debug);
            }
        } else {
            platform::prompts().MsgBox(Text("NODOWNLOADPATH"), Box::OKOnly | Box::Information,
                                       AppTitle);
            folder = ChooseDownloadFolder(FolderChoice::FirstStart);
            WriteLog(QStringLiteral("GETSIMSPATH: DEF = ") + folder, Level::Debug);
        }
        if (!folder.endsWith(FileOps::Sep()))
            folder += FileOps::Sep();
        // Without the setting the next start asks again; this one goes on.
        SettingsTable::Write(SettingsTable::Setting::SimsPath, folder);
        return folder;
    } catch (const RunTimeError& e) {
        Error_Mod::ReportError(Text("GSPERROR") + QLatin1Char(' ') + QString::number(e.Number()) +
                                   QStringLiteral(": ") + e.Description(),
                               true);
    }
    // Only reached when ending the program returns, which it never does.
    return {};
}

} // namespace BrushwickMod
