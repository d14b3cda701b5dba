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

inline constexpr std::array<LanguageKey, 71> LanguageKeys{{
    // Pop-up menu, status bar and the language choice
    {"HELP", 0},
    {"LANGOPT", 0},
    {"CREDopt", 0},
    {"LOGGopt", 0},
    {"OTHEROPT", 0},
    {"Defbarmsg", 0},
    {"LANGUAGE", 0},
    // The language's code for what the toolkit draws itself (de, pt_BR)
    {"LANGCODE", 0},
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
    // Password entry
    {"SHOWPASSWORD", 0},
    // Failure boxes
    {"DONTSHOWAGAIN", 0},
    // Overwrite question
    {"YESTOALL", 0},
    {"NOTOALL", 0},
    // A run
    {"STOPBUTTON", 0},
    {"STOPQUERY", 0},
    {"WAITING", 1},
    {"PROGRESSFILES", 1},
    {"DETAILS", 0},
    // Run report
    {"REPORTTITLE", 0},
    {"REPORTALL", 0},
    {"REPORTFILE", 0},
    {"REPORTWHAT", 0},
    {"REPORTDETAIL", 0},
    {"REPORTOPENDOWNLOADS", 0},
    {"REPORTOPENLOG", 0},
    {"REPORTCOPY", 0},
    {"OUTCOMEINSTALLED", 0},
    {"OUTCOMEREPLACED", 0},
    {"OUTCOMEREFUSED", 0},
    {"OUTCOMEFAILED", 0},
    {"OUTCOMEUNHANDLED", 0},
    {"OUTCOMESKIPPED", 0},
    {"OUTCOMERUN", 0},
    {"OUTCOMEINSTALLER", 0},
    {"OUTCOMEBADARCHIVE", 0},
    {"OUTCOMELEFTPACKED", 0},
    // Download folder
    {"FOLDERCHOICE", 0},
    {"FOLDEROTHER", 0},
    {"FOLDERCREATED", 0},
    {"FOLDERNOTDOWNLOADS", 1},
    {"FOLDERNOGAME", 1},
    {"FOLDERUSE", 0},
    {"FOLDERAGAIN", 0},
    {"FOLDERQUIT", 0},
    {"FOLDERGONE", 1},
    {"FOLDERNOTMADE", 1},
    {"FOLDERLABEL", 0},
    {"FOLDERCHANGE", 0},
    // Pictures
    {"PICTUREDROP", 0},
    {"PICTUREHERE", 0},
    {"PICTUREHINT", 0},
    {"SPLASHTAGLINE", 0},
}};

} // namespace BrushwickMod
