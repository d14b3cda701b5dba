#pragma once

#include <QString>

namespace BrushwickMod {

// Removes a whole folder tree (folder ends in a separator).
void Roast(const QString& folder);

} // namespace BrushwickMod
