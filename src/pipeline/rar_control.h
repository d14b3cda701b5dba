#pragma once

#include <QString>

// The rar component: unpacks a rar archive (rar4 or rar5) in one
// synchronous call.
namespace UnRar1 {

// The error number of an archive that cannot be unpacked whole.
inline constexpr int InvalidFileFormat = 321;

// Unpacks every plain file of the archive directly into folder (folder
// names in the archive are dropped; a later file of the same name wins).
// A set of volumes (name.part1.rar, name.part2.rar ... or name.rar,
// name.r00 ...) is read whole from its first volume; a later volume on its
// own yields nothing while the first one lies beside it. Throws RunTimeError
// when the archive or any of its files could not be unpacked; what did come
// out stays in the folder.
void Extract(const QString& archivePath, const QString& folder);

} // namespace UnRar1
