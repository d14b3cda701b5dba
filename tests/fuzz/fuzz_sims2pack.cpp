// Any bytes as a .sims2pack container: the reader never crashes or throws
// for a readable file, and unpacking what it accepts never writes outside
// the folder it is given, nor leaves anything behind when it fails.
#include "containers/runtime_error.h"
#include "pipeline/sims2pack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A private folder holding the input file and the folder unpacked into.
struct Scene {
    QTemporaryDir root;
    QString input() const { return root.filePath(QStringLiteral("input.sims2pack")); }
    QString sandbox() const { return root.filePath(QStringLiteral("sandbox")) + QLatin1Char('/'); }
};

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_sims2pack: %s\n", what);
    std::abort();
}

void Write(const QString& path, const uint8_t* data, size_t size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size))
        Fail("cannot write the input file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scene scene;
    if (!scene.root.isValid() || !QDir().mkpath(scene.sandbox()))
        Fail("no temporary folder");
    Write(scene.input(), data, size);

    // Inspect throws only for files it cannot read; this one it can.
    const FileOps::Sims2Pack::Inspection inspection = FileOps::Sims2Pack::Inspect(scene.input());
    if (inspection.refusal.isEmpty()) {
        try {
            const QStringList written =
                FileOps::Sims2Pack::Unpack(scene.input(), inspection.container, scene.sandbox());
            for (const QString& path : written) {
                const QString name = path.mid(scene.sandbox().size());
                if (!path.startsWith(scene.sandbox()) || name.contains(QLatin1Char('/')) ||
                    !QFileInfo(path).isFile())
                    Fail("a file written outside the sandbox");
            }
            if (Entries(scene.sandbox()).size() != written.size())
                Fail("the sandbox holds more than was written");
        } catch (const RunTimeError&) {
            // A name the file system refuses; the container is then not
            // unpacked at all.
            if (!Entries(scene.sandbox()).isEmpty())
                Fail("a failed unpack left files behind");
        }
    }
    if (Entries(scene.root.path()) !=
        QStringList{QStringLiteral("input.sims2pack"), QStringLiteral("sandbox")})
        Fail("something written beside the sandbox");
    QDir(scene.sandbox()).removeRecursively();
    return 0;
}
