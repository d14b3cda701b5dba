#include "form_common.h"

#include "artwork.h"

#include <QDialog>
#include <QPushButton>

namespace Forms {

void TakeMainIcon(QWidget* form, QWidget* mainWindow) {
    form->setWindowIcon(mainWindow ? mainWindow->windowIcon() : AppIcon());
}

void MakeFixedDialog(QDialog* dialog, QSize client) {
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog->setFixedSize(client);
    dialog->setModal(true);
}

QPushButton* MakeOkButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("logButton"));
    button->setIcon(OkIcon());
    button->setIconSize(QSize(32, 32));
    button->setFixedSize(41, 41);
    // No caption on screen, but screen readers and the keyboard still know it.
    button->setAccessibleName(QStringLiteral("OK"));
    button->setDefault(true);
    return button;
}

} // namespace Forms
