#pragma once

// The program's seam to the operating system. Pipeline, log, language and
// start-up code only ever talk to these interfaces; the real program installs
// Qt implementations, tests install fakes that record and answer.

#include "platform/version.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace platform {

// Message box style values and answers, as the classic message box knows them.
namespace Box {
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;

inline constexpr int ButtonsMask = 0x0F;
inline constexpr int IconMask = 0x70;

inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
// Beyond the classic answers: a Yes or No that holds for the rest of the run.
inline constexpr int YesToAll = 101;
inline constexpr int NoToAll = 102;
} // namespace Box

// A message box as the classic style values describe it, and what some
// questions add to it.
struct Question {
    QString text;
    int style = Box::OKOnly;
    QString title;
    // A check box below the text ("" for none), and its state when the box
    // was closed.
    QString checkText;
    bool checked = false;
    // A Yes/No question may also offer "Yes to all" and "No to all".
    QString yesToAllText;
    QString noToAllText;
    // Captions for the Yes and No buttons where a question names its two
    // ways itself ("Use it anyway", "Choose again"); "" keeps Yes and No.
    QString yesText;
    QString noText;
};

// A choice among a few folders (the download folders found), one of them
// selected, with a way to choose any other folder.
struct FolderPick {
    QString title;
    QString text;
    QStringList folders;
    int selected = 0;
    QString otherText;
    // What the player did: a folder's index, or one of these.
    static constexpr int Other = -1;
    static constexpr int Closed = -2;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // The box, shown modally; returns the button pressed (Box::OK, Box::Yes...).
    virtual int Ask(Question& question) = 0;
    // The plain box.
    int MsgBox(const QString& prompt, int style, const QString& title) {
        Question question;
        question.text = prompt;
        question.style = style;
        question.title = title;
        return Ask(question);
    }
    // A one-line text input; false when it was cancelled. A secret answer
    // (a password) is masked, with a toggle captioned showText to show it.
    virtual bool InputBox(const QString& prompt, const QString& title, QString& answer,
                          bool secret = false, const QString& showText = {}) = 0;
    // The download-folder dialog, opened at startFolder: on confirm, fileName
    // becomes the confirmed full path; otherwise it is left as it was.
    virtual void BrowseFile(const QString& title, const QString& pattern, QString& fileName,
                            const QString& startFolder = {}) = 0;
    // The choice among folders found; returns the folder's index,
    // FolderPick::Other or FolderPick::Closed.
    virtual int PickFolder(const FolderPick& pick) = 0;
};

// How far a run has got: the files handled so far and, while an archive is
// unpacked, its name and how much of it (percent, -1 when unknown).
struct Progress {
    int files = 0;
    QString archive;
    int percent = -1;
};

// The captions of the pop-up menu entries that come from the language pack.
struct MenuCaptions {
    QString help;
    QString language;
    QString credits;
    QString logging;
    QString other;
};

// The main window as the run and the language loader see it: its status
// text, its pointer, the run's progress and its menu captions. A run calls
// these from its own thread.
class Status {
public:
    virtual ~Status() = default;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void SetProgress(const Progress& progress) = 0;
    virtual void SetMenuCaptions(const MenuCaptions& captions) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Hands a document to the program that opens it (under Wine, where the
    // game's installer lives, when Wine is there); throws RunTimeError when
    // nothing could take it.
    virtual void OpenDocument(const QString& path) = 0;
    // Starts a program without waiting; throws RunTimeError when it cannot start.
    virtual void StartProgram(const QString& path) = 0;
    // Opens an address in the browser; false when no browser could be found.
    virtual bool OpenAddress(const QString& address) = 0;
};

struct Version {
    int major = ThisVersion::Major;
    int minor = ThisVersion::Minor;
    int revision = ThisVersion::Revision;
};

class Process {
public:
    virtual ~Process() = default;
    // The folder that holds the program, without a trailing separator.
    virtual QString ProgramFolder() const = 0;
    // The folder that plays the part of the program's drive: the temporary
    // root is made below it.
    virtual QString DriveFolder() const = 0;
    // The player's own folder for the log when the program's folder cannot
    // be written (an installed copy).
    virtual QString StateFolder() const = 0;
    virtual Version ProgramVersion() const = 0;
    virtual QString LegalCopyright() const = 0;
    // True when another copy of the program is already running.
    virtual bool AnotherCopyRunning() = 0;
    // Ends the program at once; nothing of the caller runs afterwards.
    [[noreturn]] virtual void EndProgram() = 0;
    // Pauses while the window keeps painting; user input waits.
    virtual void Sleep(int milliseconds) = 0;
    virtual void Randomize() = 0;
    // Uniform in [0, 1).
    virtual double Rnd() = 0;
    virtual QDateTime Now() const = 0;
};

class Settings {
public:
    virtual ~Settings() = default;
    // An absent key reads as "".
    virtual QString Get(const QString& app, const QString& section, const QString& key) = 0;
    // False when the store could not be written.
    virtual bool Set(const QString& app, const QString& section, const QString& key,
                     const QString& value) = 0;
};

struct Services {
    Prompts* prompts = nullptr;
    Status* status = nullptr;
    Shell* shell = nullptr;
    Process* process = nullptr;
    Settings* settings = nullptr;
};

// The services in force; installed once at start-up (or by a test).
Services& Use();
void Install(const Services& services);

inline Prompts& prompts() {
    return *Use().prompts;
}
inline Status& status() {
    return *Use().status;
}
inline Shell& shell() {
    return *Use().shell;
}
inline Process& process() {
    return *Use().process;
}
inline Settings& settings() {
    return *Use().settings;
}

// Thrown by a test's Process::EndProgram, so a test can see that nothing
// after the end ran.
struct ProgramEnded {};

} // namespace platform
