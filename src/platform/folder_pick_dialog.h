#pragma once

#include "platform.h"

#include <QDialog>

class QListWidget;

// The download folders found, most likely first and selected, with a way
// to choose any other folder.
class FolderPickDialog : public QDialog {
    Q_OBJECT
public:
    FolderPickDialog(const platform::FolderPick& pick, QWidget* parent = nullptr);
    // Shows it modally: a folder's index, FolderPick::Other or FolderPick::Closed.
    int Choose();

private:
    QListWidget* list_;
    int answer_ = platform::FolderPick::Closed;
};
