// Unpacks one zip or 7z archive through DoZip or Do7z with the
// non-interactive stand-ins and prints how long it took (unpacking, handling
// every file and removing the folder again, as a run does), how much memory
// the process needed at most and what came out.
#include "pipeline/archives.h"
#include "state/globals.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ARCHIVE.zip|ARCHIVE.7z\n", argv[0]);
        return 2;
    }
    const QString archive = QString::fromLocal8Bit(argv[1]);

    // The player's usual log level, so every unhandled file is logged.
    TestEnv env(3);
    env.useTestLanguage();
    G().TidselTemp = env.driveFolder() + "/temp/brushwick/voriderud";
    G().SimsPath = env.downloadFolder() + "/";
    qsizetype files = 0;
    BrushwickMod::SetUnpackedObserver([&files](const QString& folder) {
        files += QDir(folder).entryList(QDir::Files | QDir::Hidden).size();
    });

    QElapsedTimer timer;
    timer.start();
    const bool sevenZip = archive.endsWith(QStringLiteral(".7z"));
    const int installed = sevenZip ? BrushwickMod::Do7z(archive) : BrushwickMod::DoZip(archive);
    const double seconds = timer.nsecsElapsed() / 1e9;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("seconds=%.3f peak_rss_kib=%ld files=%lld installed=%d bad=%d\n", seconds,
                usage.ru_maxrss, static_cast<long long>(files), installed,
                static_cast<int>(env.logMessages().filter(QRegularExpression("^BAD ")).size()));
    return 0;
}
