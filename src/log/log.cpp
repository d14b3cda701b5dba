#include "log.h"

#include "platform/globals.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Error_Mod {

namespace {

// The stamp of the current second. Formatting it looks up the time zone,
// which costs more than writing the line, so one text serves all the lines
// written within the same second.
QString Stamp() {
    struct Cached {
        QDate date;
        int second = -1;
        QString text;
    };
    static Cached cached;
    const QDateTime now = platform::process().Now();
    const QDate date = now.date();
    const int second = now.time().msecsSinceStartOfDay() / 1000;
    if (date != cached.date || second != cached.second) {
        const QLocale locale = QLocale::system();
        cached = {date, second,
                  locale.toString(date, QLocale::ShortFormat) + QLatin1Char(' ') +
                      locale.toString(now.time(), QLocale::LongFormat)};
    }
    return cached.text;
}

// Opens, appends and closes, so every line is in the file when the call
// returns and nothing holds the file between lines. Failures lose the line.
void AppendLine(const QString& path, const QByteArray& line) {
#ifdef Q_OS_WIN
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line);
#else
    // Straight to the system: the file class would look the file up three
    // more times per line.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
#endif
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
    AppendLine(G().LogPath, (Stamp() + QStringLiteral(" - ") + message).toUtf8() + "\r\n");
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
