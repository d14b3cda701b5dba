#pragma once

#include <QString>

namespace BrushwickMod {

// The game's download folder, ending in a separator: from the settings, or
// chosen by the player in the folder dialog.
QString GetSimsPath();

} // namespace BrushwickMod
