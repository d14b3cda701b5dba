#pragma once

#include <QWidget>

class QPlainTextEdit;

// A plain, resizable window that shows the read-me of the chosen language or
// the change log. One window serves both; it does not block the main window.
class helpForm : public QWidget {
    Q_OBJECT
public:
    explicit helpForm(QWidget* mainWindow);

    // Fill the window (loading it first when it is not loaded); the caller
    // shows it.
    void Load_Readme();
    void Load_ChangeLog();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Icon, title and width, once per showing.
    void Prepare();
    void FitText();
    void ShowTextFile(const QString& path);

    QPlainTextEdit* Text1_ = nullptr;
    QWidget* mainWindow_;
    // Cleared when the user closes the window, so the next use takes the
    // icon, title and width anew (a language change shows in the title).
    bool loaded_ = false;
};
