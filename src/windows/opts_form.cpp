#include "opts_form.h"

#include "containers/runtime_error.h"
#include "form_common.h"
#include "log/log.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

namespace {

QString YesNo(bool ticked) {
    return ticked ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

optsForm::optsForm(QWidget* mainWindow) : QDialog(mainWindow) {
    Forms::MakeFixedDialog(this, QSize(260, 184));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 4, 244, 122);
    // The design captions; the language's texts replace them at load.
    confirmOverCheck = new QCheckBox(QStringLiteral("Confirm File Overwrites"), Frame1);
    confirmOverCheck->setObjectName(QStringLiteral("confirmOverCheck"));
    confirmOverCheck->setGeometry(14, 14, 222, 26);
    skipEXEcheck = new QCheckBox(QStringLiteral("Skip EXE Files"), Frame1);
    skipEXEcheck->setObjectName(QStringLiteral("skipEXEcheck"));
    skipEXEcheck->setGeometry(14, 48, 222, 26);
    sims2packCheck = new QCheckBox(QStringLiteral("Install .sims2pack files myself"), Frame1);
    sims2packCheck->setObjectName(QStringLiteral("sims2packCheck"));
    sims2packCheck->setGeometry(14, 82, 222, 26);

    logButton = Forms::MakeOkButton(this);
    logButton->move((width() - logButton->width()) / 2, 134);
    connect(logButton, &QPushButton::clicked, this, &optsForm::logButton_Click);

    Form_Load(mainWindow);
}

void optsForm::Form_Load(QWidget* mainWindow) {
    try {
        setWindowTitle(AppTitle + QStringLiteral(" - Options"));
        Forms::TakeMainIcon(this, mainWindow);
        const LanguagePack& lang = G().CurLang;
        skipEXEcheck->setText(lang.SeeByName(QStringLiteral("SKIPEXEOPT")));
        confirmOverCheck->setText(lang.SeeByName(QStringLiteral("CONFIRMOVEROPT")));
        sims2packCheck->setText(lang.SeeByName(QStringLiteral("SIMS2PACKOPT")));
        confirmOverCheck->setChecked(G().ConfirmOverwrites);
        skipEXEcheck->setChecked(G().SkipEXEs);
        sims2packCheck->setChecked(G().Sims2PackSelf);
    } catch (const RunTimeError& e) {
        Error_Mod::ReportError(
            Error_Mod::LoadErrorMessage(G().CurLang.SeeByName(QStringLiteral("OTHEROPT")),
                                        e.Number(), e.Description()),
            false);
    }
}

void optsForm::logButton_Click() {
    using SettingsTable::Setting;
    SettingsTable::Apply(Setting::ConfirmOverwrites, YesNo(confirmOverCheck->isChecked()));
    SettingsTable::Apply(Setting::SkipEXEs, YesNo(skipEXEcheck->isChecked()));
    SettingsTable::Apply(Setting::Sims2PackInstall, sims2packCheck->isChecked()
                                                        ? QStringLiteral("self")
                                                        : QStringLiteral("game"));
    accept();
}
