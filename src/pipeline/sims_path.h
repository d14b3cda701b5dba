#pragma once

#include <QString>

namespace BrushwickMod {

// The game's download folder, ending in a separator: from the settings, or
// chosen by the player (also when the stored one is gone).
QString GetSimsPath();

// When the folder is chosen: at start-up there is no way on without one
// (closing the choice offers to quit); from the options closing it keeps
// the folder in force.
enum class FolderChoice { FirstStart, Change };

// Lets the player choose the download folder among the ones found (or any
// other), and warns about one that does not look like the game's. "" when
// the player closed the choice from the options.
QString ChooseDownloadFolder(FolderChoice when);

} // namespace BrushwickMod
