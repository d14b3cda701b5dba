#include "qt_process.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>

#include <cstdlib>

namespace platform {

QString QtProcess::ProgramFolder() const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString QtProcess::DriveFolder() const {
#ifdef Q_OS_WIN
    return ProgramFolder().left(2);
#else
    // Without drive letters a private per-user folder takes the drive's part.
    const QString base =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/brushwick2";
    QDir().mkpath(base);
    QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return base;
#endif
}

QString QtProcess::StateFolder() const {
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
#else
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/brushwick2");
#endif
}

Version QtProcess::ProgramVersion() const {
    return Version{};
}

QString QtProcess::LegalCopyright() const {
    return QStringLiteral("Copyright (C) 2026 the Brushwick 2 team");
}

bool QtProcess::AnotherCopyRunning() {
    if (lock_)
        return false;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(folder + "/brushwick2.lock");
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return lock->error() == QLockFile::LockFailedError;
    lock_ = std::move(lock);
    return false;
}

void QtProcess::EndProgram() {
    if (lock_)
        lock_->unlock();
    std::_Exit(0);
}

void QtProcess::Sleep(int milliseconds) {
    // Keep painting while the pause lasts, but take no input, so that no
    // second run can start.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void QtProcess::Randomize() {
    random_.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
}

double QtProcess::Rnd() {
    return random_.generateDouble();
}

QDateTime QtProcess::Now() const {
    return QDateTime::currentDateTime();
}

} // namespace platform
