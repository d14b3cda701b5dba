#pragma once

#include <QDialog>

class QButtonGroup;

// The logging options: one option button per log level. The choice takes
// effect, and is stored, only through the OK button.
class logOptsForm : public QDialog {
    Q_OBJECT
public:
    // Builds the dialog and selects the level in force.
    explicit logOptsForm(QWidget* mainWindow);

private:
    void LoadTexts(QWidget* mainWindow);
    void StoreChoice();

    // One option per log level, "Off" (0) to "Debug" (4); the id of each
    // is its level.
    QButtonGroup* group_ = nullptr;
    qint16 chosenLevel = 0;
};
