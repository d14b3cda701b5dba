#pragma once

#include <QString>

namespace BrushwickMod {

// Sorts one file by the last four characters of its path and installs it;
// returns how many files were installed.
int HandleFile(const QString& path);

// Hands a document to the program associated with it.
void ShellOpen(const QString& path);

} // namespace BrushwickMod
