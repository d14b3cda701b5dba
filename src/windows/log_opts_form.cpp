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

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* options = new QVBoxLayout(frame);
    group_ = new QButtonGroup(this);
    for (int level = 0; level < static_cast<int>(Captions.size()); ++level) {
        auto* option = new QRadioButton(QString::fromLatin1(Captions[level]), frame);
        option->setObjectName(QStringLiteral("logOption%1").arg(level));
        options->addWidget(option);
        group_->addButton(option, level);
    }
    layout->addWidget(frame);
    connect(group_, &QButtonGroup::idToggled, this, [this](int level, bool checked) {
        if (checked)
            chosenLevel = static_cast<qint16>(level);
    });

    QPushButton* ok = Forms::MakeOkButton(this);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &logOptsForm::StoreChoice);

    LoadTexts(mainWindow);
}

void logOptsForm::LoadTexts(QWidget* mainWindow) {
    setWindowTitle(AppTitle + QStringLiteral(" - Logging Options"));
    Forms::TakeMainIcon(this, mainWindow);
    chosenLevel = static_cast<qint16>(G().LogLevel);
    if (QAbstractButton* active = group_->button(G().LogLevel))
        active->setChecked(true);
    Forms::FitToTexts(this, DesignSize);
}

void logOptsForm::StoreChoice() {
    SettingsTable::Apply(SettingsTable::Setting::LogLevel,
                         SettingsTable::LogLevelWord(chosenLevel));
    accept();
}
