#pragma once

#include <QString>

#include <cstddef>

// The install copy's file work: a package reaches the download folder whole
// or not at all, and a failed copy leaves an existing file as it was.
namespace FileOps {

// Copies source over destination through a temporary file in the
// destination's folder that takes the destination's name only when
// complete. Only a regular file is ever opened as the source (a pipe or a
// device named like a package would block forever). Throws RunTimeError;
// then nothing new is left in the folder.
void CopyReplacing(const QString& source, const QString& destination);

// The copy's temporary files are named ".~bw2-" + 8 letters or digits +
// ".part": no installed file can be named so (those end in "kage").
QString NewPartName();
bool IsPartName(const QString& name);

// Removes what a copy that was cut short (the program killed, the machine
// off) left in folder: the files named like the copy's temporary files, each
// logged "CLEANUP: " & path.
void RemovePartLeftovers(const QString& folder);

#ifdef Q_OS_LINUX
// The kernel's fast copy of up to length bytes between two descriptors at
// their current offsets: bytes copied, 0 at the end of the source, -1 with
// errno set. Tests put a refusing one in place to drive the plain copy.
using KernelCopy = long (*)(int in, int out, std::size_t length);
// nullptr puts the real one back.
void SetKernelCopy(KernelCopy copy);
#endif

} // namespace FileOps
