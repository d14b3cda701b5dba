#pragma once

#include <QString>

namespace BrushwickMod {

// Copies source to destination under the overwrite policy; 1 when copied.
int HandleFileCopy(const QString& source, const QString& destination);

} // namespace BrushwickMod
