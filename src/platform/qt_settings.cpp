#include "qt_settings.h"

#include <QSettings>

#include <memory>

namespace platform {

namespace {

// A fresh store object per call: every read goes to the store again.
std::unique_ptr<QSettings> Open(const QString& app) {
#ifdef Q_OS_WIN
    const auto format = QSettings::NativeFormat;
#else
    const auto format = QSettings::IniFormat;
#endif
    return std::make_unique<QSettings>(format, QSettings::UserScope, app, app);
}

} // namespace

QString QtSettings::Get(const QString& app, const QString& section, const QString& key) {
    auto store = Open(app);
    return store->value(section + "/" + key).toString();
}

bool QtSettings::Set(const QString& app, const QString& section, const QString& key,
                     const QString& value) {
    auto store = Open(app);
    store->setValue(section + "/" + key, value);
    store->sync();
    return store->status() == QSettings::NoError;
}

} // namespace platform
