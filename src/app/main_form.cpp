#include "main_form.h"

#include "drop_picture.h"
#include "lang/lang_pick_form.h"
#include "log/log.h"
#include "pipeline/file_ops.h"
#include "pipeline/run.h"
#include "state/globals.h"
#include "windows/artwork.h"
#include "windows/frm_about.h"
#include "windows/help_form.h"
#include "windows/log_opts_form.h"
#include "windows/opts_form.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>

const QString mainForm::WebPage = QStringLiteral("https://brushwick2.example.org/");

namespace {

// Client area and controls, in pixels.
constexpr int ClientWidth = 387;
constexpr int ClientHeight = 201;
constexpr int PictureHeight = 173;
constexpr int PictureBorder = 2;
constexpr QRect HelpButtonRect{344, 128, 41, 41};

} // namespace

mainForm::mainForm(QWidget* parent) : QWidget(parent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setWindowIcon(AppIcon());

    DnDPic = new DropPicture(this);
    DnDPic->setObjectName(QStringLiteral("DnDPic"));
    DnDPic->setGeometry(0, 0, ClientWidth, PictureHeight);
    DnDPic->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    DnDPic->setLineWidth(PictureBorder);
    DnDPic->setAlignment(Qt::AlignCenter);
    DnDPic->setPixmap(RidIvidPicture());
    connect(DnDPic, &DropPicture::dropped, this, &mainForm::OnDrop);
    connect(DnDPic, &DropPicture::rightClicked, this,
            [this](const QPoint& at) { helpMenu->popup(at); });

    HelpButton = new QToolButton(DnDPic);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setGeometry(HelpButtonRect);
    HelpButton->setIcon(HelpIcon());
    HelpButton->setIconSize(HelpButtonRect.size() - QSize(9, 9));
    HelpButton->setToolTip(QStringLiteral("Help!"));
    connect(HelpButton, &QToolButton::clicked, this, [this] { helpMenu->popup(QCursor::pos()); });

    SBar = new QStatusBar(this);
    SBar->setObjectName(QStringLiteral("SBar"));
    SBar->setGeometry(0, PictureHeight, ClientWidth, ClientHeight - PictureHeight);
    SBar->setSizeGripEnabled(false);
    statusText_ = new QLabel(SBar);
    SBar->addWidget(statusText_, 1);

    BuildMenu();
}

mainForm::~mainForm() = default;

helpForm* mainForm::HelpWindow() const {
    return helpWindow_;
}

void mainForm::BuildMenu() {
    helpMenu = new QMenu(QStringLiteral("Help"), this);
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    helpMenuOption = helpMenu->addAction(QStringLiteral("Help"), this, [this] { OpenHelp(false); });
    bwkwebMenuOption =
        helpMenu->addAction(QStringLiteral("Brushwick Website!"), this, &mainForm::OpenWebPage);
    helpMenu->addSeparator();
    langMenuOption = helpMenu->addAction(QStringLiteral("Language Options"), this,
                                         [this] { LangMenuOption(this); });
    logMenuOption = helpMenu->addAction(QStringLiteral("Logging Options"), this, [this] {
        logOptsForm dialog(this);
        dialog.exec();
    });
    otherMenuOptions = helpMenu->addAction(QStringLiteral("Other Options"), this, [this] {
        optsForm dialog(this);
        dialog.exec();
    });
    helpMenu->addSeparator();
    changeLogMenu =
        helpMenu->addAction(QStringLiteral("ChangeLog"), this, [this] { OpenHelp(true); });
    aboutMenuOption = helpMenu->addAction(QStringLiteral("Credits"), this, &mainForm::OpenCredits);
}

QString mainForm::Text() const {
    return statusText_->text();
}

void mainForm::SetText(const QString& text) {
    statusText_->setText(text);
}

void mainForm::SetBusy(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            DnDPic->setAcceptingDrops(false);
        }
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        QGuiApplication::restoreOverrideCursor();
        DnDPic->setAcceptingDrops(true);
    }
}

void mainForm::SetMenuCaptions(const platform::MenuCaptions& captions) {
    helpMenuOption->setText(captions.help);
    langMenuOption->setText(captions.language);
    aboutMenuOption->setText(captions.credits);
    logMenuOption->setText(captions.logging);
    otherMenuOptions->setText(captions.other);
}

void mainForm::ShowLanguageChoice() {
    ShowLangPick(this);
}

void mainForm::ShowSplash() {
    // The splash shows the window again when it closes; place it first.
    CentreOnScreen();
    hide();
    frmAbout splash(this);
    splash.exec();
    ShowMain();
}

void mainForm::ShowMain() {
    if (!isVisible()) {
        CentreOnScreen();
        show();
    }
    raise();
    activateWindow();
}

void mainForm::CentreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void mainForm::OnDrop(const QStringList& paths) {
    BrushwickMod::Handle_DnD(paths);
}

void mainForm::OpenHelp(bool changeLog) {
    if (!helpWindow_)
        helpWindow_ = new helpForm(this);
    if (changeLog)
        helpWindow_->Load_ChangeLog();
    else
        helpWindow_->Load_Readme();
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void mainForm::OpenWebPage() {
    const QString sorry =
        QStringLiteral("Sorry, but I could not determine which browser you are using. You will "
                       "have to go to ") +
        WebPage + QStringLiteral(" yourself.");
    const QString marker =
        platform::process().ProgramFolder() + FileOps::Sep() + QStringLiteral("temphtm.HTML");
    // The marker file stands for "a web page" while the browser is looked up;
    // a program folder that cannot take it gets the same report as a missing
    // browser.
    QFile file(marker);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                         file.write("\"<HTML> <\\HTML>\"\r\n") > 0;
    file.close();
    if (!written || !platform::shell().OpenAddress(WebPage))
        Error_Mod::ReportError(sorry, false);
    QFile::remove(marker);
}

void mainForm::OpenCredits() {
    G().AboutFromMenu = true;
    hide();
    {
        frmAbout credits(this);
        credits.exec();
    }
    ShowMain();
    G().AboutFromMenu = false;
}

void mainForm::closeEvent(QCloseEvent*) {
    platform::process().EndProgram();
}
