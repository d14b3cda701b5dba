#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QTimer;

// The credits window. At start-up it is the splash: the picture, the version
// and the legal notice, closing by itself after 7.5 seconds. From the menu
// (AboutFromMenu set) it scrolls the credits, with a line for every installed
// language pack. A click on the picture or the credits closes it; closing
// shows the main window again. Each showing uses a new window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Builds the window and starts it in the mode AboutFromMenu asks for.
    explicit frmAbout(QWidget* mainWindow);

    // One beat of the timer: the splash closes, the credits move up a step.
    void Timer1_Timer();

    // The credits text's top inside its box, and its height, in twips.
    int aboutLabelTop() const { return labelTop_; }
    int aboutLabelHeight() const;

    QLabel* Picture1 = nullptr;
    QLabel* versionLabel = nullptr;
    QLabel* copylabel = nullptr;
    QFrame* aboutContainer = nullptr;
    QLabel* aboutLabel = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    void ShowCredits();
    void PlaceAboutLabel();

    QWidget* mainWindow_;
    int labelTop_;
};
