#pragma once

#include <QString>

namespace BrushwickMod {

// Sorts one file by the last four characters of its path and installs it;
// returns how many files were installed.
int HandleFile(const QString& path);

// Hands a document to the program associated with it; false (and a
// "SHELLOPEN: " line) when nothing could take it.
bool ShellOpen(const QString& path);

} // namespace BrushwickMod
