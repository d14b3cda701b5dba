#include "log.h"

#include "platform/platform.h"
#include "state/globals.h"

#include "platform/file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Error_Mod {

namespace {

// Runs and the window both write lines; one at a time.
QMutex& LogLock() {
    static QMutex lock;
    return lock;
}

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

// Control characters would break a line or forge another; escaped file
// name bytes are not text. Both are shown as escapes.
bool NeedsEscape(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029 ||
           platform::EscapedByte(c) >= 0;
}

// Opens, appends and closes, so every line is in the file when the call
// returns and nothing holds the file between lines. Failures lose the line.
bool AppendLine(const QString& path, const QByteArray& line) {
#ifdef Q_OS_WIN
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size();
#else
    // Straight to the system: the file class would look the file up three
    // more times per line.
    const int fd = ::open(platform::FileNameBytes(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
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
    return done == line.size();
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

void Show(const Report& report, const QString& message, bool endProgram, bool* quiet = nullptr) {
    WriteLog(QLatin1String(report.prefix) + message, report.level);
    if (quiet && *quiet)
        return;
    platform::Question question;
    question.text = message;
    question.style = platform::Box::OKOnly | report.style;
    question.title = AppTitle + QLatin1String(report.titleSuffix);
    if (quiet)
        question.checkText = G().CurLang.SeeByName(QStringLiteral("DONTSHOWAGAIN"));
    platform::prompts().Ask(question);
    if (quiet)
        *quiet = question.checked;
    if (endProgram)
        platform::process().EndProgram();
}

// True when the log can be appended to at path (or created there). A
// folder or anything else that is no plain file under the log's name
// cannot take it.
bool CanWrite(const QString& path) {
#ifdef Q_OS_WIN
    const QFileInfo file(path);
    return file.exists() ? file.isFile() && file.isWritable()
                         : QFileInfo(file.absolutePath()).isWritable();
#else
    const QByteArray bytes = platform::FileNameBytes(path);
    struct stat st {};
    if (::stat(bytes.constData(), &st) == 0)
        return S_ISREG(st.st_mode) && ::access(bytes.constData(), W_OK) == 0;
    const QByteArray folder = platform::FileNameBytes(QFileInfo(path).path());
    return ::access(folder.constData(), W_OK | X_OK) == 0;
#endif
}

} // namespace

QString EscapeForLog(const QString& message) {
    qsizetype i = 0;
    while (i < message.size() && !NeedsEscape(message.at(i)))
        ++i;
    if (i == message.size())
        return message;
    QString out = message.left(i);
    for (; i < message.size(); ++i) {
        const QChar c = message.at(i);
        if (!NeedsEscape(c)) {
            out += c;
            continue;
        }
        const int byte = platform::EscapedByte(c);
        const char16_t u = c.unicode();
        if (u == u'\r')
            out += QStringLiteral("\\r");
        else if (u == u'\n')
            out += QStringLiteral("\\n");
        else if (u == u'\t')
            out += QStringLiteral("\\t");
        else if (byte >= 0 || u < 0x80)
            out += QStringLiteral("\\x%1").arg(byte >= 0 ? byte : int(u), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString LogFilePath() {
    const QString name = ProductName + QStringLiteral(".log");
    const QString beside = platform::process().ProgramFolder() + QDir::separator() + name;
    if (CanWrite(beside))
        return beside;
    // An installed copy's folder belongs to the system: the player's own
    // state folder takes the log.
    const QString folder = platform::process().StateFolder();
    if (!QFileInfo::exists(folder)) {
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder + QDir::separator() + name;
}

void WriteLog(const QString& message, int level) {
    if (level > G().LogLevel)
        return;
    const QByteArray line = EscapeForLog(message).toUtf8();
    const QMutexLocker lock(&LogLock());
    // Where the log goes is decided once per program folder, and again when
    // a line cannot be written there.
    static QString decidedFor;
    const QString folder = platform::process().ProgramFolder();
    if (G().LogPath.isEmpty() || decidedFor != folder) {
        G().LogPath = LogFilePath();
        decidedFor = folder;
    }
    const QByteArray text = (Stamp() + QStringLiteral(" - ")).toUtf8() + line + "\r\n";
    // A log that cannot be written loses the line and nothing else.
    if (!AppendLine(G().LogPath, text)) {
        G().LogPath = LogFilePath();
        AppendLine(G().LogPath, text);
    }
}

void LogError(const QString& prefix, const QString& path, int number, const QString& description) {
    WriteLog(prefix + path + QStringLiteral(" - ") + QString::number(number) +
                 QStringLiteral(": ") + description,
             Level::Errors);
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

void ReportErrorOnce(const QString& message, bool& quiet) {
    Show(ErrorReport, message, false, &quiet);
}

void ReportInfoOnce(const QString& message, bool& quiet) {
    Show(InfoReport, message, false, &quiet);
}

QString LoadErrorMessage(const QString& context, int number, const QString& description) {
    return context + QLatin1Char(' ') +
           G().CurLang.ProperString(QStringLiteral("ERRORNUMBER"), QString::number(number), {},
                                    {}) +
           QStringLiteral(": ") + description;
}

} // namespace Error_Mod
