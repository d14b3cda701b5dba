#include "help_form.h"

#include "containers/runtime_error.h"
#include "form_common.h"
#include "lang/text_readers.h"
#include "log/log.h"
#include "pipeline/file_ops.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "state/globals.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>

helpForm::helpForm(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window), mainWindow_(mainWindow) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(platform::Twips::ToPixels(4605), platform::Twips::ToPixels(4125));

    Text1_ = new QPlainTextEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(0, 0, platform::Twips::ToPixels(4575), platform::Twips::ToPixels(4095));
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Nothing shown here is ever saved, so the text is not offered for editing.
    Text1_->setReadOnly(true);
}

void helpForm::Prepare() {
    if (loaded_)
        return;
    loaded_ = true;
    Forms::TakeMainIcon(this, mainWindow_);
    setWindowTitle(AppTitle + QStringLiteral(" - ") +
                   G().CurLang.SeeByName(QStringLiteral("HELP")).toText());
    if (mainWindow_) {
        // Before the window is first shown its frame is not known yet; it
        // gets the same frame as the main window.
        const QWidget* framed = isVisible() ? static_cast<QWidget*>(this) : mainWindow_;
        const int frameWidth = framed->frameGeometry().width() - framed->width();
        resize(std::max(0, mainWindow_->frameGeometry().width() - frameWidth), height());
    }
}

void helpForm::Load_ChangeLog() {
    Prepare();
    ShowTextFile(platform::process().ProgramFolder() + FileOps::Sep() +
                 QStringLiteral("ChangeLog.txt"));
}

void helpForm::Load_Readme() {
    Prepare();
    QString path = FileOps::LangFolder() + QStringLiteral("readme.") + G().LangChoice;
    if (!FileOps::FileExists(path))
        path = FileOps::LangFolder() + QStringLiteral("readme.lang.eng0.txt");
    ShowTextFile(path);
}

void helpForm::ShowTextFile(const QString& path) {
    const QString& newLine = G().NewLine;
    QString text;
    try {
        MArray lines = FileOps::ReadLines(path, false);
        // Every line ends in a line break, the last one too; an empty file
        // gives one empty line.
        text = lines.Shift().toText() + newLine;
        while (lines.Size() >= 1)
            text += lines.Shift().toText() + newLine;
        // The read-me names the log file this copy really writes.
        text.replace(QStringLiteral("%LOGFILE%"), Error_Mod::LogFilePath());
    } catch (const RunTimeError& e) {
        // A missing or unreadable text is a message in the window, not a
        // failure of the menu entry.
        const QString number = QString::number(e.Number());
        Error_Mod::LogError(QStringLiteral("SHOWTEXTFILE: "), path, e.Number(), e.Description());
        text = QStringLiteral("This text cannot be shown.") + newLine + newLine + path + newLine +
               QStringLiteral("Error ") + number + QStringLiteral(": ") + e.Description() + newLine;
    }
    Text1_->setPlainText(text);
}

void helpForm::FitText() {
    if (isMinimized())
        return;
    // The text fills the client area: the margins of the drawing stood for a
    // classic window frame, which the window manager draws outside it here.
    // (Taken from the outer size, they left an empty strip before the
    // window was first framed.)
    Text1_->setGeometry(rect());
}

void helpForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitText();
}

void helpForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Restoring from the task bar sizes the text box again.
    if (event->type() == QEvent::WindowStateChange)
        FitText();
}

void helpForm::closeEvent(QCloseEvent* event) {
    loaded_ = false;
    QWidget::closeEvent(event);
}
