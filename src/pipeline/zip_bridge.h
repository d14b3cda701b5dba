#pragma once

#include <QString>
#include <QtGlobal>

// The zip bridge. DoZip fills the bridge's inputs (G().Zip) and calls
// VBUnZip32 once per archive; during that call the unzipping calls back
// into the procedures below, on the same thread.
namespace VBUnzBas {

// Results of VBUnZip32, after the unzip library's own codes; DoZip treats
// every one but Ok as a bad zip.
namespace UnzipCode {
inline constexpr qint32 Ok = 0;
inline constexpr qint32 Warning = 1;  // an entry with an unusable name was left out
inline constexpr qint32 Error = 2;    // an entry's data is damaged or unsupported
inline constexpr qint32 BadError = 3; // the archive itself is damaged
inline constexpr qint32 NotAZip = 9;  // missing, unreadable or not a zip archive
inline constexpr qint32 BadParameter = 10;
inline constexpr qint32 DiskFull = 50; // an entry could not be written
inline constexpr qint32 BadPassword = 82;
} // namespace UnzipCode

// The answers of UnzipReplace.
namespace Replace {
inline constexpr qint32 No = 100;
inline constexpr qint32 Yes = 102;
inline constexpr qint32 None = 104;
} // namespace Replace

// The password buffer that UnzipPassword fills, closing zero included.
inline constexpr qint32 PasswordBufferSize = 256;

// Extracts (or lists) the archive G().Zip.ZipName as its options say;
// Ok when every entry came out whole.
qint32 VBUnZip32();

// Collects a message about the archive in UnzipMessages; always 0.
qint32 UnzipPrint(const char* buffer, qint32 size);
// Sees each entry as it comes; always 0 (go on).
qint32 UnzipService(const char* name, qint32 size);
// The password question every encrypted archive asks, with its skip rule:
// false, without asking, once the player answered one with nothing (or
// cancelled) in this program run; that answer also sets the rule.
bool AskArchivePassword(QString& answer);

// Asks the player for the password of an encrypted entry and writes it into
// the n bytes at p; 0 when one was written, 1 when none is given.
qint32 UnzipPassword(char* p, qint32 n, const char* m, const char* name);
// Asks whether an existing file may be overwritten: Replace::Yes, No or None.
qint32 UnzipReplace(const char* name);
// Adds one 80-column line for an entry to UnzipListing.
void UnzipListEntry(quint32 ucsize, quint32 csize, quint32 cfactor, quint32 mo, quint32 dy,
                    quint32 yr, quint32 hh, quint32 mm, char c, const char* filename,
                    const char* methbuf, quint32 crc, char fCrypt);

} // namespace VBUnzBas
