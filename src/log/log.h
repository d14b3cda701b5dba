#pragma once

#include <QString>

// The log file beside the program and the three reports that log a message
// and show it in a box.
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

// The full path of the log file in the program's folder.
QString LogFilePath();

void ReportError(const QString& message, bool endProgram);
void ReportInfo(const QString& message, bool endProgram);
void ReportCritical(const QString& message, bool endProgram);

// "context ERRORNUMBER-text: description", the common form of a window's
// load-error report.
QString LoadErrorMessage(const QString& context, int number, const QString& description);

} // namespace Error_Mod
