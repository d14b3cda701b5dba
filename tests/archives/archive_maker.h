#pragma once

// Zip archives the tests build themselves, friendly and hostile, copies of
// the real archives, and the common set-up and look-ups for unpacking.
#include "checks.h"
#include "pipeline/archives.h"
#include "state/globals.h"
#include "test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>

namespace maker {

struct Entry {
    QByteArray name;
    // The contents of a file, the target of a link.
    QByteArray data = "data";
    mode_t type = AE_IFREG;
};

// Writes a zip of the entries. Returns path.
inline QString Zip(const QString& path, const QList<Entry>& entries) {
    QDir().mkpath(QFileInfo(path).path());
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    // The worst status of all steps.
    int status = archive_write_open_filename(a, QFile::encodeName(path).constData());
    archive_entry* entry = archive_entry_new();
    for (const Entry& e : entries) {
        archive_entry_clear(entry);
        archive_entry_copy_pathname(entry, e.name.constData());
        archive_entry_set_mode(entry, e.type | 0755);
        if (e.type == AE_IFLNK)
            archive_entry_copy_symlink(entry, e.data.constData());
        if (e.type == AE_IFREG)
            archive_entry_set_size(entry, e.data.size());
        status = std::min(status, archive_write_header(a, entry));
        if (e.type == AE_IFREG)
            archive_write_data(a, e.data.constData(), e.data.size());
    }
    archive_entry_free(entry);
    if (std::min(status, archive_write_close(a)) < ARCHIVE_WARN)
        qFatal("%s: %s", qPrintable(path), archive_error_string(a));
    archive_write_free(a);
    return path;
}

// A zip written byte by byte (stored entries), so that it can say what a
// tool would never write. entries is a Python list of (name bytes, flags,
// data, the uncompressed size declared, Unix file type and mode or 0).
inline QString RawZip(const QString& path, const QString& entries) {
    const char* script = R"(
import struct, sys, zlib
out, cd, entries = bytearray(), bytearray(), eval(sys.argv[2])
for name, flag, data, size, mode in entries:
    off, crc = len(out), zlib.crc32(data)
    out += struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, flag, 0, 0, 0, crc, len(data), size,
                       len(name), 0) + name + data
    cd += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 0x314 if mode else 20, 20, flag, 0, 0, 0,
                      crc, len(data), size, len(name), 0, 0, 0, 0, mode << 16, off) + name
out += cd + struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(entries), len(entries), len(cd),
                        len(out), 0)
open(sys.argv[1], 'wb').write(out)
)";
    if (QProcess::execute("python3", {"-c", script, path, entries}) != 0)
        QTest::qFail("python3 could not write the zip", __FILE__, __LINE__);
    return path;
}

// A real archive of tests/data/archives (or the folder itself for ""). A
// missing fixture fails the test with its name; the test goes on and fails
// on what it then cannot find, rather than stopping the whole program.
inline QString CorpusFile(const QString& name) {
    const QString folder = qEnvironmentVariable("BW_CORPUS");
    const QString path = name.isEmpty() ? folder : folder + "/" + name;
    if (folder.isEmpty() || !QFileInfo::exists(path))
        QTest::qFail(qPrintable("test fixture missing: " + path), __FILE__, __LINE__);
    return path;
}

// A writable copy of a real archive at to.
inline QString CopyCorpus(const QString& name, const QString& to) {
    QDir().mkpath(QFileInfo(to).path());
    QFile::copy(CorpusFile(name), to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    return to;
}

inline QString TempRoot(const TestEnv& env) {
    return env.driveFolder() + "/temp/brushwick";
}

// What each archive's folder held once unpacked, before its files were
// handled and the folder removed: name, or "not a plain file: " & name; with
// the size after a blank.
inline QStringList& Seen() {
    static QStringList seen;
    return seen;
}

// Everything directly in folder (files, folders and links), sorted by name.
inline QStringList NamesIn(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A test's world with test texts, the temporary root below the drive folder
// and the download folder, as start-up would set them; each unpacked folder
// is looked into.
struct Run : TestEnv {
    Run() {
        useTestLanguage();
        G().TidselTemp = TempRoot(*this) + "/voriderud";
        G().SimsPath = downloadFolder() + "/";
        Seen().clear();
        BrushwickMod::SetUnpackedObserver([](const QString& folder) {
            for (const QString& name : NamesIn(folder)) {
                const QFileInfo info(folder + name);
                Seen().append(
                    (info.isFile() && !info.isSymLink() ? name : "not a plain file: " + name) +
                    " " + QString::number(info.size()));
            }
        });
    }
};

// What all extraction folders held, sorted; anything but a plain file stands out.
inline QStringList Extracted(const TestEnv&, bool withSizes = false) {
    QStringList names;
    for (const QString& entry : Seen())
        names.append(withSizes ? entry : entry.left(entry.lastIndexOf(' ')));
    names.sort();
    return names;
}

// Every path below the test's folder, recursively, links not followed, but
// those in before and those the program may write to: the temporary root,
// the download folder and the log.
inline QStringList Tree(const TestEnv& env, const QStringList& before = {}) {
    QStringList paths;
    QDirIterator it(env.root(),
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next().mid(env.root().size());
        if (!before.contains(path) && !path.startsWith("/drive/temp") &&
            !path.startsWith("/downloads/") && path != "/program/Brushwick2.log")
            paths.append(path);
    }
    return paths;
}

inline QStringList LinesStarting(const TestEnv& env, const QString& start) {
    return env.logMessages().filter(QRegularExpression("^" + QRegularExpression::escape(start)));
}

} // namespace maker
