#pragma once

#include "containers/marray.h"
#include "containers/runtime_error.h"

#include <QDir>
#include <QString>

#include <filesystem>
#include <system_error>

// Small path and file-system procedures shared by every part. Paths use the
// native separator; on Linux "/" plays the part that "\" plays on Windows.
namespace FileOps {

inline QChar Sep() {
    return QDir::separator();
}

// The first two characters of path.
QString GetDrive(const QString& path);
// The part after the last separator (the whole path when it has none).
QString GetFileName(const QString& path, QChar sep = Sep());
// The part up to and including the last separator ("" when it has none).
QString GetFolder(const QString& path, QChar sep = Sep());

// The full paths of the files (hidden ones too, no folders) that match the
// wildcard pattern in the last part of pattern, sorted by name without
// regard to case. A listing failure throws RunTimeError.
MArray ListFiles(const QString& pattern);

// True for a file whose length can be read and is not 0.
bool FileExists(const QString& path);
// True for an existing folder. Appends a separator to path when it lacks one.
bool FolderExists(QString& path);

// The names in a folder, files and subfolders alike (no "." or ".."), sorted
// by name without regard to case. Throws RunTimeError when it cannot list.
QStringList ListFolder(const QString& folder);

// True when anything (file, folder or link) already has that path; links
// are not followed.
bool PathTaken(const QString& path);

// What a path met in a run is, links followed. Special: a pipe, socket or
// device, which must never be opened as a file. AppleDouble: the "._name"
// twin that Mac archives carry beside every file, holding its resource
// fork (it starts with 00 05 16 07); only files named so are read for it,
// as reading every file would slow down every install.
enum class FileKind { Missing, Folder, Regular, AppleDouble, Special };
FileKind KindOfFile(const QString& path);

// Makes the owner able to read and write the file or folder; errors are
// ignored. A symbolic link is left alone.
void SetAttrNormal(const QString& path);

std::filesystem::path ToFs(const QString& path);
QString FromFs(const std::filesystem::path& path);

// Tests stand in for a folder that refuses to let anything in it go where
// permissions would not stop the user (root): removals below folder fail as
// denied until RefuseRemovalsIn("") ends it.
void RefuseRemovalsIn(const QString& folder);
// Removes the file, empty folder or link at p (links are not followed).
void Remove(const std::filesystem::path& p, std::error_code& ec);

// The classic run-time error for a failed file-system call.
RunTimeError ErrorFor(const std::error_code& ec);
[[noreturn]] void Raise(const std::error_code& ec);

} // namespace FileOps
