#pragma once

#include <QString>

// The keys of the settings store and how their words read. Every key lives
// in the section "Settings" under the application title.
namespace SettingsTable {

inline const QString LangChoice = QStringLiteral("LangChoice");
inline const QString LogLevel = QStringLiteral("LogLevel");
inline const QString ConfirmOverwrites = QStringLiteral("ConfirmOverwrites");
inline const QString SkipEXEs = QStringLiteral("SkipEXEs");
inline const QString BadZipAlertBox = QStringLiteral("BadZipAlertBox");
inline const QString SimsPath = QStringLiteral("SimsPath");

// Reads a key afresh from the store ("" when absent).
QString Read(const QString& key);
// Writes a key; false when the store could not be written. That failure
// gets a level-1 log line, and the program goes on with the value it has in
// memory.
bool Write(const QString& key, const QString& value);

// "off", "errors", "skips", "verbose", "debug" in any case; anything else is 3.
int LogLevelFromWord(const QString& word);
// The word the store keeps for a log level (0 to 4).
QString LogLevelWord(int level);

} // namespace SettingsTable
