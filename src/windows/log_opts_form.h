#pragma once

#include <QDialog>

#include <array>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

// The logging options: one option button per log level. The choice takes
// effect, and is stored, only through the OK button.
class logOptsForm : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog and selects the level in force.
    explicit logOptsForm(QWidget* mainWindow);

    QGroupBox* Frame1 = nullptr;
    // Indexed by log level, "Off" (0) to "Debug" (4).
    std::array<QRadioButton*, 5> logOption{};
    QPushButton* logButton = nullptr;

private:
    void Form_Load(QWidget* mainWindow);
    void logButton_Click();

    QButtonGroup* group_ = nullptr;
    qint16 chosenLevel = 0;
};
