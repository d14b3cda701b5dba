#pragma once

#include "containers/language_pack.h"
#include "state/run_state.h"
#include "state/zip_bridge_state.h"

#include <QMap>
#include <QString>

// The program-wide values that every part shares, one instance per program
// run. Tests start each case from a fresh instance (ResetGlobals).
struct Globals {
    QString NewLine = QStringLiteral("\r\n");
    bool AboutFromMenu = false;
    QString LangChoice;
    // Words the settings store refused to keep in this run, by key; each
    // stands in for the stored word until a store succeeds.
    QMap<QString, QString> UnsavedSettings;
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
    // .sims2pack files of objects are installed by the program itself
    // rather than handed to the game's installer.
    bool Sims2PackSelf = false;
    QString DefBarMsg;
    ZipBridgeState Zip;
    RunState Run;
};

Globals& G();
void ResetGlobals();

// Names shared by the whole program.
inline const QString AppTitle = QStringLiteral("Brushwick 2");
inline const QString ProductName = QStringLiteral("Brushwick2");
inline const QString SettingsSection = QStringLiteral("Settings");
