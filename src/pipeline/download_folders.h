#pragma once

#include <QList>
#include <QString>

// Where the game's download folder may be: under the Wine prefixes of a Linux
// home, or under the player's Documents folder on Windows. Paths use the
// native separator; folder paths end in it.
namespace FileOps::DownloadFolders {

// What the search looks at. FromSystem() gives the real values; tests build
// fake homes.
struct Environment {
    QString home;       // the player's home folder
    QString winePrefix; // $WINEPREFIX, may be empty
    QString documents;  // the player's Documents folder (Windows only)
    bool windows = false;
};

struct Candidate {
    QString folder;             // ends with the separator
    bool willBeCreated = false; // a game folder that has no Downloads yet
    QString prefix;             // the Wine prefix it was found under, "" on Windows
};

// Why a chosen folder may not be the game's download folder.
enum class Doubt { None, NotNamedDownloads, NoGameFolderAbove };

Environment FromSystem();

// The existing download folders, most likely first, then the game folders
// that lack one. Each folder appears once, however it was reached. Folders
// that cannot be read are passed over; nothing is thrown.
QList<Candidate> Find(const Environment& env);

// Where a folder chooser had best open: the first Documents folder of a
// Wine user (the Documents folder on Windows), else the home folder.
QString FirstDocumentsFolder(const Environment& env);

// The first doubt about a chosen folder, or Doubt::None.
Doubt Check(const QString& folder);

// Makes the Downloads folder of a candidate inside its existing game folder
// (that one folder only). True when the folder is there afterwards.
bool CreateDownloads(const Candidate& candidate);

} // namespace FileOps::DownloadFolders
