#include "globals.h"

namespace {
Globals globals;
}

Globals& G() {
    return globals;
}
void ResetGlobals() {
    globals = Globals();
}
