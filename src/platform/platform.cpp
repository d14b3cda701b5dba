#include "platform.h"

namespace platform {

namespace {
Services current;
}

Services& Use() {
    return current;
}
void Install(const Services& services) {
    current = services;
}

} // namespace platform
