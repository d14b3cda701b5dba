#include "qt_prompts.h"

#include "folder_pick_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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

int QtPrompts::Ask(Question& question) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    for (const ButtonSet& set : ButtonSets) {
        if ((question.style & Box::ButtonsMask) == set.style)
            buttons = set.buttons;
    }
    QMessageBox box(IconFor(question.style), question.title, question.text, buttons,
                    QApplication::activeWindow());
    // Paths and addresses in a message can be copied (a web address to
    // open by hand, a path to look at).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (!question.checkText.isEmpty())
        box.setCheckBox(new QCheckBox(question.checkText, &box));
    QAbstractButton* yesToAll = nullptr;
    QAbstractButton* noToAll = nullptr;
    if (!question.yesToAllText.isEmpty())
        yesToAll = box.addButton(question.yesToAllText, QMessageBox::YesRole);
    if (!question.noToAllText.isEmpty())
        noToAll = box.addButton(question.noToAllText, QMessageBox::NoRole);
    if (!question.yesText.isEmpty() && box.button(QMessageBox::Yes))
        box.button(QMessageBox::Yes)->setText(question.yesText);
    if (!question.noText.isEmpty() && box.button(QMessageBox::No))
        box.button(QMessageBox::No)->setText(question.noText);
    box.exec();
    if (box.checkBox())
        question.checked = box.checkBox()->isChecked();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == yesToAll)
        return Box::YesToAll;
    if (clicked && clicked == noToAll)
        return Box::NoToAll;
    const int pressed = clicked ? box.standardButton(clicked) : QMessageBox::Cancel;
    // Closing a Yes/No box with its close button counts as No.
    if (pressed == QMessageBox::Cancel && !(buttons & QMessageBox::Cancel))
        return (buttons & QMessageBox::No) ? Box::No : Box::OK;
    return AnswerFor(pressed);
}

bool QtPrompts::InputBox(const QString& prompt, const QString& title, QString& answer, bool secret,
                         const QString& showText) {
    if (!secret) {
        bool ok = false;
        answer = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                       QLineEdit::Normal, QString(), &ok);
        if (!ok)
            answer.clear();
        return ok;
    }
    // A password: masked while typed, shown on request.
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("passwordEdit"));
    edit->setEchoMode(QLineEdit::Password);
    layout->addWidget(edit);
    auto* show = new QCheckBox(showText.isEmpty() ? QStringLiteral("Show") : showText, &dialog);
    show->setObjectName(QStringLiteral("showPassword"));
    QObject::connect(show, &QCheckBox::toggled, edit, [edit](bool on) {
        edit->setEchoMode(on ? QLineEdit::Normal : QLineEdit::Password);
    });
    layout->addWidget(show);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    const bool ok = dialog.exec() == QDialog::Accepted;
    answer = ok ? edit->text() : QString();
    return ok;
}

void QtPrompts::BrowseFile(const QString& title, const QString&, QString& fileName,
                           const QString& startFolder) {
    // The player picks the folder itself; its path with a closing separator
    // stands for the confirmed file name. Wine prefixes are hidden folders,
    // and a typed "~" means the home folder.
    QFileDialog dialog(QApplication::activeWindow(), title,
                       startFolder.isEmpty() ? QDir::homePath() : startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFilter(QDir::AllDirs | QDir::Hidden | QDir::NoDotAndDotDot);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString folder = dialog.selectedFiles().first();
    if (folder == QStringLiteral("~") || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    fileName = QDir::toNativeSeparators(folder) + QDir::separator();
}

int QtPrompts::PickFolder(const FolderPick& pick) {
    FolderPickDialog dialog(pick, QApplication::activeWindow());
    return dialog.Choose();
}

} // namespace platform
