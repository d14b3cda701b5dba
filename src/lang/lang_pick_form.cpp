#include "lang_pick_form.h"

#include "containers/runtime_error.h"
#include "lang/lang_pick_layout.h"
#include "lang/language.h"
#include "lang/text_readers.h"
#include "log/log.h"
#include "pipeline/file_ops.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "state/globals.h"

#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

namespace {

using platform::Twips::ToPixels;

QRect Pixels(int left, int top, int width, int height) {
    return QRect(ToPixels(left), ToPixels(top), ToPixels(width), ToPixels(height));
}

QIcon OkIcon(const QStyle* style) {
    const QString picture = QStringLiteral(":/brushwick/ok.png");
    if (QFile::exists(picture))
        return QIcon(picture);
    return style->standardIcon(QStyle::SP_DialogOkButton);
}

} // namespace

langPickForm::langPickForm(QWidget* parent)
    : QDialog(parent), langFrame_(new QGroupBox(QStringLiteral("Languages"), this)),
      okButton_(new QPushButton(this)) {
    langFrame_->setObjectName(QStringLiteral("langFrame"));
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setIcon(OkIcon(style()));
    okButton_->setIconSize(QSize(32, 32));
    okButton_->setAccessibleName(QStringLiteral("OK"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, [this] { StoreChoice(); });

    // The first option is always there, with its caption from the drawing.
    QRadioButton* first = AddOption();
    first->setText(QStringLiteral("Option Button"));
    QWidget::setTabOrder(first, okButton_);
    LoadTexts();
}

void langPickForm::LoadTexts() {
    setWindowTitle(AppTitle + QStringLiteral(" - Language Options"));
    if (parentWidget())
        setWindowIcon(parentWidget()->windowIcon());
    chosenIndex_ = 0;
    try {
        langFiles_ = FileOps::ListFiles(FileOps::LangFolder() + QStringLiteral("lang.*"));
        if (G().CurLangLoaded)
            langFrame_->setTitle(G().CurLang.SeeByName(QStringLiteral("LANGUAGE")));
        BuildOptions();
        PreSelect();
    } catch (const RunTimeError& e) {
        // Before the first pack is loaded there is no text for the context.
        const QString context = G().CurLangLoaded
                                    ? G().CurLang.SeeByName(QStringLiteral("LANGOPT")).toText()
                                    : QStringLiteral("Language Options");
        Error_Mod::ReportError(Error_Mod::LoadErrorMessage(context, e.Number(), e.Description()),
                               false);
    }
    // The window shows as far as it was built.
    ApplyLayout();
}

void langPickForm::BuildOptions() {
    for (qint32 i = 0; i < langFiles_.Size(); ++i) {
        const QString caption = FileOps::ReadFirstLine(langFiles_.See(i));
        QRadioButton* option = i == 0 ? langOption_.first() : AddOption();
        // A pack's name is shown as it is written, "&" included.
        option->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (i > 0) {
            QWidget::setTabOrder(langOption_.at(i - 1), option);
            QWidget::setTabOrder(option, okButton_);
        }
    }
}

void langPickForm::PreSelect() {
    bool selected = false;
    for (qsizetype i = 0; i < langOption_.size(); ++i) {
        const QString name = FileOps::GetFileName(langFiles_.See(static_cast<qint32>(i)));
        if (name.compare(G().LangChoice, Qt::CaseInsensitive) == 0) {
            langOption_.at(i)->setChecked(true);
            selected = true;
        }
    }
    // With no choice of its own, the player sees the pack OK would store.
    if (!selected && !langOption_.isEmpty())
        langOption_.first()->setChecked(true);
}

QRadioButton* langPickForm::AddOption() {
    const int index = static_cast<int>(langOption_.size());
    auto* option = new QRadioButton(langFrame_);
    option->setObjectName(QStringLiteral("langOption%1").arg(index));
    // Selecting from the code counts as a click, like one by the player.
    connect(option, &QRadioButton::toggled, this, [this, index](bool on) {
        if (on)
            chosenIndex_ = index;
    });
    langOption_.append(option);
    return option;
}

void langPickForm::ApplyLayout() {
    namespace L = LangPickLayout;
    const L::Measures m = L::ForOptions(static_cast<int>(langOption_.size()));
    for (qsizetype i = 0; i < langOption_.size(); ++i)
        langOption_.at(i)->setGeometry(Pixels(L::FirstOption.left, m.optionTops.at(i),
                                              L::FirstOption.width, L::FirstOption.height));
    langFrame_->setGeometry(Pixels(L::Frame.left, L::Frame.top, L::Frame.width, m.frameHeight));
    okButton_->setGeometry(Pixels(L::Ok.left, m.okTop, L::Ok.width, L::Ok.height));
    setFixedSize(ToPixels(L::WindowWidth), ToPixels(m.windowHeight));
}

void langPickForm::StoreChoice() {
    // No pack could be listed: there is nothing to store.
    if (langFiles_.Size() == 0) {
        reject();
        return;
    }
    BrushwickMod::StoreLangChoice(FileOps::GetFileName(langFiles_.See(chosenIndex_)));
    chosenIndex_ = -1;
    accept();
}

void langPickForm::done(int result) {
    RefuseCloseWithoutChoice();
    QDialog::done(result);
}

void langPickForm::RefuseCloseWithoutChoice() {
    // No language stored yet and none chosen now: nothing could be shown.
    if (G().LangChoice.isEmpty() && chosenIndex_ != -1) {
        platform::prompts().MsgBox(QStringLiteral("You must select a language to continue"),
                                   platform::Box::OKOnly | platform::Box::Information,
                                   AppTitle + QStringLiteral(" Setup Wizard"));
        platform::process().EndProgram();
    }
}

bool ShowLangPick(QWidget* parent) {
    langPickForm form(parent);
    // Centred, on the screen the program is on.
    if (const QScreen* screen =
            parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    return form.exec() == QDialog::Accepted;
}

void LangMenuOption(QWidget* parent) {
    const QString inForce = G().LangChoice;
    const bool packInForce = G().CurLangLoaded;

    ShowLangPick(parent);
    // Closed without a choice while the stored pack is gone (the packs'
    // folder too, perhaps): the language in force stays rather than the
    // window coming back for ever.
    if (!BrushwickMod::TakeChosenPack([parent] { return ShowLangPick(parent); })) {
        G().LangChoice = inForce;
        return;
    }

    try {
        BrushwickMod::LoadLanguage();
    } catch (const RunTimeError& e) {
        // Keep the language in force, and keep the next start from stopping
        // on the broken pack.
        QString context = QStringLiteral("Language Options");
        if (packInForce) {
            G().LangChoice = inForce;
            BrushwickMod::StoreLangChoice(inForce);
            context = G().CurLang.SeeByName(QStringLiteral("LANGOPT")).toText();
        }
        Error_Mod::ReportError(Error_Mod::LoadErrorMessage(context, e.Number(), e.Description()),
                               false);
    }
}
