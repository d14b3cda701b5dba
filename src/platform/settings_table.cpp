#include "settings_table.h"

#include "log/log.h"
#include "platform/globals.h"
#include "platform/platform.h"

#include <array>

namespace SettingsTable {

namespace {

struct LevelWord {
    const char* word;
    int level;
};
constexpr std::array<LevelWord, 5> LevelWords{{
    {"off", Error_Mod::Level::Off},
    {"errors", Error_Mod::Level::Errors},
    {"skips", Error_Mod::Level::Skips},
    {"verbose", Error_Mod::Level::Verbose},
    {"debug", Error_Mod::Level::Debug},
}};

} // namespace

QString Read(const QString& key) {
    return platform::settings().Get(AppTitle, SettingsSection, key);
}

bool Write(const QString& key, const QString& value) {
    if (platform::settings().Set(AppTitle, SettingsSection, key, value))
        return true;
    Error_Mod::WriteLog(QStringLiteral("SETTINGS: could not store ") + key + QStringLiteral(" = ") +
                            value,
                        Error_Mod::Level::Errors);
    return false;
}

int LogLevelFromWord(const QString& word) {
    const QString lower = word.toLower();
    for (const LevelWord& entry : LevelWords) {
        if (lower == QLatin1String(entry.word))
            return entry.level;
    }
    return Error_Mod::Level::Verbose;
}

QString LogLevelWord(int level) {
    for (const LevelWord& entry : LevelWords) {
        if (entry.level == level)
            return QLatin1String(entry.word);
    }
    return QStringLiteral("verbose");
}

} // namespace SettingsTable
