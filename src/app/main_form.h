#pragma once

#include "app/startup.h"
#include "platform/platform.h"

#include <QPointer>
#include <QWidget>

class DropPicture;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QToolButton;
class helpForm;

// The program's one permanent window: Rid Ivid, the help button, the pop-up
// menu and the status bar. It is also what the run and start-up see of the
// screen (status text, pointer, menu captions, title, splash).
class mainForm : public QWidget, public platform::Status, public BrushwickMod::StartupWindows {
    Q_OBJECT
public:
    explicit mainForm(QWidget* parent = nullptr);
    ~mainForm() override;

    // platform::Status
    QString Text() const override;
    void SetText(const QString& text) override;
    void SetBusy(bool busy) override;
    void SetMenuCaptions(const platform::MenuCaptions& captions) override;

    // BrushwickMod::StartupWindows
    void SetTitle(const QString& title) override { setWindowTitle(title); }
    void ShowLanguageChoice() override;
    void ShowSplash() override;
    void ShowMain() override;

    // The address of the product's web page.
    static const QString WebPage;

    DropPicture* DnDPic = nullptr;
    QToolButton* HelpButton = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* helpMenuOption = nullptr;
    QAction* bwkwebMenuOption = nullptr;
    QAction* langMenuOption = nullptr;
    QAction* logMenuOption = nullptr;
    QAction* otherMenuOptions = nullptr;
    QAction* changeLogMenu = nullptr;
    QAction* aboutMenuOption = nullptr;
    QStatusBar* SBar = nullptr;

    // The help window while it is open.
    helpForm* HelpWindow() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void OnDrop(const QStringList& paths);
    void OpenHelp(bool changeLog);
    void OpenWebPage();
    void OpenCredits();
    void CentreOnScreen();

    QLabel* statusText_ = nullptr;
    QPointer<helpForm> helpWindow_;
    int busyDepth_ = 0;
};
