#include "startup.h"

#include "containers/runtime_error.h"
#include "lang/language.h"
#include "lang/text_readers.h"
#include "log/log.h"
#include "pipeline/archives.h"
#include "pipeline/copy_file.h"
#include "pipeline/file_ops.h"
#include "pipeline/roast.h"
#include "pipeline/run.h"
#include "pipeline/sims_path.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

#include <QDir>

#include <filesystem>

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// A chosen pack that cannot be loaded must not lock the player out: the
// default pack takes its place, for this start and the next ones.
void LoadChosenOrDefault() {
    try {
        LoadLanguage();
    } catch (const RunTimeError& e) {
        if (G().LangChoice == DefaultPack)
            throw;
        if (!FileOps::FileExists(FileOps::LangFolder() + DefaultPack))
            throw RunTimeError(ErrNo::FileNotFound, QStringLiteral("File not found"));
        G().LangChoice = DefaultPack;
        LoadLanguage();
        Error_Mod::ReportError(
            Error_Mod::LoadErrorMessage(G().CurLang.SeeByName(QStringLiteral("LOADERROR")),
                                        e.Number(), e.Description()),
            false);
        StoreLangChoice(DefaultPack);
        WriteLog(QStringLiteral("LANGCHOICE: ") + DefaultPack, Level::Debug);
    }
}

// Until a pack is chosen and loaded there are no texts to report with; a
// default pack that cannot be loaded is told in plain English and the
// program ends.
void ChooseAndLoadLanguage(StartupWindows& windows) {
    try {
        // Here the window itself ends the program when closed without a
        // choice that is needed.
        const auto show = [&windows] {
            windows.ShowLanguageChoice();
            return true;
        };
        if (ReadLangChoice().isEmpty())
            show();
        TakeChosenPack(show);
        LoadChosenOrDefault();
    } catch (const RunTimeError& e) {
        Error_Mod::ReportError(
            QStringLiteral("Brushwick 2 cannot start because its language data could not be "
                           "loaded from ") +
                FileOps::LangFolder() + DefaultPack + QStringLiteral(". Error ") +
                QString::number(e.Number()) + QStringLiteral(": ") + e.Description(),
            true);
    }
}

void CleanTemporaryRoot() {
    G().TidselTemp = TemporaryRoot();
    WriteLog(QStringLiteral("TIDSELTEMP: ") + G().TidselTemp, Level::Debug);
    QString root = G().TidselTemp;
    if (FileOps::FolderExists(root))
        Roast(G().TidselTemp);
    G().TidselTemp = TemporaryRoot() + QStringLiteral("voriderud");
}

void InstallCommandLine(StartupWindows& windows, MArray& paths) {
    if (paths.Size() == 0)
        return;
    WriteLog(QStringLiteral("CMD"), Level::Debug);
    windows.RunAndWait(paths);
    WriteLog(QStringLiteral("/CMD"), Level::Debug);
}

// Another copy runs: paths go to it and this start ends quietly; without
// paths, or when it does not take them, this start is refused.
void HandOffOrRefuse(StartupWindows& windows, const MArray& paths) {
    if (paths.Size() > 0 && windows.HandOff(paths))
        platform::process().EndProgram();
    Error_Mod::ReportCritical(G().CurLang.SeeByName(QStringLiteral("AnotherTidsel")), true);
}

} // namespace

QString VersionText() {
    const platform::Version v = platform::process().ProgramVersion();
    return AppTitle + QStringLiteral(" - ") + QString::number(v.major) + "." +
           QString::number(v.minor) + QStringLiteral(" Build ") + QString::number(v.revision);
}

MArray CommandLinePaths(const QStringList& arguments) {
    MArray paths;
    std::error_code ec;
    const QString here = FileOps::FromFs(std::filesystem::current_path(ec));
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        const QString absolute =
            QDir::isAbsolutePath(argument) ? argument : here + QLatin1Char('/') + argument;
        paths.Push(QDir::toNativeSeparators(QDir::cleanPath(absolute)));
    }
    return paths;
}

MArray CommandLineFromText(const QString& text) {
    MArray paths;
    if (!text.isEmpty())
        paths.Initialize(text, true);
    return paths;
}

void StartUp(StartupWindows& windows, MArray commandLine) {
    try {
        G().NewLine = QStringLiteral("\r\n");
        G().AboutFromMenu = false;
        windows.SetTitle(VersionText());
        ChooseAndLoadLanguage(windows);
        G().LogLevel = Level::Verbose;
        if (platform::process().AnotherCopyRunning())
            HandOffOrRefuse(windows, commandLine);
        windows.ListenForHandOffs();
        WriteLog(VersionText(), Level::Verbose);
        SettingsTable::LoadAll(SettingsTable::Phase::LogLevel);
        CleanTemporaryRoot();
        WriteLog(QStringLiteral("LANGCHOICE: ") + G().LangChoice, Level::Debug);
        G().SimsPath = GetSimsPath();
        WriteLog(QStringLiteral("SIMSPATH: ") + G().SimsPath, Level::Debug);
        FileOps::RemovePartLeftovers(G().SimsPath);
        SettingsTable::LoadAll(SettingsTable::Phase::Options);
        G().DefBarMsg = G().CurLang.SeeByName(QStringLiteral("DefBarMsg"));
        platform::status().SetText(G().DefBarMsg);
        windows.RunsMayStart();
        InstallCommandLine(windows, commandLine);
        windows.ShowSplash();
    } catch (const RunTimeError& e) {
        Error_Mod::ReportError(
            Error_Mod::LoadErrorMessage(G().CurLang.SeeByName(QStringLiteral("LOADERROR")),
                                        e.Number(), e.Description()),
            false);
        windows.RunsMayStart();
        windows.ShowMain();
    }
}

} // namespace BrushwickMod
