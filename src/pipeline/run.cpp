#include "run.h"

#include "containers/runtime_error.h"
#include "file_ops.h"
#include "handle_file.h"
#include "log/log.h"
#include "platform/platform.h"
#include "report.h"
#include "state/globals.h"

namespace fs = std::filesystem;

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

// The progress text grows by one dot per file until it is this long.
constexpr qsizetype ProgressTextLimit = 50;

enum class Kind { File, Folder, LinkedFolder };

// What the path is, looked at without following a final link first, so that
// a linked folder can be told from a real one. A path that cannot be read
// (gone, a dangling link, no rights) throws.
Kind KindOf(const QString& path) {
    std::error_code ec;
    const fs::path p = FileOps::ToFs(path);
    fs::file_status st = fs::symlink_status(p, ec);
    if (ec)
        FileOps::Raise(ec);
    if (!fs::is_symlink(st))
        return fs::is_directory(st) ? Kind::Folder : Kind::File;
    st = fs::status(p, ec);
    if (ec)
        FileOps::Raise(ec);
    return fs::is_directory(st) ? Kind::LinkedFolder : Kind::File;
}

void ShowProgress() {
    platform::Status& status = platform::status();
    const QString text = status.Text();
    if (text.size() < ProgressTextLimit)
        status.SetText(text + QLatin1Char('.'));
    else
        status.SetText(G().CurLang.SeeByName(QStringLiteral("STILLPROC")));
}

// Pushes the folder's entries, in listing order, for later passes to pop.
void PushEntries(const QString& folder, MArray& data) {
    const QString prefix = folder.endsWith(FileOps::Sep()) ? folder : folder + FileOps::Sep();
    for (const QString& name : FileOps::ListFolder(prefix))
        data.Push(prefix + name);
}

QString ResultText(qint32 count) {
    const LanguagePack& lang = G().CurLang;
    if (count >= 2)
        return lang.ProperString(QStringLiteral("PLURALFILES"), QString::number(count), {}, {});
    if (count == 0)
        return lang.SeeByName(QStringLiteral("NOFILES"));
    return lang.SeeByName(QStringLiteral("Singularfile"));
}

} // namespace

void Handle_DnD(const QStringList& droppedPaths) {
    MArray data;
    WriteLog(QStringLiteral("HANDLEDODFILECOUNT: ") + QString::number(droppedPaths.size()),
             Level::Debug);
    WriteLog(QStringLiteral("LAWN"), Level::Debug);
    // Last dropped first onto the stack, so the first dropped is handled first.
    for (qsizetype i = droppedPaths.size() - 1; i >= 0; --i)
        data.Push(droppedPaths.at(i));
    Handle_Processing(data);
}

void Handle_Processing(MArray& data) {
    G().Run = RunState();
    platform::status().SetText(G().CurLang.SeeByName(QStringLiteral("Processing")).toText() +
                               QStringLiteral("..."));
    platform::status().SetBusy(true);
    WriteLog(QStringLiteral("HANDLEPROCCOUNT: ") + QString::number(data.Size()), Level::Debug);

    qint32 installed = 0;
    // Entries below this position are the paths the run was given; anything
    // above was found inside a walked folder.
    qint32 givenLeft = data.Size();
    while (data.Size() >= 1) {
        // A stop ends the run between two paths; the rest is left as it is.
        if (RunControl::StopRequested())
            break;
        const QString path = data.Pop().toText();
        const bool given = data.Size() < givenLeft;
        if (given)
            givenLeft = data.Size();
        try {
            switch (KindOf(path)) {
            case Kind::File:
                ShowProgress();
                installed += HandleFile(path);
                break;
            case Kind::LinkedFolder:
                // Following links met inside a walk could lead back into the
                // walk and never end; only a linked folder given to the run is
                // walked.
                if (!given) {
                    WriteLog(QStringLiteral("UNHANDLED: ") + path, Level::Skips);
                    Report(path, Outcome::Unhandled);
                    break;
                }
                [[fallthrough]];
            case Kind::Folder:
                WriteLog(QStringLiteral("FOLDER: ") + path, Level::Verbose);
                PushEntries(path, data);
                break;
            }
        } catch (const RunTimeError& e) {
            // A path that vanished or cannot be read costs only itself.
            Error_Mod::LogError(QStringLiteral("HANDLE_PROCESSING: "), path, e.Number(),
                                e.Description());
            Report(path, Outcome::Failed, e.Description());
        }
    }
    if (RunControl::StopRequested()) {
        G().Run.pathsLeft = data.Size();
        WriteLog(QStringLiteral("STOPPED: ") +
                     QString::number(data.Size() + RunControl::DroppedPaths()) +
                     QStringLiteral(" paths left"),
                 Level::Skips);
    }

    const QString result = ResultText(installed);
    WriteLog(QStringLiteral("POSTINSTALL: ") + QString::number(installed) +
                 QStringLiteral(" files installed"),
             Level::Debug);
    platform::status().SetText(G().CurLang.SeeByName(QStringLiteral("Done")).toText() +
                               QLatin1Char(' ') + result);
    platform::status().SetBusy(false);
}

} // namespace BrushwickMod
