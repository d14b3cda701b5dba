#pragma once

#include <QSize>

class QDialog;
class QPushButton;
class QWidget;

// Window dressing shared by the secondary windows.
namespace Forms {

// The main window's icon on form; the program's own icon when there is no
// main window (a window opened on its own, as in tests).
void TakeMainIcon(QWidget* form, QWidget* mainWindow);

// A dialog of fixed client size with a title and a close box only.
void MakeFixedDialog(QDialog* dialog, QSize client);

// A fixed dialog at least as large as drawn, and larger where the texts of
// the language in force need it: no caption is ever cut off.
void FitToTexts(QDialog* dialog, QSize design);

// The picture OK button: the check mark, no caption, the default button.
QPushButton* MakeOkButton(QWidget* parent);

} // namespace Forms
