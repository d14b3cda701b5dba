#pragma once

#include "state/run_report.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;

// What happened to each file of the last run: the counts on top, the files
// below, filtered by what happened; the download folder and the log one
// click away, and the list ready to paste into a question on a forum.
class RunReportWindow : public QDialog {
    Q_OBJECT
public:
    RunReportWindow(const RunReport& report, QWidget* parent = nullptr);

    // The list as it shows now, one line per file, for the clipboard.
    QString ListText() const;

private:
    void Fill();

    RunReport report_;
    QComboBox* filter_;
    QTreeWidget* list_;
};

// The pack's text for an outcome ("Installed", "Failed" ...).
QString OutcomeText(Outcome outcome);
