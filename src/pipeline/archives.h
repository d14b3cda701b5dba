#pragma once

#include <QString>

#include <functional>

namespace BrushwickMod {

// Archives inside archives are unpacked this deep; a deeper one is left
// packed, so an archive that contains itself comes to an end.
inline constexpr int MaxNesting = 16;
// Folder names MakeTemp tries before it gives up.
inline constexpr int MakeTempTries = 100;
// The error number logged for an archive nested too deep.
inline constexpr int OutOfStackSpace = 28;

// The temporary root, D & "\temp\brushwick\" with the drive's part D
// (Process::DriveFolder): every extraction folder is made below it.
QString TemporaryRoot();

// Removes an extraction folder once its files are handled, unless one of
// them was handed to another program (that folder stays for the next start).
void RemoveExtractionFolder(const QString& dest);

// A new, empty extraction folder under the temporary root, ending in a
// separator; "" when none could be found.
QString MakeTemp();

// Tests look into each archive's folder once it is unpacked, before its
// files are handled and the folder goes; nullptr ends it.
void SetUnpackedObserver(std::function<void(const QString& folder)> observer);

// Unpack an archive into a fresh extraction folder and install every file
// found there; return how many were installed.
int DoZip(const QString& path);
int DoRar(const QString& path);
int Do7z(const QString& path);

} // namespace BrushwickMod
