#pragma once

#include "platform.h"

#include <functional>

class QObject;

// A run works on a thread of its own while the window's thread keeps
// painting and taking drops. Every question, box and shell request of the
// run is still shown on the window's thread: the run hands it over and
// waits for the answer, so questions come in the order the run asks them.
namespace platform {

// The object whose thread is the window's (the application object).
void SetWindowThread(QObject* context);
// Runs work on the window's thread and waits for it; directly when called
// there (or before a window thread is set).
void OnWindowThread(const std::function<void()>& work);

// Prompts and shell that may be called from a run's thread.
class WindowThreadPrompts : public Prompts {
public:
    explicit WindowThreadPrompts(Prompts& inner) : inner_(inner) {}
    int Ask(Question& question) override;
    bool InputBox(const QString& prompt, const QString& title, QString& answer, bool secret,
                  const QString& showText) override;
    void BrowseFile(const QString& title, const QString& pattern, QString& fileName,
                    const QString& startFolder) override;
    int PickFolder(const FolderPick& pick) override;

private:
    Prompts& inner_;
};

class WindowThreadShell : public Shell {
public:
    explicit WindowThreadShell(Shell& inner) : inner_(inner) {}
    void OpenDocument(const QString& path) override;
    void StartProgram(const QString& path) override;
    bool OpenAddress(const QString& address) override;

private:
    Shell& inner_;
};

} // namespace platform
