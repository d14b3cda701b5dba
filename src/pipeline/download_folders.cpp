#include "download_folders.h"

#include "file_ops.h"

#include <QDir>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace FileOps::DownloadFolders {

namespace {

// The game's folder under EA Games, as each edition's language names it;
// "The Sims 2" first, since the most players have it.
constexpr std::array<QLatin1String, 5> GameNames = {
    QLatin1String("The Sims 2"), QLatin1String("Die Sims 2"), QLatin1String("Les Sims 2"),
    QLatin1String("Los Sims 2"), QLatin1String("De Sims 2")};

bool IsGameName(const QString& name) {
    return std::any_of(GameNames.begin(), GameNames.end(),
                       [&](QLatin1String game) { return name.startsWith(game); });
}
constexpr QLatin1String Downloads("Downloads");
constexpr QLatin1String Neighborhoods("Neighborhoods");

// The folders the game keeps beside Downloads. Neighborhoods is made on the
// first start, so it alone marks a game folder.
constexpr std::array<QLatin1String, 6> GameFolders = {Neighborhoods,
                                                      QLatin1String("Collections"),
                                                      QLatin1String("Thumbnails"),
                                                      QLatin1String("Projects"),
                                                      QLatin1String("Teleport"),
                                                      QLatin1String("Logs")};

// Folders below the home folder whose every subfolder may be a prefix, in
// the order the players use them.
constexpr std::array<const char*, 5> PrefixParents = {
    "Games", ".local/share/bottles/bottles", ".var/app/com.usebottles.bottles/data/bottles/bottles",
    ".PlayOnLinux/wineprefix", ".cxoffice"};

// Steam keeps one prefix per game, in steamapps/compatdata/<id>/pfx.
constexpr std::array<const char*, 2> SteamRoots = {".steam/steam", ".local/share/Steam"};

bool NameLess(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QString AsFolder(const QString& path) {
    QString folder = QDir::toNativeSeparators(path);
    if (!folder.isEmpty() && !folder.endsWith(FileOps::Sep()))
        folder += FileOps::Sep();
    return folder;
}

// The folder relative (written with '/') below folder.
QString Below(const QString& folder, const QString& relative) {
    return AsFolder(folder + relative);
}

// The path without its trailing separators, for the file system.
QString Bare(const QString& folder) {
    QString path = QDir::toNativeSeparators(folder);
    while (path.size() > 1 && path.endsWith(FileOps::Sep()))
        path.chop(1);
    return path;
}

bool IsFolder(const QString& path) {
    std::error_code ec;
    return fs::is_directory(FileOps::ToFs(path), ec);
}

// Anything at all there, a dangling link too.
bool Occupied(const QString& path) {
    std::error_code ec;
    return fs::symlink_status(FileOps::ToFs(path), ec).type() != fs::file_type::not_found;
}

// The same folder reached through a link or a doubled separator gives one key.
QString Key(const QString& path) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(FileOps::ToFs(Bare(path)), ec);
    return ec ? Bare(path) : FileOps::FromFs(canonical);
}

// The names of the subfolders of folder, sorted; none when it cannot be read.
// With a name, only the subfolders called that in any letter case: Wine
// finds its own folders (Documents, EA Games, ...) whatever their case.
QStringList Subfolders(const QString& folder, QLatin1String name = {}) {
    QStringList names;
    std::error_code ec;
    fs::directory_iterator it(FileOps::ToFs(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const QString entry = FileOps::FromFs(it->path().filename());
        std::error_code typeEc;
        if ((name.isEmpty() || entry.compare(name, Qt::CaseInsensitive) == 0) &&
            it->is_directory(typeEc))
            names.append(entry);
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

// The places a Wine prefix may be, most likely first. Only those holding
// drive_c/users yield anything. One reached twice (a link, $WINEPREFIX naming
// ~/.wine) gives the same candidates, which Find() keeps once.
QStringList PrefixPlaces(const Environment& env) {
    QStringList places;
    // A relative $WINEPREFIX would be taken from wherever this program started.
    if (QDir::isAbsolutePath(env.winePrefix))
        places.append(AsFolder(env.winePrefix));
    const QString home = AsFolder(env.home);
    if (!home.isEmpty()) {
        places.append(Below(home, QStringLiteral(".wine")));
        for (const char* parent : PrefixParents) {
            const QString folder = Below(home, QString::fromLatin1(parent));
            for (const QString& name : Subfolders(folder))
                places.append(folder + name + FileOps::Sep());
        }
        for (const char* root : SteamRoots) {
            const QString compat =
                Below(home, QString::fromLatin1(root) + QStringLiteral("/steamapps/compatdata"));
            for (const QString& id : Subfolders(compat))
                places.append(Below(compat, id + QStringLiteral("/pfx")));
        }
    }
    return places;
}

// The Documents and My Documents folders of a prefix's users, users by name.
// Wine's shared Public profile comes last: the game writes to the player's own.
QStringList UserDocuments(const QString& prefix) {
    const QString users = Below(prefix, QStringLiteral("drive_c/users"));
    QStringList names = Subfolders(users);
    std::stable_partition(names.begin(), names.end(), [](const QString& name) {
        return name.compare(QLatin1String("Public"), Qt::CaseInsensitive) != 0;
    });
    QStringList documents;
    for (const QString& user : names) {
        const QString folder = users + user + FileOps::Sep();
        for (QLatin1String kind : {QLatin1String("Documents"), QLatin1String("My Documents")})
            for (const QString& name : Subfolders(folder, kind))
                documents.append(folder + name + FileOps::Sep());
    }
    return documents;
}

struct Game {
    QString name;
    QString folder;
};

// The game folders ("The Sims 2", its editions and its other languages'
// names) below Documents folders, by name, so a base game comes before its
// editions: every edition's name begins with it. Within one name, in the
// order of the Documents folders.
QList<Game> Games(const QStringList& documents) {
    QList<Game> games;
    for (const QString& docs : documents) {
        for (const QString& ea : Subfolders(docs, QLatin1String("EA Games"))) {
            const QString folder = docs + ea + FileOps::Sep();
            for (const QString& name : Subfolders(folder))
                if (IsGameName(name))
                    games.append({name, folder + name + FileOps::Sep()});
        }
    }
    std::stable_sort(games.begin(), games.end(),
                     [](const Game& a, const Game& b) { return NameLess(a.name, b.name); });
    return games;
}

void AddCandidates(const Game& game, const QString& prefix, QList<Candidate>& out) {
    const QStringList downloads = Subfolders(game.folder, Downloads);
    for (const QString& name : downloads)
        out.append({game.folder + name + FileOps::Sep(), false, prefix});
    // Only where the folder can be made: nothing of that name in the way.
    if (downloads.isEmpty() && IsFolder(game.folder + Neighborhoods) &&
        !Occupied(game.folder + Downloads))
        out.append({game.folder + Downloads + FileOps::Sep(), true, prefix});
}

} // namespace

Environment FromSystem() {
    Environment env;
    env.home = QDir::toNativeSeparators(QDir::homePath());
    env.winePrefix = qEnvironmentVariable("WINEPREFIX");
    env.documents = QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
#ifdef Q_OS_WIN
    env.windows = true;
#endif
    return env;
}

QList<Candidate> Find(const Environment& env) {
    QList<Candidate> all;
    if (env.windows) {
        if (!env.documents.isEmpty())
            for (const Game& game : Games({AsFolder(env.documents)}))
                AddCandidates(game, QString(), all);
    } else {
        for (const QString& prefix : PrefixPlaces(env))
            for (const Game& game : Games(UserDocuments(prefix)))
                AddCandidates(game, prefix, all);
    }
    std::stable_partition(all.begin(), all.end(),
                          [](const Candidate& c) { return !c.willBeCreated; });
    QList<Candidate> found;
    QSet<QString> seen;
    for (const Candidate& candidate : all) {
        const QString key = Key(candidate.folder);
        if (!seen.contains(key)) {
            seen.insert(key);
            found.append(candidate);
        }
    }
    return found;
}

QString FirstDocumentsFolder(const Environment& env) {
    if (env.windows) {
        if (!env.documents.isEmpty() && IsFolder(env.documents))
            return AsFolder(env.documents);
    } else {
        for (const QString& prefix : PrefixPlaces(env)) {
            const QStringList documents = UserDocuments(prefix);
            if (!documents.isEmpty())
                return documents.first();
        }
    }
    return AsFolder(env.home);
}

Doubt Check(const QString& folder) {
    const QString path = Bare(folder);
    if (FileOps::GetFileName(path).compare(Downloads, Qt::CaseInsensitive) != 0)
        return Doubt::NotNamedDownloads;
    const QString parent = FileOps::GetFolder(path);
    if (!parent.isEmpty())
        for (QLatin1String name : GameFolders)
            if (IsFolder(parent + name))
                return Doubt::None;
    return Doubt::NoGameFolderAbove;
}

bool CreateDownloads(const Candidate& candidate) {
    const QString folder = Bare(candidate.folder);
    // Never anything but the Downloads folder itself.
    if (FileOps::GetFileName(folder).compare(Downloads, Qt::CaseInsensitive) != 0)
        return false;
    const fs::path path = FileOps::ToFs(folder);
    std::error_code ec;
    // One level only: a game folder that has gone away stays gone.
    fs::create_directory(path, ec);
    return !ec && fs::is_directory(path, ec);
}

} // namespace FileOps::DownloadFolders
