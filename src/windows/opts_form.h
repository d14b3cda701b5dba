#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// The other options: ask before overwriting, skip programs, install
// .sims2pack files without the game's installer, and the download folder.
// Changes take effect, and are stored, only through the OK button.
class optsForm : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog with the texts of the loaded language and the ticks
    // of the values in force.
    explicit optsForm(QWidget* mainWindow);

private:
    void LoadTexts(QWidget* mainWindow);
    void ShowFolder(const QString& folder);
    void ChangeFolder();
    void StoreChoices();

    QCheckBox* confirmOverCheck_ = nullptr;
    QCheckBox* skipEXEcheck_ = nullptr;
    // Ticked: .sims2pack files of objects are installed without the game's installer.
    QCheckBox* sims2packCheck_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QLabel* folderPath_ = nullptr;
    QPushButton* folderChange_ = nullptr;
    // The download folder the OK button stores.
    QString folder_;
};
