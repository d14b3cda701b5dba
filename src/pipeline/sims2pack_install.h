#pragma once

#include <QString>

namespace BrushwickMod {

// Installs a .sims2pack container without the game's installer when it
// holds only objects (game packages, each checked): every packaged file
// goes through the install copy under its own name. Returns how many were
// installed, or -1 (with a level-2 line saying why) when the container is
// the game installer's to handle.
int InstallSims2Pack(const QString& path);

} // namespace BrushwickMod
