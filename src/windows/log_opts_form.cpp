#include "log_opts_form.h"

#include "form_common.h"
#include "log/log.h"
#include "platform/globals.h"
#include "platform/platform.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The captions are the same in every language; the words are what the
// settings store keeps and start-up reads back.
struct LevelChoice {
    const char* caption;
    const char* settingWord;
};

constexpr std::array<LevelChoice, 5> Levels{{
    {"&Off", "off"},
    {"&Errors Only", "errors"},
    {"&Skipped Files Only", "skips"},
    {"&Verbose (Default)", "verbose"},
    {"&Debug (Not Recommended)", "debug"},
}};

} // namespace

logOptsForm::logOptsForm(QWidget* mainWindow) : QDialog(mainWindow) {
    Forms::MakeFixedDialog(this, QSize(229, 223));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(8, 4, 213, 166);
    group_ = new QButtonGroup(this);
    for (int level = 0; level < static_cast<int>(Levels.size()); ++level) {
        auto* option = new QRadioButton(QString::fromLatin1(Levels[level].caption), Frame1);
        option->setObjectName(QStringLiteral("logOption%1").arg(level));
        option->setGeometry(14, 12 + level * 30, 190, 26);
        group_->addButton(option, level);
        logOption[level] = option;
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int level, bool checked) {
        if (checked)
            chosenLevel = static_cast<qint16>(level);
    });

    logButton = Forms::MakeOkButton(this);
    logButton->move((width() - logButton->width()) / 2, 176);
    connect(logButton, &QPushButton::clicked, this, &logOptsForm::logButton_Click);

    Form_Load(mainWindow);
}

void logOptsForm::Form_Load(QWidget* mainWindow) {
    setWindowTitle(AppTitle + QStringLiteral(" - Logging Options"));
    Forms::TakeMainIcon(this, mainWindow);
    chosenLevel = static_cast<qint16>(G().LogLevel);
    if (QAbstractButton* active = group_->button(G().LogLevel))
        active->setChecked(true);
}

void logOptsForm::logButton_Click() {
    if (chosenLevel != G().LogLevel) {
        const QString word = QString::fromLatin1(Levels[chosenLevel].settingWord);
        // A store that cannot be written still leaves the choice in force
        // for this run; the line is written at the level that was in force.
        if (!platform::settings().Set(AppTitle, SettingsSection, QStringLiteral("LogLevel"), word))
            Error_Mod::WriteLog(
                QStringLiteral("LOGOPTS: the setting LogLevel could not be written"),
                Error_Mod::Level::Errors);
        G().LogLevel = chosenLevel;
    }
    accept();
}
