#include "sims_path.h"

#include "containers/runtime_error.h"
#include "file_ops.h"
#include "log/log.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// Shows the folder dialog until the player confirms a file in a folder that
// exists; the folder part of that file is the answer.
QString AskForFolder() {
    platform::prompts().MsgBox(G().CurLang.SeeByName(QStringLiteral("NODOWNLOADPATH")),
                               platform::Box::OKOnly | platform::Box::Information, AppTitle);
    // The preset has no folder part, so the dialog always shows at least once.
    QString fileName = QStringLiteral("NOTOUCHY");
    QString folder = FileOps::GetFolder(fileName);
    while (folder.isEmpty() || !FileOps::FolderExists(folder)) {
        platform::prompts().BrowseFile(QStringLiteral("Download Folder"), QStringLiteral("*.*"),
                                       fileName);
        folder = FileOps::GetFolder(fileName);
    }
    return folder;
}

} // namespace

QString GetSimsPath() {
    try {
        QString folder = SettingsTable::Read(SettingsTable::Setting::SimsPath);
        if (!folder.isEmpty()) {
            WriteLog(QStringLiteral("GETSIMSPATH: REG = ") + folder, Level::Debug);
        } else {
            folder = AskForFolder();
            WriteLog(QStringLiteral("GETSIMSPATH: DEF = ") + folder, Level::Debug);
        }
        if (!folder.endsWith(FileOps::Sep()))
            folder += FileOps::Sep();
        // Without the setting the next start asks again; this one goes on.
        SettingsTable::Write(SettingsTable::Setting::SimsPath, folder);
        return folder;
    } catch (const RunTimeError& e) {
        Error_Mod::ReportError(G().CurLang.SeeByName(QStringLiteral("GSPERROR")).toText() +
                                   QLatin1Char(' ') + QString::number(e.Number()) +
                                   QStringLiteral(": ") + e.Description(),
                               true);
    }
    // Only reached when ending the program returns, which it never does.
    return {};
}

} // namespace BrushwickMod
