#pragma once

#include "platform.h"

namespace platform {

// The desktop's associations, and Wine for Windows installers on Linux.
class QtShell : public Shell {
public:
    void OpenDocument(const QString& path) override;
    void StartProgram(const QString& path) override;
    bool OpenAddress(const QString& address) override;
};

} // namespace platform
