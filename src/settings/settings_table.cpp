#include "settings_table.h"

#include "log/log.h"
#include "platform/platform.h"
#include "state/globals.h"

#include <array>

namespace SettingsTable {

namespace {

using Error_Mod::WriteLog;
namespace Level = Error_Mod::Level;

struct LevelWord {
    const char* word;
    int level;
};
constexpr std::array<LevelWord, 5> LevelWords{{
    {"off", Level::Off},
    {"errors", Level::Errors},
    {"skips", Level::Skips},
    {"verbose", Level::Verbose},
    {"debug", Level::Debug},
}};

QString YesNo(bool on) {
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

// Under Wine the game's installer is often missing or broken; on Windows it
// is the game's own way.
#ifdef Q_OS_WIN
constexpr const char* Sims2PackDefault = "game";
#else
constexpr const char* Sims2PackDefault = "self";
#endif

QString TrueFalse(const QString& word) {
    return word == QLatin1String("yes") ? QStringLiteral("True") : QStringLiteral("False");
}

// Whether a window stores the word before the value takes effect: a new
// log level must not swallow the line of a store that failed.
enum class Order { TakeFirst, StoreFirst };

struct Row {
    Setting setting;
    const char* key;
    Phase phase;
    // Written back at start-up when the store holds nothing; nullptr: nothing.
    const char* defaultWord;
    // Start-up: the stored word (lower-cased, maybe "") into the values.
    void (*load)(const QString& stored);
    // The value in force as its stored word; nullptr: a window always stores.
    QString (*word)();
    // A window's word into the values.
    void (*take)(const QString& word);
    // The line a window's change is logged with; nullptr: none.
    QString (*changeLine)(const QString& word);
    Order order;
};

const std::array<Row, 7> Rows{{
    {Setting::LangChoice, "LangChoice", Phase::Own, nullptr, nullptr, nullptr,
     [](const QString&) {}, nullptr, Order::StoreFirst},
    {Setting::LogLevel, "LogLevel", Phase::LogLevel, "verbose",
     [](const QString& stored) {
         if (stored.isEmpty())
             return;
         G().LogLevel = LogLevelFromWord(stored);
         WriteLog(QStringLiteral("LOGLEVEL: ") + QString::number(G().LogLevel), Level::Debug);
     },
     [] { return LogLevelWord(G().LogLevel); },
     [](const QString& word) { G().LogLevel = LogLevelFromWord(word); }, nullptr,
     Order::StoreFirst},
    {Setting::ConfirmOverwrites, "ConfirmOverwrites", Phase::Options, "no",
     [](const QString& stored) {
         G().ConfirmOverwrites = false;
         G().RejectOverwrites = false;
         if (stored == QLatin1String("yes")) {
             WriteLog(QStringLiteral("CONFIRMOVERWRITES ON"), Level::Debug);
             G().ConfirmOverwrites = true;
         } else if (stored == QLatin1String("reject")) {
             WriteLog(QStringLiteral("REJECTOVERWRITES ON"), Level::Debug);
             G().RejectOverwrites = true;
         }
     },
     [] { return YesNo(G().ConfirmOverwrites); },
     // The window knows only asking or not; a stored "reject" holds until the
     // next start.
     [](const QString& word) { G().ConfirmOverwrites = word == QLatin1String("yes"); },
     [](const QString& word) {
         return QStringLiteral("CONFIRMOVERWRITES: Changed by menu to ") + TrueFalse(word);
     },
     Order::TakeFirst},
    {Setting::SkipEXEs, "SkipEXEs", Phase::Options, "no",
     [](const QString& stored) {
         G().SkipEXEs = false;
         if (stored == QLatin1String("yes")) {
             WriteLog(QStringLiteral("SkipEXEs ON"), Level::Debug);
             G().SkipEXEs = true;
         }
     },
     [] { return YesNo(G().SkipEXEs); },
     [](const QString& word) { G().SkipEXEs = word == QLatin1String("yes"); },
     [](const QString& word) {
         return QStringLiteral("SkipEXEs: Changed by menu to ") + TrueFalse(word);
     },
     Order::TakeFirst},
    {Setting::BadZipAlertBox, "BadZipAlertBox", Phase::Options, nullptr,
     [](const QString& stored) {
         G().BadZipAlertBox = true;
         if (stored == QLatin1String("no")) {
             WriteLog(QStringLiteral("BadZipAlertBox OFF"), Level::Debug);
             G().BadZipAlertBox = false;
         }
     },
     [] { return YesNo(G().BadZipAlertBox); },
     [](const QString& word) { G().BadZipAlertBox = word.toLower() != QLatin1String("no"); },
     nullptr, Order::TakeFirst},
    {Setting::SimsPath, "SimsPath", Phase::Own, nullptr, nullptr, [] { return G().SimsPath; },
     [](const QString& word) { G().SimsPath = word; },
     [](const QString& word) { return QStringLiteral("SIMSPATH: ") + word; }, Order::TakeFirst},
    {Setting::Sims2PackInstall, "Sims2PackInstall", Phase::Options, Sims2PackDefault,
     [](const QString& stored) {
         // "self" or "game"; anything else is the platform's way.
         const QString word = stored == QLatin1String("self") || stored == QLatin1String("game")
                                  ? stored
                                  : QLatin1String(Sims2PackDefault);
         G().Sims2PackSelf = word == QLatin1String("self");
         WriteLog(QStringLiteral("SIMS2PACKINSTALL: ") + word, Level::Debug);
     },
     [] { return G().Sims2PackSelf ? QStringLiteral("self") : QStringLiteral("game"); },
     [](const QString& word) { G().Sims2PackSelf = word == QLatin1String("self"); },
     [](const QString& word) {
         return QStringLiteral("SIMS2PACKINSTALL: Changed by menu to ") + word;
     },
     Order::TakeFirst},
}};

const Row& RowOf(Setting setting) {
    const Row& row = Rows[static_cast<std::size_t>(setting)];
    Q_ASSERT(row.setting == setting);
    return row;
}

} // namespace

QString Key(Setting setting) {
    return QLatin1String(RowOf(setting).key);
}

QString Read(Setting setting) {
    // A word the store refused earlier in this run stands in for it.
    const auto unsaved = G().UnsavedSettings.constFind(Key(setting));
    if (unsaved != G().UnsavedSettings.cend())
        return unsaved.value();
    return platform::settings().Get(AppTitle, SettingsSection, Key(setting));
}

bool Write(Setting setting, const QString& word) {
    const QString key = Key(setting);
    if (platform::settings().Set(AppTitle, SettingsSection, key, word)) {
        G().UnsavedSettings.remove(key);
        return true;
    }
    G().UnsavedSettings.insert(key, word);
    WriteLog(QStringLiteral("SETTINGS: could not store ") + key + QStringLiteral(" = ") + word,
             Level::Errors);
    return false;
}

void LoadAll(Phase phase) {
    for (const Row& row : Rows) {
        if (row.phase != phase || !row.load)
            continue;
        // Every start reads the store afresh; nothing is cached.
        const QString stored = Read(row.setting);
        if (stored.isEmpty() && row.defaultWord)
            Write(row.setting, QLatin1String(row.defaultWord));
        row.load(stored.toLower());
    }
}

bool Apply(Setting setting, const QString& word) {
    const Row& row = RowOf(setting);
    if (row.word && row.word() == word)
        return false;
    if (row.order == Order::StoreFirst) {
        Write(setting, word);
        row.take(word);
        return true;
    }
    row.take(word);
    if (row.changeLine)
        WriteLog(row.changeLine(word), Level::Debug);
    Write(setting, word);
    return true;
}

QString Word(Setting setting) {
    const Row& row = RowOf(setting);
    return row.word ? row.word() : Read(setting);
}

int LogLevelFromWord(const QString& word) {
    const QString lower = word.toLower();
    for (const LevelWord& entry : LevelWords) {
        if (lower == QLatin1String(entry.word))
            return entry.level;
    }
    return Level::Verbose;
}

QString LogLevelWord(int level) {
    for (const LevelWord& entry : LevelWords) {
        if (entry.level == level)
            return QLatin1String(entry.word);
    }
    return QStringLiteral("verbose");
}

} // namespace SettingsTable
