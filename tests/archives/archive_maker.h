#pragma once

#include "test_env.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Zip archives the tests build themselves, friendly and hostile, and the
// common set-up for unpacking.
namespace maker {

struct Entry {
    enum class Type { File, Folder, Symlink };
    QByteArray name;
    // The contents of a file, the target of a link.
    QByteArray data;
    Type type = Type::File;
};

inline Entry File(const QByteArray& name, const QByteArray& data = "data") {
    return {name, data, Entry::Type::File};
}
inline Entry Folder(const QByteArray& name) {
    return {name, {}, Entry::Type::Folder};
}
inline Entry Symlink(const QByteArray& name, const QByteArray& target) {
    return {name, target, Entry::Type::Symlink};
}

// Every entry carries this time.
inline const QDateTime EntryTime(QDate(2024, 3, 5), QTime(7, 8));

// Writes a zip of the entries; with a password every file is encrypted by
// method ("zipcrypt" or "aes256"). Returns path.
QString Zip(const QString& path, const QList<Entry>& entries, const QByteArray& password = {},
            const char* method = "zipcrypt");
// A zip that holds the file at inner under its own name.
QString ZipAround(const QString& path, const QString& inner);

QByteArray Read(const QString& path);

// Test texts, the temporary root below the drive folder and the download
// folder, as start-up would set them.
void PrepareRun(TestEnv& env);
QString TempRoot(const TestEnv& env);
// The extraction folders made so far.
QStringList ExtractionFolders(const TestEnv& env);
// Everything directly in folder (files, folders and links), sorted by name.
QStringList NamesIn(const QString& folder);
// Every path below root, recursively, links not followed.
QStringList Tree(const QString& root);

} // namespace maker
