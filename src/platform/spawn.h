#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Starting other programs with arguments that are file names. Qt would pass
// them as UTF-8 text, which changes a name that is not valid UTF-8; these
// pass every argument with the exact bytes of the name.
namespace platform {

// Starts program (looked up on PATH) with arguments in folder, without
// waiting for it and without leaving it a child of this process. False
// when it could not be started.
bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder);

// Runs program with arguments in folder, waits at most timeoutMs and gives
// its exit code; -1 when it could not be started, was killed for taking too
// long or because carryOn (asked a few times a second) said no, or crashed.
// Its standard output (with withErrors its error output too) is collected
// in output, at most maxOutput bytes; the rest is read and dropped.
int RunAndWait(const QString& program, const QStringList& arguments, const QString& folder,
               int timeoutMs, QByteArray* output = nullptr, qsizetype maxOutput = 1 << 20,
               bool withErrors = false, const std::function<bool()>& carryOn = {});

} // namespace platform
