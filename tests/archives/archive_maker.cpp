#include "archive_maker.h"

#include "platform/globals.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace maker {

namespace {

void Check(int status, archive* a, const char* what) {
    if (status < ARCHIVE_WARN)
        qFatal("%s: %s", what, archive_error_string(a));
}

} // namespace

QString Zip(const QString& path, const QList<Entry>& entries, const QByteArray& password,
            const char* method) {
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
    for (const Entry& e : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                            archive_entry_free);
        archive_entry_copy_pathname(entry.get(), e.name.constData());
        archive_entry_set_mtime(entry.get(), EntryTime.toSecsSinceEpoch(), 0);
        switch (e.type) {
        case Entry::Type::File:
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_perm(entry.get(), 0644);
            archive_entry_set_size(entry.get(), e.data.size());
            break;
        case Entry::Type::Folder:
            archive_entry_set_filetype(entry.get(), AE_IFDIR);
            archive_entry_set_perm(entry.get(), 0755);
            break;
        case Entry::Type::Symlink:
            archive_entry_set_filetype(entry.get(), AE_IFLNK);
            archive_entry_set_perm(entry.get(), 0777);
            archive_entry_copy_symlink(entry.get(), e.data.constData());
            break;
        }
        Check(archive_write_header(a, entry.get()), a, "header");
        if (e.type == Entry::Type::File && !e.data.isEmpty())
            archive_write_data(a, e.data.constData(), e.data.size());
    }
    Check(archive_write_close(a), a, "close");
    return path;
}

QString ZipAround(const QString& path, const QString& inner) {
    return Zip(path, {File(QFileInfo(inner).fileName().toUtf8(), Read(inner))});
}

QByteArray Read(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void PrepareRun(TestEnv& env) {
    env.useTestLanguage();
    G().TidselTemp = TempRoot(env) + "/voriderud";
    G().SimsPath = env.downloadFolder() + "/";
}

QString TempRoot(const TestEnv& env) {
    return env.driveFolder() + "/temp/brushwick";
}

QStringList ExtractionFolders(const TestEnv& env) {
    QStringList folders;
    for (const QString& name : NamesIn(TempRoot(env)))
        folders.append(TempRoot(env) + "/" + name + "/");
    return folders;
}

QStringList NamesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QStringList Tree(const QString& root) {
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next().mid(root.size()));
    paths.sort();
    return paths;
}

} // namespace maker
