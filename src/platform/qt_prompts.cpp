#include "qt_prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <array>

namespace platform {

namespace {

struct ButtonSet {
    int style;
    QMessageBox::StandardButtons buttons;
};
constexpr std::array<ButtonSet, 4> ButtonSets{{
    {Box::OKOnly, QMessageBox::Ok},
    {Box::OKCancel, QMessageBox::Ok | QMessageBox::Cancel},
    {Box::YesNoCancel, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
    {Box::YesNo, QMessageBox::Yes | QMessageBox::No},
}};

QMessageBox::Icon IconFor(int style) {
    switch (style & Box::IconMask) {
    case Box::Critical:
        return QMessageBox::Critical;
    case Box::Question:
        return QMessageBox::Question;
    case Box::Exclamation:
        return QMessageBox::Warning;
    case Box::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int AnswerFor(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return Box::Yes;
    case QMessageBox::No:
        return Box::No;
    case QMessageBox::Cancel:
        return Box::Cancel;
    default:
        return Box::OK;
    }
}

} // namespace

int QtPrompts::MsgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    for (const ButtonSet& set : ButtonSets) {
        if ((style & Box::ButtonsMask) == set.style)
            buttons = set.buttons;
    }
    QMessageBox box(IconFor(style), title, prompt, buttons, QApplication::activeWindow());
    const int pressed = box.exec();
    // Closing a Yes/No box with its close button counts as No.
    if (pressed == QMessageBox::Cancel && !(buttons & QMessageBox::Cancel))
        return Box::No;
    return AnswerFor(pressed);
}

bool QtPrompts::InputBox(const QString& prompt, const QString& title, QString& answer) {
    bool ok = false;
    answer = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal,
                                   QString(), &ok);
    if (!ok)
        answer.clear();
    return ok;
}

void QtPrompts::BrowseFile(const QString& title, const QString&, QString& fileName) {
    // The player picks the folder itself; its path with a closing separator
    // stands for the confirmed file name.
    const QString folder =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, QDir::homePath());
    if (!folder.isEmpty())
        fileName = QDir::toNativeSeparators(folder) + QDir::separator();
}

} // namespace platform
