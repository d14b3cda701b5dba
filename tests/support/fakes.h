#pragma once

// Stand-ins for the operating system: every question, box, pause and program
// start is recorded, and every answer is given in advance.

#include "platform/platform.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

namespace fakes {

struct Box {
    QString prompt;
    int style = 0;
    QString title;
    // The check box under the text, and whether "Yes/No to all" was offered.
    QString checkText;
    bool offersAll = false;
    // For an input: whether it was masked.
    bool secret = false;
};

// An input answer that cancels the dialog.
inline constexpr std::nullopt_t Cancelled = std::nullopt;

class Prompts : public platform::Prompts {
public:
    int Ask(platform::Question& question) override;
    bool InputBox(const QString& prompt, const QString& title, QString& answer, bool secret,
                  const QString& showText) override;
    void BrowseFile(const QString& title, const QString& pattern, QString& fileName,
                    const QString& startFolder) override;
    int PickFolder(const platform::FolderPick& pick) override;

    // Answers given in order; a box with no answer left gets OK (or Yes for
    // a question with Yes/No).
    std::deque<int> answers;
    // Whether the box's check box is ticked, in order (not ticked when none is left).
    std::deque<bool> checks;
    // Input answers in order; Cancelled cancels, and so does running out.
    std::deque<std::optional<QString>> inputs;
    // Runs as each input is asked, before it is answered.
    std::function<void()> onInput;
    // File names the folder dialog confirms; "" means closed without one.
    std::deque<QString> browsed;
    // What the folder choice answers in turn (FolderPick::Closed when none is left).
    std::deque<int> picks;
    QList<platform::FolderPick> folderPicks;
    QStringList browseStarts;

    QList<Box> boxes;
    QList<Box> inputPrompts;
    int browseCount = 0;
};

class Status : public platform::Status {
public:
    QString Text() const override { return text; }
    void SetText(const QString& t) override {
        text = t;
        history.append(t);
    }
    void SetBusy(bool busy) override { busyHistory.append(busy); }
    void SetProgress(const platform::Progress& p) override {
        progress = p;
        ++progressCalls;
    }
    void SetMenuCaptions(const platform::MenuCaptions& c) override { captions = c; }

    QString text;
    QStringList history;
    QList<bool> busyHistory;
    platform::Progress progress;
    int progressCalls = 0;
    platform::MenuCaptions captions;
};

class Shell : public platform::Shell {
public:
    void OpenDocument(const QString& path) override;
    void StartProgram(const QString& path) override;
    bool OpenAddress(const QString& address) override {
        addresses.append(address);
        return browserFound;
    }

    QStringList opened;
    QStringList started;
    QStringList addresses;
    bool failStart = false;
    // Nothing is associated with documents.
    bool failOpen = false;
    bool browserFound = true;
};

class Process : public platform::Process {
public:
    QString ProgramFolder() const override { return programFolder; }
    QString DriveFolder() const override { return driveFolder; }
    QString StateFolder() const override { return stateFolder; }
    platform::Version ProgramVersion() const override { return {}; }
    QString LegalCopyright() const override { return QStringLiteral("Legal notice"); }
    bool AnotherCopyRunning() override { return anotherCopy; }
    [[noreturn]] void EndProgram() override {
        ++ends;
        throw platform::ProgramEnded{};
    }
    void Sleep(int ms) override { sleeps.append(ms); }
    void Randomize() override { ++randomizes; }
    double Rnd() override;
    QDateTime Now() const override { return now; }

    QString programFolder;
    QString driveFolder;
    QString stateFolder;
    bool anotherCopy = false;
    int ends = 0;
    QList<int> sleeps;
    int randomizes = 0;
    // Values Rnd gives in turn; when used up, it counts up from 0.
    std::deque<double> rnd;
    double nextRnd = 0.0;
    QDateTime now = QDateTime(QDate(2026, 12, 6), QTime(12, 0, 0));
};

class Settings : public platform::Settings {
public:
    QString Get(const QString& app, const QString& section, const QString& key) override {
        return store.value(app + "/" + section + "/" + key);
    }
    bool Set(const QString& app, const QString& section, const QString& key,
             const QString& value) override {
        writes.append(key + "=" + value);
        if (failWrites)
            return false;
        store.insert(app + "/" + section + "/" + key, value);
        return true;
    }

    // Reads and writes of the program's own section.
    QString value(const QString& key) const {
        return store.value(QStringLiteral("Brushwick 2/Settings/") + key);
    }
    void setValue(const QString& key, const QString& value) {
        store.insert(QStringLiteral("Brushwick 2/Settings/") + key, value);
    }
    bool has(const QString& key) const {
        return store.contains(QStringLiteral("Brushwick 2/Settings/") + key);
    }

    QMap<QString, QString> store;
    QStringList writes;
    bool failWrites = false;
};

} // namespace fakes
