#pragma once

#include <QString>

#include <functional>

// Loading the texts the player sees, and the stored choice of language.
namespace BrushwickMod {

// The pack every load reads first; it defines every text.
inline const QString DefaultPack = QStringLiteral("lang.0eng.txt");

// Builds the pack in force from the default pack with the chosen pack
// (LangChoice) laid over it, then puts the menu captions and the status text
// into that language. A chosen file that is missing or empty ends the
// program. Any other failure (unreadable or malformed pack) throws
// RunTimeError and leaves the pack in force untouched.
void LoadLanguage();

// The "LangChoice" the settings store holds, or the choice made in this run
// that the store could not keep.
QString ReadLangChoice();
// Takes the stored choice as LangChoice, showing the choice again until it
// names a pack file that exists and is not empty. showChoice answers false
// when the player closed the choice without one; the loop ends there and
// this answers false too.
bool TakeChosenPack(const std::function<bool()>& showChoice);

// Stores the chosen pack's file name. When the store refuses, the failure is
// logged and the choice is kept for this run only.
void StoreLangChoice(const QString& name);

} // namespace BrushwickMod
