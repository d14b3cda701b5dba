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

    // The credits text's top inside its box, and its height, in twips.
    int aboutLabelTop() const { return labelTop_; }
    int aboutLabelHeight() const;

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildControls();
    // The texts, then the splash's timer or the scrolling credits.
    void Start();
    void ShowCredits();
    void PlaceAboutLabel();
    // One beat of Timer1: the splash closes, the credits move up a step.
    void Tick();

    QLabel* Picture1_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* copylabel_ = nullptr;
    QFrame* aboutContainer_ = nullptr;
    QLabel* aboutLabel_ = nullptr;
    QTimer* Timer1_ = nullptr;

    QWidget* mainWindow_;
    int labelTop_;
};
