#pragma once

#include "platform.h"

namespace platform {

// Message boxes, the one-line input and the folder dialog, with Qt Widgets.
class QtPrompts : public Prompts {
public:
    int Ask(Question& question) override;
    bool InputBox(const QString& prompt, const QString& title, QString& answer, bool secret,
                  const QString& showText) override;
    void BrowseFile(const QString& title, const QString& pattern, QString& fileName,
                    const QString& startFolder) override;
    int PickFolder(const FolderPick& pick) override;
};

} // namespace platform
