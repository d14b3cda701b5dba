#include "log.h"

#include "platform/globals.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace Error_Mod {

namespace {

QString Stamp() {
    const QDateTime now = platform::process().Now();
    const QLocale locale = QLocale::system();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

struct Report {
    const char* prefix;
    int level;
    int style;
    const char* titleSuffix;
};

constexpr Report ErrorReport{"ERROR: ", Level::Errors, platform::Box::Exclamation, " Error Wizard"};
constexpr Report InfoReport{"INFO: ", Level::Debug, platform::Box::Information, ""};
constexpr Report CriticalReport{"CRITICAL: ", Level::Errors, platform::Box::Critical,
                                " Error Wizard"};

void Show(const Report& report, const QString& message, bool endProgram) {
    WriteLog(QLatin1String(report.prefix) + message, report.level);
    platform::prompts().MsgBox(message, platform::Box::OKOnly | report.style,
                               AppTitle + QLatin1String(report.titleSuffix));
    if (endProgram)
        platform::process().EndProgram();
}

} // namespace

QString LogFilePath() {
    return platform::process().ProgramFolder() + QDir::separator() + ProductName +
           QStringLiteral(".log");
}

void WriteLog(const QString& message, int level) {
    if (level > G().LogLevel)
        return;
    G().LogPath = LogFilePath();
    // A log that cannot be written loses the line and nothing else.
    QFile file(G().LogPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QByteArray line = (Stamp() + QStringLiteral(" - ") + message).toUtf8() + "\r\n";
    file.write(line);
}

void ReportError(const QString& message, bool endProgram) {
    Show(ErrorReport, message, endProgram);
}

void ReportInfo(const QString& message, bool endProgram) {
    Show(InfoReport, message, endProgram);
}

void ReportCritical(const QString& message, bool endProgram) {
    Show(CriticalReport, message, endProgram);
}

QString LoadErrorMessage(const QString& context, int number, const QString& description) {
    return context + QLatin1Char(' ') +
           G().CurLang.ProperString(QStringLiteral("ERRORNUMBER"), QString::number(number), {},
                                    {}) +
           QStringLiteral(": ") + description;
}

} // namespace Error_Mod
