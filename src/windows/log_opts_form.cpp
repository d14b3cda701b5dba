#include "log_opts_form.h"

#include "form_common.h"
#include "log/log.h"
#include "platform/platform.h"
#include "settings/settings_table.h"
#include "state/globals.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The captions are the same in every language; the words the store keeps
// for each level come from the settings table.
constexpr std::array<const char*, 5> Captions{"&Off", "&Errors Only", "&Skipped Files Only",
                                              "&Verbose (Default)", "&Debug (Not Recommended)"};
// The client area as the window was drawn.
constexpr QSize DesignSize(229, 223);

} // namespace

logOptsForm::logOptsForm(QWidget* mainWindow) : QDialog(mainWindow) {
    Forms::MakeFixedDialog(this, DesignSize);
    auto* layout = new QVBoxLayout(this);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(Frame1);
    group_ = new QButtonGroup(this);
    for (int level = 0; level < static_cast<int>(Captions.size()); ++level) {
        auto* option = new QRadioButton(QString::fromLatin1(Captions[level]), Frame1);
        option->setObjectName(QStringLiteral("logOption%1").arg(level));
        options->addWidget(option);
        group_->addButton(option, level);
        logOption[level] = option;
    }
    layout->addWidget(Frame1);
    connect(group_, &QButtonGroup::idToggled, this, [this](int level, bool checked) {
        if (checked)
            chosenLevel = static_cast<qint16>(level);
    });

    logButton = Forms::MakeOkButton(this);
    layout->addWidget(logButton, 0, Qt::AlignHCenter);
    connect(logButton, &QPushButton::clicked, this, &logOptsForm::logButton_Click);

    Form_Load(mainWindow);
}

void logOptsForm::Form_Load(QWidget* mainWindow) {
    setWindowTitle(AppTitle + QStringLiteral(" - Logging Options"));
    Forms::TakeMainIcon(this, mainWindow);
    chosenLevel = static_cast<qint16>(G().LogLevel);
    if (QAbstractButton* active = group_->button(G().LogLevel))
        active->setChecked(true);
    Forms::FitToTexts(this, DesignSize);
}

void logOptsForm::logButton_Click() {
    SettingsTable::Apply(SettingsTable::Setting::LogLevel,
                         SettingsTable::LogLevelWord(chosenLevel));
    accept();
}
