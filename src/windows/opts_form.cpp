#include "opts_form.h"

#include "containers/runtime_error.h"
#include "form_common.h"
#include "log/log.h"
#include "pipeline/file_ops.h"
#include "pipeline/sims_path.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The client area as the window was drawn; it grows where a language's
// texts need more.
constexpr QSize DesignSize(260, 150);
// A long folder path is cut in its middle rather than widening the window
// without end; the whole path shows as a tool tip.
constexpr int FolderWidth = 320;

QString YesNo(bool ticked) {
    return ticked ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

optsForm::optsForm(QWidget* mainWindow) : QDialog(mainWindow) {
    Forms::MakeFixedDialog(this, DesignSize);
    auto* layout = new QVBoxLayout(this);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* boxes = new QVBoxLayout(frame);
    // The design captions; the language's texts replace them at load.
    confirmOverCheck_ = new QCheckBox(QStringLiteral("Confirm File Overwrites"), frame);
    confirmOverCheck_->setObjectName(QStringLiteral("confirmOverCheck"));
    skipEXEcheck_ = new QCheckBox(QStringLiteral("Skip EXE Files"), frame);
    skipEXEcheck_->setObjectName(QStringLiteral("skipEXEcheck"));
    sims2packCheck_ = new QCheckBox(QStringLiteral("Install .sims2pack files myself"), frame);
    sims2packCheck_->setObjectName(QStringLiteral("sims2packCheck"));
    for (QCheckBox* box : {confirmOverCheck_, skipEXEcheck_, sims2packCheck_})
        boxes->addWidget(box);
    layout->addWidget(frame);

    auto* folderRow = new QHBoxLayout;
    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName(QStringLiteral("folderLabel"));
    folderPath_ = new QLabel(this);
    folderPath_->setObjectName(QStringLiteral("folderPath"));
    folderChange_ = new QPushButton(this);
    folderChange_->setObjectName(QStringLiteral("folderChange"));
    connect(folderChange_, &QPushButton::clicked, this, &optsForm::ChangeFolder);
    folderRow->addWidget(folderLabel_);
    folderRow->addWidget(folderPath_, 1);
    folderRow->addWidget(folderChange_);
    layout->addLayout(folderRow);

    QPushButton* ok = Forms::MakeOkButton(this);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &optsForm::StoreChoices);

    LoadTexts(mainWindow);
}

void optsForm::LoadTexts(QWidget* mainWindow) {
    try {
        setWindowTitle(AppTitle + QStringLiteral(" - Options"));
        Forms::TakeMainIcon(this, mainWindow);
        const LanguagePack& lang = G().CurLang;
        skipEXEcheck_->setText(lang.SeeByName(QStringLiteral("SKIPEXEOPT")));
        confirmOverCheck_->setText(lang.SeeByName(QStringLiteral("CONFIRMOVEROPT")));
        sims2packCheck_->setText(lang.SeeByName(QStringLiteral("SIMS2PACKOPT")));
        folderLabel_->setText(lang.SeeByName(QStringLiteral("FOLDERLABEL")));
        folderChange_->setText(lang.SeeByName(QStringLiteral("FOLDERCHANGE")));
        confirmOverCheck_->setChecked(G().ConfirmOverwrites);
        skipEXEcheck_->setChecked(G().SkipEXEs);
        sims2packCheck_->setChecked(G().Sims2PackSelf);
        ShowFolder(G().SimsPath);
    } catch (const RunTimeError& e) {
        Error_Mod::ReportError(
            Error_Mod::LoadErrorMessage(G().CurLang.SeeByName(QStringLiteral("OTHEROPT")),
                                        e.Number(), e.Description()),
            false);
    }
    Forms::FitToTexts(this, DesignSize);
}

void optsForm::ShowFolder(const QString& folder) {
    folder_ = folder;
    folderPath_->setText(
        folderPath_->fontMetrics().elidedText(folder, Qt::ElideMiddle, FolderWidth));
    folderPath_->setToolTip(folder);
}

void optsForm::ChangeFolder() {
    QString chosen = BrushwickMod::ChooseDownloadFolder(BrushwickMod::FolderChoice::Change);
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(FileOps::Sep()))
        chosen += FileOps::Sep();
    ShowFolder(chosen);
}

void optsForm::StoreChoices() {
    using SettingsTable::Setting;
    SettingsTable::Apply(Setting::ConfirmOverwrites, YesNo(confirmOverCheck_->isChecked()));
    SettingsTable::Apply(Setting::SkipEXEs, YesNo(skipEXEcheck_->isChecked()));
    SettingsTable::Apply(Setting::Sims2PackInstall, sims2packCheck_->isChecked()
                                                        ? QStringLiteral("self")
                                                        : QStringLiteral("game"));
    SettingsTable::Apply(Setting::SimsPath, folder_);
    accept();
}
