#include "sims2pack_install.h"

#include "archives.h"
#include "containers/runtime_error.h"
#include "install_copy.h"
#include "log/log.h"
#include "sims2pack.h"
#include "state/globals.h"

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

int ToInstaller(const QString& path, const QString& why) {
    WriteLog(QStringLiteral("SIMS2PACK: ") + path +
                 QStringLiteral(" goes to the game's installer (") + why + QLatin1Char(')'),
             Level::Skips);
    return -1;
}

} // namespace

int InstallSims2Pack(const QString& path) {
    const FileOps::Sims2Pack::Inspection inspection = FileOps::Sims2Pack::Inspect(path);
    if (!inspection.refusal.isEmpty())
        return ToInstaller(path, inspection.refusal);
    const QString dest = MakeTemp();
    if (dest.isEmpty())
        return ToInstaller(path, QStringLiteral("no temporary folder"));
    QStringList files;
    try {
        files = FileOps::Sims2Pack::Unpack(path, inspection.container, dest);
    } catch (const RunTimeError& e) {
        Error_Mod::LogError(QStringLiteral("SIMS2PACK: "), path, e.Number(), e.Description());
        RemoveExtractionFolder(dest);
        return ToInstaller(path, QStringLiteral("it could not be unpacked"));
    }
    int installed = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& name = inspection.container.files.at(i).baseName;
        const QString destination = G().SimsPath + name;
        WriteLog(QStringLiteral("SIMS2PACK: ") + name + QStringLiteral(" -> ") + destination,
                 Level::Skips);
        installed += HandleFileCopy(files.at(i), destination);
    }
    RemoveExtractionFolder(dest);
    return installed;
}

} // namespace BrushwickMod
