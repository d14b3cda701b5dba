#pragma once

#include "state/run_report.h"

#include <QString>

// The run's report of what happened to each file (the report window shows
// it); files from archives are named by the archive they came from.
namespace BrushwickMod {

// The file as the player knows it: its own path, or for a file unpacked
// from an archive the archive's path and the names inside it, joined by
// " > " ("C:\dl\hair.zip > inner.zip > a.package").
QString ShownPath(const QString& path);

void Report(const QString& path, Outcome outcome, const QString& detail = {});

// While an archive's files are unpacked and handled, its files are named
// after it; the archive leaves the chain when its handling ends.
class ArchiveInChain {
public:
    ArchiveInChain(const QString& archive, const QString& folder);
    ~ArchiveInChain();
    ArchiveInChain(const ArchiveInChain&) = delete;
    ArchiveInChain& operator=(const ArchiveInChain&) = delete;
};

// Counts one more file handled and tells the window how far the run is.
void FileHandled();
// Tells the window how much of the archive being unpacked is done.
void ArchiveProgress(const QString& archive, int percent);

} // namespace BrushwickMod
