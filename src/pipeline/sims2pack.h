#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reading .sims2pack containers: a text header, the offset of the packaged
// data, an XML list of the packaged files and then their data. The program
// unpacks a container itself only when it holds nothing but objects it can
// check; every other one goes to the game's own installer.
namespace FileOps::Sims2Pack {

// A container whose XML is longer than this, or that lists more files, is
// left to the game's installer rather than read.
inline constexpr qint64 MaxXmlBytes = 16 * 1024 * 1024;
inline constexpr int MaxPackagedFiles = 10000;
// Elements nested deeper than this make the XML unreadable to the program.
inline constexpr int MaxXmlDepth = 64;

struct PackagedFile {
    // As the container writes it.
    QString name;
    // The name the file is unpacked under: the last part of name, ending in
    // ".package".
    QString baseName;
    qint64 length = 0;
    // Counted from Container::dataStart.
    qint64 offset = 0;
    QString type;
    // The MD5 of the data, 16 bytes; empty when the container gives none.
    QByteArray md5;
};

struct Container {
    QString packageType;
    QString gameVersion;
    qint64 dataStart = 0;
    QList<PackagedFile> files;
};

struct Inspection {
    // As much as could be read, also when refused.
    Container container;
    // Why the program leaves the container to the game's installer, as a
    // short phrase for the log; "" when it unpacks it itself.
    QString refusal;
};

// Reads and checks the container: every packaged file is an object, lies
// inside the file without sharing data with another, is a game package and
// matches its MD5; names are usable and unique. A file that is no container
// is a refusal too; only a file that cannot be opened or read throws
// RunTimeError (53 when missing).
Inspection Inspect(const QString& path);

// Writes every packaged file into folder (ending in a separator) under its
// base name and returns the paths written, in container order. Each file
// takes its name only once it is complete; an existing file or link of that
// name is replaced, never written through. On any failure the files this
// call wrote are removed again and RunTimeError is thrown: 61 disk full,
// 70 permission denied, 62 when the data is shorter than listed, 75
// otherwise (also for data that no longer matches its MD5, or a name that
// would leave the folder).
QStringList Unpack(const QString& path, const Container& container, const QString& folder);

} // namespace FileOps::Sims2Pack
