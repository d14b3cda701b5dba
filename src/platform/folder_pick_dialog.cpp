#include "folder_pick_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FolderPickDialog::FolderPickDialog(const platform::FolderPick& pick, QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)) {
    setWindowTitle(pick.title);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(pick.text, this);
    text->setWordWrap(true);
    layout->addWidget(text);
    list_->setObjectName(QStringLiteral("folders"));
    list_->addItems(pick.folders);
    list_->setCurrentRow(pick.selected);
    // Wide enough for the folder paths found, at least.
    list_->setMinimumWidth(std::min(list_->sizeHintForColumn(0) + 24, 900));
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
        answer_ = list_->currentRow();
        accept();
    });
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    auto* other = buttons->addButton(pick.otherText, QDialogButtonBox::ActionRole);
    other->setObjectName(QStringLiteral("otherFolder"));
    connect(other, &QPushButton::clicked, this, [this] {
        answer_ = platform::FolderPick::Other;
        accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        answer_ = list_->currentRow();
        accept();
    });
    layout->addWidget(buttons);
}

int FolderPickDialog::Choose() {
    answer_ = platform::FolderPick::Closed;
    exec();
    return answer_;
}
