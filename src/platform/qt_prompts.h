#pragma once

#include "platform.h"

namespace platform {

// Message boxes, the one-line input and the folder dialog, with Qt Widgets.
class QtPrompts : public Prompts {
public:
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    bool InputBox(const QString& prompt, const QString& title, QString& answer) override;
    void BrowseFile(const QString& title, const QString& pattern, QString& fileName) override;
};

} // namespace platform
