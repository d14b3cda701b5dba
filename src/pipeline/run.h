#pragma once

#include "containers/marray.h"

#include <QStringList>

namespace BrushwickMod {

// One drop: the dropped paths, in the order they were dropped, become a
// work list that Handle_Processing runs.
void Handle_DnD(const QStringList& droppedPaths);

// The run over a work list of files and folders: folders are walked depth
// first, every file goes to HandleFile, the status bar shows progress and
// the result. The list is emptied.
void Handle_Processing(MArray& data);

} // namespace BrushwickMod
