#include "language.h"

#include "lang/text_readers.h"
#include "lang/toolkit_language.h"
#include "log/log.h"
#include "pipeline/file_ops.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

namespace BrushwickMod {

namespace {

QString Text(const LanguagePack& pack, const char* key) {
    return pack.SeeByName(QString::fromLatin1(key)).toText();
}

} // namespace

void LoadLanguage() {
    const QString folder = FileOps::LangFolder();
    const QString chosen = folder + G().LangChoice;
    if (!FileOps::FileExists(chosen)) {
        Error_Mod::ReportError(
            QStringLiteral("Language data cannot be loaded and as such I cannot continue."), true);
        return;
    }

    // Built aside, so that a pack that fails half way never replaces the one
    // the player is reading.
    LanguagePack pack;
    const MArray defaults = FileOps::ReadLines(folder + DefaultPack, true);
    // A default pack with nothing in it leaves every text empty.
    if (defaults.Size() > 0)
        pack.Initialize(defaults.Give());
    if (G().LangChoice != DefaultPack)
        pack.Update(FileOps::ReadLines(chosen, true).Give());

    G().CurLang = pack;
    G().CurLangLoaded = true;
    UseToolkitLanguage(Text(pack, "LANGCODE"));

    platform::status().SetMenuCaptions({Text(pack, "HELP"), Text(pack, "LANGOPT"),
                                        Text(pack, "CREDopt"), Text(pack, "LOGGopt"),
                                        Text(pack, "OTHEROPT")});
    platform::status().SetText(Text(pack, "Defbarmsg"));
}

QString ReadLangChoice() {
    return SettingsTable::Read(SettingsTable::Setting::LangChoice);
}

bool TakeChosenPack(const std::function<bool()>& showChoice) {
    G().LangChoice = ReadLangChoice();
    while (!FileOps::FileExists(FileOps::LangFolder() + G().LangChoice)) {
        if (!showChoice())
            return false;
        G().LangChoice = ReadLangChoice();
    }
    return true;
}

void StoreLangChoice(const QString& name) {
    SettingsTable::Apply(SettingsTable::Setting::LangChoice, name);
}

} // namespace BrushwickMod
