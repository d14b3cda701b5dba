#pragma once

#include "containers/language_pack.h"
#include "pipeline/zip_bridge_state.h"

#include <QString>

// The program-wide values that every part shares, one instance per program
// run. Tests start each case from a fresh instance (ResetGlobals).
struct Globals {
    QString NewLine = QStringLiteral("\r\n");
    bool AboutFromMenu = false;
    QString LangChoice;
    // A language chosen in this run that the settings store refused to keep;
    // it stands in for the stored "LangChoice" until a store succeeds.
    QString UnsavedLangChoice;
    LanguagePack CurLang;
    bool CurLangLoaded = false;
    // 0 until start-up sets it, so nothing is logged before then.
    int LogLevel = 0;
    QString LogPath;
    QString TidselTemp;
    QString SimsPath;
    bool ConfirmOverwrites = false;
    bool RejectOverwrites = false;
    bool SkipEXEs = false;
    bool BadZipAlertBox = true;
    QString DefBarMsg;
    ZipBridgeState Zip;
};

Globals& G();
void ResetGlobals();

// Names shared by the whole program.
inline const QString AppTitle = QStringLiteral("Brushwick 2");
inline const QString ProductName = QStringLiteral("Brushwick2");
inline const QString SettingsSection = QStringLiteral("Settings");
