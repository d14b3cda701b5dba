#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The rar component: unpacks a rar archive (rar4 or rar5) in one
// synchronous call.
namespace UnRar1 {

// The error number of an archive that cannot be unpacked whole.
inline constexpr int InvalidFileFormat = 321;

// An entry that did not come out (entry "" for the archive itself), with
// the classic error for it.
struct Failure {
    QString entry;
    int number = 0;
    QString description;
};

struct Outcome {
    // Entries that came out whole.
    int written = 0;
    QList<Failure> failures;
};

// The files a rar archive is read from: a set of volumes (name.part1.rar,
// name.part2.rar ... or name.rar, name.r00 ...) whole from its first
// volume; empty for a later volume whose first one lies beside it.
QStringList Volumes(const QString& archivePath);

// Unpacks every plain file of the archive directly into folder (folder
// names in the archive are dropped; a later file of the same name wins).
// What came out whole stays; each entry that did not is removed and listed.
// Throws RunTimeError when the archive cannot be read at all.
Outcome Extract(const QString& archivePath, const QString& folder);

} // namespace UnRar1
