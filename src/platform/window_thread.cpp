#include "window_thread.h"

#include "containers/runtime_error.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <optional>

namespace platform {

namespace {

QPointer<QObject> windowThread;

// Runs work on the window's thread; a run-time error it raises is raised
// again on the caller's thread.
void Relay(const std::function<void()>& work) {
    std::optional<RunTimeError> error;
    OnWindowThread([&] {
        try {
            work();
        } catch (const RunTimeError& e) {
            error = e;
        }
    });
    if (error)
        throw *error;
}

} // namespace

void SetWindowThread(QObject* context) {
    windowThread = context;
}

void OnWindowThread(const std::function<void()>& work) {
    QObject* context = windowThread.data();
    if (!context || QThread::currentThread() == context->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(context, work, Qt::BlockingQueuedConnection);
}

int WindowThreadPrompts::Ask(Question& question) {
    int answer = Box::Cancel;
    OnWindowThread([&] { answer = inner_.Ask(question); });
    return answer;
}

bool WindowThreadPrompts::InputBox(const QString& prompt, const QString& title, QString& answer,
                                   bool secret, const QString& showText) {
    bool given = false;
    OnWindowThread([&] { given = inner_.InputBox(prompt, title, answer, secret, showText); });
    return given;
}

void WindowThreadPrompts::BrowseFile(const QString& title, const QString& pattern,
                                     QString& fileName, const QString& startFolder) {
    OnWindowThread([&] { inner_.BrowseFile(title, pattern, fileName, startFolder); });
}

int WindowThreadPrompts::PickFolder(const FolderPick& pick) {
    int answer = FolderPick::Closed;
    OnWindowThread([&] { answer = inner_.PickFolder(pick); });
    return answer;
}

void WindowThreadShell::OpenDocument(const QString& path) {
    Relay([&] { inner_.OpenDocument(path); });
}

void WindowThreadShell::StartProgram(const QString& path) {
    Relay([&] { inner_.StartProgram(path); });
}

bool WindowThreadShell::OpenAddress(const QString& address) {
    bool opened = false;
    OnWindowThread([&] { opened = inner_.OpenAddress(address); });
    return opened;
}

} // namespace platform
