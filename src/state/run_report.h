#pragma once

#include <QList>
#include <QString>

#include <array>

// What happened to each file of a run, grouped and counted for the report
// window: the log has every detail, this is what the player looks at.
enum class Outcome {
    Installed,
    Replaced, // installed over an existing file
    Refused,  // an existing file was kept
    Failed,   // with the reason
    Unhandled,
    ProgramSkipped,
    ProgramRun,
    HandedToInstaller, // the game's installer got it
    ArchiveBad,        // damaged, or stopped at its limits
    LeftPacked,        // an archive inside too many others
};
inline constexpr int OutcomeCount = 10;

struct ReportLine {
    // The file as the player knows it: its path, or the archive it came
    // from and its name inside ("hair.zip > a.package").
    QString file;
    Outcome outcome = Outcome::Installed;
    // The reason of a failure, where the file went, or what was kept.
    QString detail;
};

struct RunReport {
    QList<ReportLine> lines;

    void Add(const QString& file, Outcome outcome, const QString& detail = {}) {
        lines.append({file, outcome, detail});
    }
    int Count(Outcome outcome) const {
        int n = 0;
        for (const ReportLine& line : lines)
            n += line.outcome == outcome ? 1 : 0;
        return n;
    }
    // Worth a look: something failed, was refused or replaced, or was left
    // unhandled.
    bool NeedsAttention() const {
        for (const ReportLine& line : lines) {
            switch (line.outcome) {
            case Outcome::Replaced:
            case Outcome::Refused:
            case Outcome::Failed:
            case Outcome::Unhandled:
            case Outcome::ArchiveBad:
            case Outcome::LeftPacked:
                return true;
            default:
                break;
            }
        }
        return false;
    }
};
