// Runs one install over a folder tree through the real core, with the
// non-interactive fakes and every log line written, and reports the time
// the run took, the files installed, the log lines and the peak resident
// memory. The program and download folders are the caller's, so that no
// file is deleted before the caller's own timing.

#include "fakes.h"
#include "log/log.h"
#include "pipeline/run.h"
#include "state/globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

LanguagePack RunTexts() {
    LanguagePack pack;
    pack.Initialize(QList<Variant>{
        "Bench", "Brushwick 2 team", "Processing = Processing", "STILLPROC = Still processing",
        "PLURALFILES = ... files installed", "Singularfile = 1 file installed",
        "NOFILES = No files installed", "Done = Done"});
    return pack;
}

qsizetype CountLines(const QString& path) {
    QFile log(path);
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    return log.readAll().count("\r\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr,
                     "usage: bw_install_run TREE PROGRAMFOLDER DOWNLOADFOLDER [LOGLEVEL]\n");
        return 2;
    }
    const QString tree = QString::fromLocal8Bit(argv[1]);
    const QString programFolder = QString::fromLocal8Bit(argv[2]);
    const QString downloads = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(programFolder);
    QDir().mkpath(downloads);

    fakes::Prompts prompts;
    fakes::Status status;
    fakes::Shell shell;
    fakes::Process process;
    fakes::Settings settings;
    process.programFolder = programFolder;
    process.driveFolder = programFolder;
    process.now = QDateTime::currentDateTime();
    platform::Install({&prompts, &status, &shell, &process, &settings});
    G().LogLevel = argc == 5 ? std::atoi(argv[4]) : Error_Mod::Level::Debug;
    G().CurLang = RunTexts();
    G().SimsPath = downloads + QDir::separator();

    MArray data;
    data.Push(tree);
    QElapsedTimer timer;
    timer.start();
    BrushwickMod::Handle_Processing(data);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const qsizetype installed = QDir(downloads).entryList(QDir::Files).size();
    // seconds, peak RSS in KiB, files in the download folder, log lines
    std::printf("%.3f %ld %lld %lld\n", seconds, usage.ru_maxrss, static_cast<long long>(installed),
                static_cast<long long>(CountLines(Error_Mod::LogFilePath())));
    return 0;
}
