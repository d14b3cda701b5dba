// Unpacks one zip through DoZip with the non-interactive stand-ins and
// prints how long it took, how much memory the process needed at most and
// what came out.
#include "pipeline/archives.h"
#include "state/globals.h"
#include "test_env.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ARCHIVE.zip KEEP_FOLDER\n", argv[0]);
        return 2;
    }
    const QString archive = QString::fromLocal8Bit(argv[1]);
    const QString keep = QString::fromLocal8Bit(argv[2]);

    // The player's usual log level, so every unhandled file is logged.
    TestEnv env(3);
    env.useTestLanguage();
    G().TidselTemp = env.driveFolder() + "/temp/brushwick/voriderud";
    G().SimsPath = env.downloadFolder() + "/";

    QElapsedTimer timer;
    timer.start();
    const int installed = BrushwickMod::DoZip(archive);
    const double seconds = timer.nsecsElapsed() / 1e9;

    qsizetype files = 0;
    const QString temp = env.driveFolder() + "/temp/brushwick";
    for (const QString& folder : QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        files += QDir(temp + "/" + folder).entryList(QDir::Files | QDir::Hidden).size();

    // What came out is moved aside, not deleted: files deleted just before
    // the next round would slow down its file creation.
    QDir().rename(env.driveFolder(), keep);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("seconds=%.3f peak_rss_kib=%ld files=%lld installed=%d bad_zip=%d\n", seconds,
                usage.ru_maxrss, static_cast<long long>(files), installed,
                static_cast<int>(env.logMessages().filter("BAD ZIP: ").size()));
    return 0;
}
