#include "roast.h"

#include "containers/marray.h"
#include "containers/runtime_error.h"
#include "file_ops.h"
#include "log/log.h"

namespace fs = std::filesystem;

namespace BrushwickMod {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

void RemoveOrRaise(const fs::path& p) {
    std::error_code ec;
    FileOps::Remove(p, ec);
    if (ec)
        FileOps::Raise(ec);
}

// Deletes everything in folder that is not a real subfolder (links to
// folders included: the link goes, its target stays) and returns the names
// of the real subfolders in listing order.
QStringList DeleteFilesKeepFolders(const QString& folder) {
    QStringList subfolders;
    for (const QString& name : FileOps::ListFolder(folder)) {
        const fs::path p = FileOps::ToFs(folder + name);
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(p, ec);
        if (ec)
            FileOps::Raise(ec);
        if (fs::is_directory(st))
            subfolders.append(name);
        else
            RemoveOrRaise(p);
    }
    return subfolders;
}

// The path of a folder without its final separator: with it, the system
// would look through a link instead of at it.
fs::path Bare(const QString& folder) {
    QString bare = folder;
    while (bare.size() > 1 && bare.endsWith(FileOps::Sep()))
        bare.chop(1);
    return FileOps::ToFs(bare);
}

// One visit of a folder on the work list: false when there is nothing left
// to visit because it is gone or was only a link (which is removed itself).
bool IsFolderToVisit(const QString& current) {
    std::error_code ec;
    const fs::path p = Bare(current);
    const fs::file_status st = fs::symlink_status(p, ec);
    // An earlier visit of another copy on the work list already removed it.
    if (ec == std::errc::no_such_file_or_directory)
        return false;
    if (ec)
        FileOps::Raise(ec);
    if (fs::is_symlink(st)) {
        RemoveOrRaise(p);
        return false;
    }
    return true;
}

} // namespace

void Roast(const QString& folder) {
    MArray work;
    WriteLog(QStringLiteral("ROAST: ") + folder, Level::Verbose);
    try {
        // Names are joined straight onto the folder, so it must end in a
        // separator or they would name its neighbours.
        work.Push(folder.endsWith(FileOps::Sep()) ? folder : folder + FileOps::Sep());
        while (work.Size() >= 1) {
            const QString current = work.Pop().toText();
            if (!IsFolderToVisit(current))
                continue;
            const QStringList subfolders = DeleteFilesKeepFolders(current);
            for (const QString& name : subfolders) {
                const QString sub = current + name + FileOps::Sep();
                WriteLog(QStringLiteral("ROASTPUSH: ") + sub, Level::Debug);
                work.Push(sub);
            }
            if (subfolders.isEmpty()) {
                WriteLog(QStringLiteral("ROASTRM: ") + current +
                             QStringLiteral("Empty, I guess. RmDiring"),
                         Level::Debug);
                RemoveOrRaise(Bare(current));
            } else {
                // Visited again once its subfolders had their turn.
                WriteLog(QStringLiteral("ROASTUNSHIFT: ") + current +
                             QStringLiteral("Not empty, I guess. Unshifting back."),
                         Level::Debug);
                work.Unshift(current);
            }
        }
    } catch (const RunTimeError& e) {
        // What is gone stays gone; the rest waits for the next start.
        WriteLog(QStringLiteral("ROAST_TREE: ") + QString::number(e.Number()) +
                     QStringLiteral(": ") + e.Description(),
                 Level::Debug);
    }
}

} // namespace BrushwickMod
