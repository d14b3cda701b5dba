#pragma once

#include <QString>

// 7z archives, unpacked as zip archives are: every plain file directly into
// the extraction folder (folder names dropped, a later file of the same name
// wins), nothing else created. libarchive reads plain 7z; an encrypted one
// goes to 7-Zip with the same password question as a zip archive.
namespace FileOps::SevenZip {

struct Result {
    // Every entry came out whole.
    bool whole = true;
    // What stopped it early (61 "Disk full ..." for the disk's reserve or the
    // archive's limit, or a failed write), 0 when nothing did.
    int stopNumber = 0;
    QString stopDescription;
    // What went wrong first, for the log.
    QString problem;

    void Problem(const QString& what) {
        whole = false;
        if (problem.isEmpty())
            problem = what;
    }
};

Result Extract(const QString& archivePath, const QString& folder);

} // namespace FileOps::SevenZip
