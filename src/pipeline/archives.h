#pragma once

#include <QString>

namespace BrushwickMod {

// A new, empty extraction folder under the temporary root, ending in a
// separator.
QString MakeTemp();

// Unpack an archive into a fresh extraction folder and install every file
// found there; return how many were installed.
int DoZip(const QString& path);
int DoRar(const QString& path);

} // namespace BrushwickMod
