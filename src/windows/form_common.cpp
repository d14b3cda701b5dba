#include "form_common.h"

#include "artwork.h"

#include <QDialog>
#include <QLayout>
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

void FitToTexts(QDialog* dialog, QSize design) {
    dialog->setMinimumSize(0, 0);
    dialog->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (dialog->layout())
        dialog->layout()->activate();
    dialog->setFixedSize(dialog->sizeHint().expandedTo(design));
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
