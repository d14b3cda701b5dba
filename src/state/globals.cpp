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

namespace RunControl {

namespace {
std::atomic<bool> stop{false};
std::atomic<int> dropped{0};
} // namespace

void RequestStop() {
    stop = true;
}
void ClearStop() {
    stop = false;
    dropped = 0;
}
bool StopRequested() {
    return stop;
}
void SetDroppedPaths(int count) {
    dropped = count;
}
int DroppedPaths() {
    return dropped;
}

} // namespace RunControl
