#pragma once

#include "platform.h"

namespace platform {

// The per-user settings store: an INI file under the user's configuration
// folder on Linux, the per-user registry on Windows.
class QtSettings : public Settings {
public:
    QString Get(const QString& app, const QString& section, const QString& key) override;
    bool Set(const QString& app, const QString& section, const QString& key,
             const QString& value) override;
};

} // namespace platform
