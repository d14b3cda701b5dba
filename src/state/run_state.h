#pragma once

#include "state/run_report.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>

// What one run keeps while it goes on; a new run starts it afresh.
struct RunState {
    // Extraction folders holding a file another program was given (the
    // game's installer, a program that was run): they stay until the next
    // start instead of going with their archive.
    QSet<QString> handedOver;
    // What happened to each file.
    RunReport report;
    // Files handled so far, and the archives being unpacked, outermost first.
    int filesHandled = 0;
    QStringList archives;
    // A "Yes to all" or "No to all" answer to the overwrite question (0: none).
    int overwriteAll = 0;
    // "Don't show this again during this run" ticked on these boxes.
    bool quietCopyFailures = false;
    bool quietBadArchives = false;
    // Paths a stopped run did not get to.
    int pathsLeft = 0;
};

// Stopping a run: asked from the window's thread, seen by the run between
// two files.
namespace RunControl {
void RequestStop();
void ClearStop();
bool StopRequested();
// Paths of queued runs that a stop dropped, for the run's STOPPED line.
void SetDroppedPaths(int count);
int DroppedPaths();
} // namespace RunControl
