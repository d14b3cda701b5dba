#include "report.h"

#include "file_ops.h"
#include "platform/platform.h"
#include "state/globals.h"

namespace BrushwickMod {

namespace {

// The archives being handled, outermost first, with their folders.
struct Link {
    QString archive;
    QString folder;
};
thread_local QList<Link> chain;

} // namespace

QString ShownPath(const QString& path) {
    qsizetype innermost = -1;
    for (qsizetype i = 0; i < chain.size(); ++i) {
        if (path.startsWith(chain.at(i).folder))
            innermost = i;
    }
    if (innermost < 0)
        return path;
    QString shown = chain.at(0).archive;
    for (qsizetype i = 1; i <= innermost; ++i)
        shown += QStringLiteral(" > ") + FileOps::GetFileName(chain.at(i).archive);
    return shown + QStringLiteral(" > ") + FileOps::GetFileName(path);
}

void Report(const QString& path, Outcome outcome, const QString& detail) {
    G().Run.report.Add(ShownPath(path), outcome, detail);
}

ArchiveInChain::ArchiveInChain(const QString& archive, const QString& folder) {
    chain.append({archive, folder});
}

ArchiveInChain::~ArchiveInChain() {
    chain.removeLast();
}

void FileHandled() {
    ++G().Run.filesHandled;
    platform::status().SetProgress({G().Run.filesHandled, {}, -1});
}

void ArchiveProgress(const QString& archive, int percent) {
    platform::status().SetProgress({G().Run.filesHandled, FileOps::GetFileName(archive), percent});
}

} // namespace BrushwickMod
