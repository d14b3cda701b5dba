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

    QPlainTextEdit* Text1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void ShowTextFile(const QString& path);

    QWidget* mainWindow_;
    // Cleared when the user closes the window, so the next use takes the
    // icon, title and width anew (a language change shows in the title).
    bool loaded_ = false;
};
