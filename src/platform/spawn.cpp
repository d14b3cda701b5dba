#include "spawn.h"

#include "file_names.h"

#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QElapsedTimer>
#include <QProcess>
#else
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#endif

namespace platform {

namespace {
// How often a running helper's carryOn is asked.
constexpr int CheckEveryMs = 200;
} // namespace

#ifdef Q_OS_WIN

bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder) {
    return QProcess::startDetached(program, arguments, folder);
}

int RunAndWait(const QString& program, const QStringList& arguments, const QString& folder,
               int timeoutMs, QByteArray* output, qsizetype maxOutput, bool withErrors,
               const std::function<bool()>& carryOn) {
    QProcess process;
    if (withErrors)
        process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted())
        return -1;
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(CheckEveryMs)) {
        if (clock.elapsed() >= timeoutMs || (carryOn && !carryOn())) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
    }
    if (output)
        *output = process.readAllStandardOutput().left(maxOutput);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

#else

namespace {

// Everything the child needs, made before the fork: after it, the child
// may only call what is safe between fork and exec.
struct Command {
    QByteArray path;
    QByteArray folder;
    std::vector<QByteArray> words;
    std::vector<char*> argv;

    bool Make(const QString& program, const QStringList& arguments, const QString& where) {
        const QString found = QStandardPaths::findExecutable(program);
        if (found.isEmpty())
            return false;
        path = FileNameBytes(found);
        folder = FileNameBytes(where);
        words.push_back(FileNameBytes(program));
        for (const QString& argument : arguments)
            words.push_back(FileNameBytes(argument));
        for (QByteArray& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        return true;
    }
};

// In the child: standard input from /dev/null, standard error dropped, then
// the program. On failure the reason goes up the pipe.
[[noreturn]] void Exec(const Command& c, int outputFd, int errorPipe, bool withErrors = false) {
    if (!c.folder.isEmpty() && ::chdir(c.folder.constData()) != 0) {
        const int e = errno;
        (void)!::write(errorPipe, &e, sizeof e);
        ::_exit(127);
    }
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(outputFd >= 0 ? outputFd : null, STDOUT_FILENO);
        ::dup2(withErrors && outputFd >= 0 ? outputFd : null, STDERR_FILENO);
    }
    ::execv(c.path.constData(), c.argv.data());
    const int e = errno;
    (void)!::write(errorPipe, &e, sizeof e);
    ::_exit(127);
}

// True when the child reported that it could not start the program.
bool StartFailed(int errorPipe) {
    int e = 0;
    ssize_t n;
    do {
        n = ::read(errorPipe, &e, sizeof e);
    } while (n < 0 && errno == EINTR);
    ::close(errorPipe);
    return n > 0;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

void KillGroup(pid_t child) {
    ::kill(-child, SIGKILL);
    ::kill(child, SIGKILL);
}

} // namespace

bool StartDetached(const QString& program, const QStringList& arguments, const QString& folder) {
    Command c;
    int errorPipe[2];
    if (!c.Make(program, arguments, folder) || ::pipe2(errorPipe, O_CLOEXEC) != 0)
        return false;
    const pid_t child = ::fork();
    if (child == 0) {
        // A grandchild of its own session, so that it is nobody's zombie
        // and outlives the program.
        ::close(errorPipe[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0)
            Exec(c, -1, errorPipe[1]);
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(errorPipe[1]);
    if (child < 0) {
        ::close(errorPipe[0]);
        return false;
    }
    const int status = WaitFor(child);
    const bool failed = StartFailed(errorPipe[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !failed;
}

int RunAndWait(const QString& program, const QStringList& arguments, const QString& folder,
               int timeoutMs, QByteArray* output, qsizetype maxOutput, bool withErrors,
               const std::function<bool()>& carryOn) {
    Command c;
    int errorPipe[2];
    int outputPipe[2];
    if (!c.Make(program, arguments, folder) || ::pipe2(errorPipe, O_CLOEXEC) != 0)
        return -1;
    if (::pipe2(outputPipe, O_CLOEXEC) != 0) {
        ::close(errorPipe[0]);
        ::close(errorPipe[1]);
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        // A group of its own, so that a hung helper goes with everything it
        // started.
        ::setpgid(0, 0);
        Exec(c, outputPipe[1], errorPipe[1], withErrors);
    }
    ::close(errorPipe[1]);
    ::close(outputPipe[1]);
    if (child < 0) {
        ::close(errorPipe[0]);
        ::close(outputPipe[0]);
        return -1;
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    Clock::time_point nextCheck = Clock::now() + std::chrono::milliseconds(CheckEveryMs);
    // False once the child must go: its time is up, or carryOn said so.
    const auto mayGoOn = [&] {
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return false;
        if (now < nextCheck)
            return true;
        nextCheck = now + std::chrono::milliseconds(CheckEveryMs);
        return !carryOn || carryOn();
    };
    bool killed = false;
    char block[16 * 1024];
    for (;;) {
        if (!mayGoOn()) {
            killed = true;
            break;
        }
        pollfd p{outputPipe[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, CheckEveryMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(outputPipe[0], block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (output && output->size() < maxOutput)
            output->append(block, std::min<qsizetype>(n, maxOutput - output->size()));
    }
    ::close(outputPipe[0]);
    // A child that closed its output may still hang: it gets the same time.
    int status = 0;
    while (!killed) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        if (!mayGoOn())
            killed = true;
        else
            ::poll(nullptr, 0, 5);
    }
    if (killed) {
        KillGroup(child);
        status = WaitFor(child);
    }
    if (StartFailed(errorPipe[0]) || killed || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

#endif

} // namespace platform
