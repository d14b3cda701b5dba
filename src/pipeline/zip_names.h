#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The entry names of a zip archive exactly as stored, read from its central
// directory. libarchive drops a name it cannot convert (bytes that are not
// UTF-8 behind the UTF-8 mark); this gives the bytes back, so the entry can
// still be unpacked under a readable name.
namespace FileOps {

// The names in the order libarchive reads a zip file: by the position of
// each entry's local header. Empty when the central directory cannot be
// found or read; never more entries than the file could hold.
QList<QByteArray> ZipNamesInOrder(const QString& path);

} // namespace FileOps
