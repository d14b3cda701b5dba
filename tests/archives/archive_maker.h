#pragma once

// Zip archives the tests build themselves, friendly and hostile, copies of
// the real archives, and the common set-up and look-ups for unpacking.
#include "pipeline/archives.h"
#include "state/globals.h"
#include "test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace maker {

struct Entry {
    QByteArray name;
    // The contents of a file, the target of a link.
    QByteArray data = "data";
    mode_t type = AE_IFREG;
};

inline Entry File(const QByteArray& name, const QByteArray& data = "data") {
    return {name, data, AE_IFREG};
}

inline void Check(int status, archive* a, const char* what) {
    if (status < ARCHIVE_WARN)
        qFatal("%s: %s", what, archive_error_string(a));
}

// Writes a zip of the entries; with a password every file is encrypted by
// method ("zipcrypt" or "aes256"). Returns path.
inline QString Zip(const QString& path, const QList<Entry>& entries,
                   const QByteArray& password = {}, const char* method = "zipcrypt") {
    QDir().mkpath(QFileInfo(path).path());
    std::unique_ptr<archive, decltype(&archive_write_free)> w(archive_write_new(),
                                                              archive_write_free);
    archive* a = w.get();
    Check(archive_write_set_format_zip(a), a, "format");
    if (!password.isEmpty()) {
        Check(archive_write_set_options(a, (QByteArray("zip:encryption=") + method).constData()), a,
              "encryption");
        Check(archive_write_set_passphrase(a, password.constData()), a, "passphrase");
    }
    Check(archive_write_open_filename(a, QFile::encodeName(path).constData()), a, "open");
    archive_entry* entry = archive_entry_new();
    for (const Entry& e : entries) {
        archive_entry_clear(entry);
        archive_entry_copy_pathname(entry, e.name.constData());
        archive_entry_set_mode(entry, e.type | 0755);
        if (e.type == AE_IFLNK)
            archive_entry_copy_symlink(entry, e.data.constData());
        if (e.type == AE_IFREG)
            archive_entry_set_size(entry, e.data.size());
        Check(archive_write_header(a, entry), a, "header");
        if (e.type == AE_IFREG)
            archive_write_data(a, e.data.constData(), e.data.size());
    }
    archive_entry_free(entry);
    Check(archive_write_close(a), a, "close");
    return path;
}

inline QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

// What one archive's folder held once unpacked, before its files were
// handled and the folder removed.
struct Unpacked {
    QString folder;
    // name, or "not a plain file: " & name; with the size after a blank.
    QStringList entries;
};
inline QList<Unpacked>& Seen() {
    static QList<Unpacked> seen;
    return seen;
}

// Everything directly in folder (files, folders and links), sorted by name.
inline QStringList NamesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Test texts, the temporary root below the drive folder and the download
// folder, as start-up would set them; each unpacked folder is looked into.
inline void PrepareRun(TestEnv& env) {
    env.useTestLanguage();
    G().TidselTemp = TempRoot(env) + "/voriderud";
    G().SimsPath = env.downloadFolder() + "/";
    Seen().clear();
    BrushwickMod::SetUnpackedObserver([](const QString& folder) {
        Unpacked u{folder, {}};
        for (const QString& name : NamesIn(folder)) {
            const QFileInfo info(folder + name);
            u.entries.append(
                (info.isFile() && !info.isSymLink() ? name : "not a plain file: " + name) + " " +
                QString::number(info.size()));
        }
        Seen().append(u);
    });
}

// The extraction folders made so far.
inline QStringList ExtractionFolders(const TestEnv&) {
    QStringList folders;
    for (const Unpacked& u : Seen())
        folders.append(u.folder);
    return folders;
}

// What all extraction folders held, sorted; anything but a plain file stands out.
inline QStringList Extracted(const TestEnv&, bool withSizes = false) {
    QStringList names;
    for (const Unpacked& u : Seen())
        for (const QString& entry : u.entries)
            names.append(withSizes ? entry : entry.left(entry.lastIndexOf(' ')));
    names.sort();
    return names;
}

// Every path below root, recursively, links not followed.
inline QStringList Tree(const QString& root) {
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next().mid(root.size()));
    return paths;
}

inline QStringList LinesStarting(const TestEnv& env, const QString& start) {
    return env.logMessages().filter(QRegularExpression("^" + QRegularExpression::escape(start)));
}

} // namespace maker
