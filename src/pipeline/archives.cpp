#include "archives.h"

// Placeholder until the archive support lands: archives yield nothing.
namespace BrushwickMod {
QString MakeTemp() { return {}; }
int DoZip(const QString&) { return 0; }
int DoRar(const QString&) { return 0; }
} // namespace BrushwickMod
