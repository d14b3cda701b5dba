#include "qt_shell.h"

#include "containers/runtime_error.h"
#include "spawn.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

// How long the desktop gets to say which program opens a file.
constexpr int AssociationQueryMs = 5000;

[[noreturn]] void NothingOpens() {
    throw RunTimeError(ErrNo::NoAssociation,
                       QStringLiteral("No program is associated with this file"));
}

#ifndef Q_OS_WIN
bool Have(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

// Whether the desktop knows a program for the file's type: opening a file
// that nothing takes would otherwise pass for an install.
bool DesktopOpens(const QString& path) {
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QByteArray answer;
    const int code = RunAndWait(QStringLiteral("xdg-mime"),
                                {QStringLiteral("query"), QStringLiteral("default"), type}, {},
                                AssociationQueryMs, &answer);
    return code == 0 && !answer.trimmed().isEmpty();
}
#endif

} // namespace

void QtShell::OpenDocument(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
#ifdef Q_OS_WIN
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        NothingOpens();
#else
    // The game's installer is associated inside Wine, not on the desktop.
    if (Have("wine")) {
        if (!StartDetached(QStringLiteral("wine"),
                           {QStringLiteral("start"), QStringLiteral("/unix"), path}, folder))
            throw RunTimeError(ErrNo::FileNotFound, QStringLiteral("Wine could not be started"));
        return;
    }
    if (!Have("xdg-open") || !Have("xdg-mime")) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            NothingOpens();
        return;
    }
    if (!DesktopOpens(path) || !StartDetached(QStringLiteral("xdg-open"), {path}, folder))
        NothingOpens();
#endif
}

void QtShell::StartProgram(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    bool started = false;
#ifdef Q_OS_WIN
    started = StartDetached(path, {}, folder);
#else
    if (Have("wine"))
        started = StartDetached(QStringLiteral("wine"), {path}, folder);
    else if (Have("xdg-open"))
        started = StartDetached(QStringLiteral("xdg-open"), {path}, folder);
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
