#pragma once

#include "app/startup.h"
#include "platform/platform.h"
#include "state/run_report.h"

#include <QMutex>
#include <QPointer>
#include <QWidget>

#include <atomic>

class DropPicture;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QToolButton;
class RunQueue;
class helpForm;
namespace Handoff {
class Server;
}

// The program's one permanent window: Rid Ivid, the help button, the pop-up
// menu and the status bar. It is also what the run and start-up see of the
// screen (status text, pointer, progress, menu captions, title, splash).
// Runs go on a thread of their own (RunQueue); the status the run writes
// reaches the window on its own thread.
class mainForm : public QWidget, public platform::Status, public BrushwickMod::StartupWindows {
    Q_OBJECT
public:
    explicit mainForm(QWidget* parent = nullptr);
    ~mainForm() override;

    // platform::Status, from any thread.
    QString Text() const override;
    void SetText(const QString& text) override;
    void SetBusy(bool busy) override;
    void SetProgress(const platform::Progress& progress) override;
    void SetMenuCaptions(const platform::MenuCaptions& captions) override;

    // BrushwickMod::StartupWindows
    void SetTitle(const QString& title) override { setWindowTitle(title); }
    void ShowLanguageChoice() override;
    void RunAndWait(MArray& paths) override;
    bool HandOff(const MArray& paths) override;
    void ListenForHandOffs() override;
    void RunsMayStart() override;
    void ShowSplash() override;
    void ShowMain() override;

    // The address of the product's web page.
    static const QString WebPage;

    // The runs, for the window's tests.
    RunQueue& Runs() const { return *runs_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void ShowPicture();
    void BuildStatusBar();
    void OnDrop(const QStringList& paths);
    void OnRunStarted();
    void OnRunFinished(const RunReport& report);
    void OpenHelp(bool changeLog);
    void OpenWebPage();
    void OpenCredits();
    void OpenReport();
    void CentreOnScreen();
    // Shows what the run wrote last; on the window's thread.
    void Refresh();
    void ScheduleRefresh();

    DropPicture* DnDPic_ = nullptr;
    QToolButton* HelpButton_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QAction* helpMenuOption_ = nullptr;
    QAction* bwkwebMenuOption_ = nullptr;
    QAction* langMenuOption_ = nullptr;
    QAction* logMenuOption_ = nullptr;
    QAction* otherMenuOptions_ = nullptr;
    QAction* changeLogMenu_ = nullptr;
    QAction* aboutMenuOption_ = nullptr;
    QStatusBar* SBar_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* progressText_ = nullptr;
    QProgressBar* archiveBar_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QLabel* detailsLink_ = nullptr;
    QPointer<helpForm> helpWindow_;
    RunQueue* runs_ = nullptr;
    Handoff::Server* handoff_ = nullptr;
    RunReport lastReport_;
    bool closeAfterRun_ = false;
    // Start-up holds runs until the download folder is known.
    bool startupHold_ = false;

    // What the run wrote, kept for the window's thread to show.
    mutable QMutex statusLock_;
    QString text_;
    bool busy_ = false;
    platform::Progress progress_;
    bool showingBusy_ = false;
    std::atomic<bool> refreshPending_{false};
};
