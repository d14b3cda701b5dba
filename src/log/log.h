#pragma once

#include <QString>

// The log file and the three reports that log a message and show it in a
// box. Lines come from the run and the window alike, one at a time.
namespace Error_Mod {

namespace Level {
inline constexpr int Off = 0;
inline constexpr int Errors = 1;
inline constexpr int Skips = 2;
inline constexpr int Verbose = 3;
inline constexpr int Debug = 4;
} // namespace Level

// Appends "date time - message" when level is not above the log level.
void WriteLog(const QString& message, int level);

// The full path of the log file: in the program's folder when that can be
// written, else in the player's state folder.
QString LogFilePath();

// The message as its log line shows it: control characters and file-name
// bytes that are not text written as \n, \x1b, \xe9 and the like, so no
// name can forge a line.
QString EscapeForLog(const QString& message);

// The line every procedure that handles its own failures logs at level 1:
// prefix & path & " - " & number & ": " & description.
void LogError(const QString& prefix, const QString& path, int number, const QString& description);

void ReportError(const QString& message, bool endProgram);
void ReportInfo(const QString& message, bool endProgram);
void ReportCritical(const QString& message, bool endProgram);

// The same reports for failures that may come many times in one run (a
// copy that fails for every file): the box carries a check box "Don't show
// this again during this run"; once it is ticked (quiet), later ones only
// reach the log.
void ReportErrorOnce(const QString& message, bool& quiet);
void ReportInfoOnce(const QString& message, bool& quiet);

// "context ERRORNUMBER-text: description", the common form of a window's
// load-error report.
QString LoadErrorMessage(const QString& context, int number, const QString& description);

} // namespace Error_Mod
