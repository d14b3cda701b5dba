#pragma once

#include <array>

// Every text the program looks up in a language pack, with the number of
// values it fills into the text's "..." places (0 for texts shown as they
// stand). Every pack the program ships defines all of them.
namespace BrushwickMod {

struct LanguageKey {
    const char* key;
    int fillIns;
};

inline constexpr std::array<LanguageKey, 27> LanguageKeys{{
    // Pop-up menu, status bar and the language choice
    {"HELP", 0},
    {"LANGOPT", 0},
    {"CREDopt", 0},
    {"LOGGopt", 0},
    {"OTHEROPT", 0},
    {"Defbarmsg", 0},
    {"LANGUAGE", 0},
    // Start-up and load failures: the error number
    {"ERRORNUMBER", 1},
    {"LOADERROR", 0},
    {"AnotherTidsel", 0},
    // A run's status texts: the number of files installed
    {"Processing", 0},
    {"STILLPROC", 0},
    {"PLURALFILES", 1},
    {"Singularfile", 0},
    {"NOFILES", 0},
    {"Done", 0},
    // Programs: the program's file name
    {"EXEQUERY", 1},
    {"EXEPOST", 0},
    // Copying: the target; the source and the target; the log file
    {"FILEEXISTS", 1},
    {"FCERROR", 2},
    {"ERRORREPORT", 1},
    // Download folder
    {"NODOWNLOADPATH", 0},
    {"GSPERROR", 0},
    // Damaged zip archive: its path
    {"BADZIP", 1},
    // Other options
    {"SKIPEXEOPT", 0},
    {"CONFIRMOVEROPT", 0},
    {"SIMS2PACKOPT", 0},
}};

} // namespace BrushwickMod
