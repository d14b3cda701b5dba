#include "qt_shell.h"

#include "containers/runtime_error.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

void QtShell::OpenDocument(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtShell::StartProgram(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    bool started = false;
#ifdef Q_OS_WIN
    started = QProcess::startDetached(path, {}, folder);
#else
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (!wine.isEmpty())
        started = QProcess::startDetached(wine, {path}, folder);
    else
        started = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
    if (!started)
        throw RunTimeError(ErrNo::FileNotFound, QStringLiteral("File not found"));
}

bool QtShell::OpenAddress(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

} // namespace platform
