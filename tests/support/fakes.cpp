#include "fakes.h"

#include "containers/runtime_error.h"

namespace fakes {

int Prompts::Ask(platform::Question& q) {
    boxes.append({q.text, q.style, q.title, q.checkText, !q.yesToAllText.isEmpty(), false});
    if (!q.checkText.isEmpty() && !checks.empty()) {
        q.checked = checks.front();
        checks.pop_front();
    }
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    const int buttons = q.style & platform::Box::ButtonsMask;
    return (buttons == platform::Box::YesNo || buttons == platform::Box::YesNoCancel)
               ? platform::Box::Yes
               : platform::Box::OK;
}

bool Prompts::InputBox(const QString& prompt, const QString& title, QString& answer, bool secret,
                       const QString&) {
    inputPrompts.append({prompt, 0, title, {}, false, secret});
    if (onInput)
        onInput();
    const std::optional<QString> given = inputs.empty() ? Cancelled : inputs.front();
    if (!inputs.empty())
        inputs.pop_front();
    answer = given.value_or(QString());
    return given.has_value();
}

int Prompts::PickFolder(const platform::FolderPick& pick) {
    folderPicks.append(pick);
    if (picks.empty())
        return platform::FolderPick::Closed;
    const int answer = picks.front();
    picks.pop_front();
    return answer;
}

void Prompts::BrowseFile(const QString&, const QString&, QString& fileName,
                         const QString& startFolder) {
    ++browseCount;
    browseStarts.append(startFolder);
    if (browsed.empty())
        throw platform::ProgramEnded{}; // a test that forgot an answer must not loop
    const QString confirmed = browsed.front();
    browsed.pop_front();
    if (!confirmed.isEmpty())
        fileName = confirmed;
}

void Shell::OpenDocument(const QString& path) {
    opened.append(path);
    if (failOpen)
        throw RunTimeError(31, QStringLiteral("No program is associated with this file"));
}

void Shell::StartProgram(const QString& path) {
    started.append(path);
    if (failStart)
        throw RunTimeError(53, QStringLiteral("File not found"));
}

double Process::Rnd() {
    if (!rnd.empty()) {
        const double r = rnd.front();
        rnd.pop_front();
        return r;
    }
    const double r = nextRnd;
    nextRnd += 0.0001;
    if (nextRnd >= 1.0)
        nextRnd = 0.0;
    return r;
}

} // namespace fakes
