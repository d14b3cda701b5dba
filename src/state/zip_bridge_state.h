#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// What the zip bridge is told before an extraction and what it collects
// during one. One instance lives in the program-wide state for the whole
// run, so a skipped password question stays skipped.
struct ZipBridgeState {
    // Positions in UnzipOptions, in the order of the unzip option record.
    enum Option {
        ExtractOnlyNewer,
        SpaceToUnderscore,
        PromptToOverwrite,
        fQuiet,
        ncflag,
        ntflag,
        nvflag, // list instead of extracting
        nfflag,
        nzflag,
        ndflag,
        noflag, // overwrite existing files without asking
        naflag,
        nZIflag,
        C_flag,
        fPrivilege,
        OptionCount
    };
    static constexpr int ListSize = 100;

    std::array<qint16, OptionCount> UnzipOptions{};
    QString ZipName;
    // The folder the entries land in, ending in a separator.
    QString ExtractDir;
    // Names to take or leave out. The unzipping is always handed counts of
    // 0 (every entry taken, none left out), as it always has been.
    std::array<QString, ListSize> IncludeList;
    qint32 IncludeCount = 0;
    std::array<QString, ListSize> ExcludeList;
    qint32 ExcludeCount = 0;

    QString UnzipMessages;
    QString UnzipListing;
    qint32 UnzipListCount = 0;
    // 1 once the player answered a password question with nothing.
    qint16 UnzipSkipPassword = 0;
    // What ended the last extraction early, when a write failed or the
    // disk's reserve or the archive's limit stopped it (61 "Disk full ...").
    qint32 StopNumber = 0;
    QString StopDescription;
};
