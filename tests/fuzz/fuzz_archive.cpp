// Any bytes as a zip (or, built with BW_FUZZ_RAR, a rar) archive dropped on
// the program: unpacking never crashes, and after every input nothing was
// written anywhere but the private temporary root (which is empty again
// once the archive's files are handled) and the download folder.
#include "fakes.h"
#include "pipeline/archives.h"
#include "state/globals.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

#ifdef BW_FUZZ_RAR
const char* const InputName = "input.rar";
#else
const char* const InputName = "input.zip";
#endif

struct Scene {
    QTemporaryDir root;
    fakes::Prompts prompts;
    fakes::Status status;
    fakes::Shell shell;
    fakes::Process process;
    fakes::Settings settings;

    Scene() {
        for (const char* sub : {"program", "drive", "downloads"})
            QDir().mkpath(root.filePath(QLatin1String(sub)));
        process.programFolder = root.filePath(QStringLiteral("program"));
        process.driveFolder = root.filePath(QStringLiteral("drive"));
        process.stateFolder = root.filePath(QStringLiteral("program"));
        platform::Install({&prompts, &status, &shell, &process, &settings});
    }
    QString input() const { return root.filePath(QLatin1String(InputName)); }
};

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "fuzz_archive: %s\n", qPrintable(what));
    std::abort();
}

// Everything below the scene's root, links not followed.
QStringList Tree(const QString& root) {
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next().mid(root.size() + 1));
    return paths;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scene scene;
    ResetGlobals();
    G().LogLevel = 0;
    G().TidselTemp = scene.process.driveFolder + "/temp/brushwick/voriderud";
    G().SimsPath = scene.process.driveFolder.chopped(5) + "downloads/";
    G().BadZipAlertBox = false;
    QFile input(scene.input());
    if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        input.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        Fail("cannot write the input file");
    input.close();

#ifdef BW_FUZZ_RAR
    BrushwickMod::DoRar(scene.input());
#else
    BrushwickMod::DoZip(scene.input());
#endif

    for (const QString& path : Tree(scene.root.path())) {
        const bool allowed = path == QLatin1String(InputName) || path == "program" ||
                             path == "drive" || path == "drive/temp" ||
                             path == "drive/temp/brushwick" || path == "downloads" ||
                             (path.startsWith("downloads/") && path.count('/') == 1);
        if (!allowed)
            Fail("written outside the sandbox or left behind: " + path);
    }
    QDir(scene.root.filePath(QStringLiteral("downloads"))).removeRecursively();
    QDir().mkpath(scene.root.filePath(QStringLiteral("downloads")));
    return 0;
}
