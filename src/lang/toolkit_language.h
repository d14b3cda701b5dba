#pragma once

#include <QString>

namespace BrushwickMod {

// The buttons and dialogs Qt draws itself (Yes, No, Cancel, the folder
// chooser) speak the pack's language, code as "de" or "pt_BR", where the
// system has Qt's translations for it; otherwise they stay English.
void UseToolkitLanguage(const QString& code);

} // namespace BrushwickMod
