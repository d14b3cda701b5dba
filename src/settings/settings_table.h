#pragma once

#include <QString>

// Every setting the program keeps, one row each (settings_table.cpp): its
// key in the section "Settings" under the application title, how start-up
// reads its stored word (unknown words included), the word written back
// when the store holds none, the words the windows store, and the line
// logged when a window changes it. Adding a setting is one row there and
// its control in a window.
namespace SettingsTable {

enum class Setting {
    LangChoice,
    LogLevel,
    ConfirmOverwrites,
    SkipEXEs,
    BadZipAlertBox,
    SimsPath,
    Sims2PackInstall,
};

// When start-up takes a setting in. The language choice and the download
// folder are taken by their own dialogs' loops (language.h, sims_path.h).
enum class Phase { Own, LogLevel, Options };

// The key as the store names it ("ConfirmOverwrites").
QString Key(Setting setting);

// The stored word, read afresh ("" when absent).
QString Read(Setting setting);
// Stores a word. When the store refuses, that is logged at level 1 and the
// program goes on with the value it has in memory.
bool Write(Setting setting, const QString& word);

// Start-up: every setting of the phase, in table order, into the
// program-wide values, with its start-up line; a setting the store does not
// hold gets its default written back where its row has one.
void LoadAll(Phase phase);

// A window's new choice: nothing when it is the word in force; otherwise
// the value takes effect, its change line is logged and the word stored.
// True when the value changed.
bool Apply(Setting setting, const QString& word);

// The word the value in force is stored as.
QString Word(Setting setting);

// "off", "errors", "skips", "verbose", "debug" in any case; anything else is 3.
int LogLevelFromWord(const QString& word);
// The word the store keeps for a log level (0 to 4).
QString LogLevelWord(int level);

} // namespace SettingsTable
