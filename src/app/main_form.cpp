#include "main_form.h"

#include "drop_picture.h"
#include "handoff.h"
#include "lang/lang_pick_form.h"
#include "log/log.h"
#include "pipeline/file_ops.h"
#include "pipeline/run.h"
#include "run_queue.h"
#include "state/globals.h"
#include "windows/artwork.h"
#include "windows/frm_about.h"
#include "windows/help_form.h"
#include "windows/log_opts_form.h"
#include "windows/opts_form.h"
#include "windows/run_report_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QToolButton>

#include <utility>

const QString mainForm::WebPage = QStringLiteral("https://brushwick2.example.org/");

namespace {

// Client area and controls, in pixels.
constexpr int ClientWidth = 387;
constexpr int ClientHeight = 201;
constexpr int PictureHeight = 173;
constexpr int PictureBorder = 2;
constexpr QRect HelpButtonRect{344, 128, 41, 41};
// The most the progress may take of the status bar, in pixels.
constexpr int ProgressWidth = 150;

} // namespace

mainForm::mainForm(QWidget* parent) : QWidget(parent) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(ClientWidth, ClientHeight);
    setWindowIcon(AppIcon());

    DnDPic_ = new DropPicture(this);
    DnDPic_->setObjectName(QStringLiteral("DnDPic"));
    DnDPic_->setGeometry(0, 0, ClientWidth, PictureHeight);
    DnDPic_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    DnDPic_->setLineWidth(PictureBorder);
    DnDPic_->setAlignment(Qt::AlignCenter);
    ShowPicture();
    connect(DnDPic_, &DropPicture::dropped, this, &mainForm::OnDrop);
    runs_ = new RunQueue(this);
    connect(runs_, &RunQueue::runStarted, this, &mainForm::OnRunStarted);
    connect(runs_, &RunQueue::runFinished, this, &mainForm::OnRunFinished);
    connect(runs_, &RunQueue::waitingChanged, this, [this] { Refresh(); });
    connect(DnDPic_, &DropPicture::rightClicked, this,
            [this](const QPoint& at) { helpMenu_->popup(at); });

    HelpButton_ = new QToolButton(DnDPic_);
    HelpButton_->setObjectName(QStringLiteral("HelpButton"));
    HelpButton_->setGeometry(HelpButtonRect);
    HelpButton_->setIcon(HelpIcon());
    HelpButton_->setIconSize(HelpButtonRect.size() - QSize(9, 9));
    HelpButton_->setToolTip(QStringLiteral("Help!"));
    connect(HelpButton_, &QToolButton::clicked, this, [this] { helpMenu_->popup(QCursor::pos()); });

    BuildStatusBar();
    BuildMenu();
}

mainForm::~mainForm() {
    // A run still going on ends before the window it reports to.
    delete runs_;
    runs_ = nullptr;
}

void mainForm::BuildStatusBar() {
    SBar_ = new QStatusBar(this);
    SBar_->setObjectName(QStringLiteral("SBar"));
    SBar_->setGeometry(0, PictureHeight, ClientWidth, ClientHeight - PictureHeight);
    SBar_->setSizeGripEnabled(false);
    statusText_ = new QLabel(SBar_);
    statusText_->setObjectName(QStringLiteral("statusText"));
    // A long text is cut off rather than widening the fixed window.
    statusText_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    SBar_->addWidget(statusText_, 1);
    progressText_ = new QLabel(SBar_);
    progressText_->setObjectName(QStringLiteral("progressText"));
    SBar_->addPermanentWidget(progressText_);
    archiveBar_ = new QProgressBar(SBar_);
    archiveBar_->setObjectName(QStringLiteral("archiveBar"));
    archiveBar_->setRange(0, 100);
    archiveBar_->setFixedWidth(48);
    archiveBar_->setTextVisible(false);
    SBar_->addPermanentWidget(archiveBar_);
    stopButton_ = new QPushButton(SBar_);
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    connect(stopButton_, &QPushButton::clicked, this, [this] { runs_->Stop(); });
    SBar_->addPermanentWidget(stopButton_);
    detailsLink_ = new QLabel(SBar_);
    detailsLink_->setObjectName(QStringLiteral("detailsLink"));
    detailsLink_->setTextFormat(Qt::RichText);
    connect(detailsLink_, &QLabel::linkActivated, this, &mainForm::OpenReport);
    SBar_->addPermanentWidget(detailsLink_);
    for (QWidget* w : {static_cast<QWidget*>(progressText_), static_cast<QWidget*>(archiveBar_),
                       static_cast<QWidget*>(stopButton_), static_cast<QWidget*>(detailsLink_)})
        w->hide();
}

void mainForm::BuildMenu() {
    helpMenu_ = new QMenu(QStringLiteral("Help"), this);
    helpMenu_->setObjectName(QStringLiteral("helpMenu"));
    helpMenuOption_ =
        helpMenu_->addAction(QStringLiteral("Help"), this, [this] { OpenHelp(false); });
    bwkwebMenuOption_ =
        helpMenu_->addAction(QStringLiteral("Brushwick Website!"), this, &mainForm::OpenWebPage);
    helpMenu_->addSeparator();
    // While an option window is open, runs handed over wait: its OK changes
    // what they read.
    langMenuOption_ = helpMenu_->addAction(QStringLiteral("Language Options"), this, [this] {
        const RunQueue::Held held(runs_);
        LangMenuOption(this);
    });
    logMenuOption_ = helpMenu_->addAction(QStringLiteral("Logging Options"), this, [this] {
        const RunQueue::Held held(runs_);
        logOptsForm dialog(this);
        dialog.exec();
    });
    otherMenuOptions_ = helpMenu_->addAction(QStringLiteral("Other Options"), this, [this] {
        const RunQueue::Held held(runs_);
        optsForm dialog(this);
        dialog.exec();
    });
    helpMenu_->addSeparator();
    changeLogMenu_ =
        helpMenu_->addAction(QStringLiteral("ChangeLog"), this, [this] { OpenHelp(true); });
    aboutMenuOption_ =
        helpMenu_->addAction(QStringLiteral("Credits"), this, &mainForm::OpenCredits);
    const std::pair<QAction*, const char*> named[] = {
        {helpMenuOption_, "helpMenuOption"},     {bwkwebMenuOption_, "bwkwebMenuOption"},
        {langMenuOption_, "langMenuOption"},     {logMenuOption_, "logMenuOption"},
        {otherMenuOptions_, "otherMenuOptions"}, {changeLogMenu_, "changeLogMenu"},
        {aboutMenuOption_, "aboutMenuOption"}};
    for (const auto& [entry, name] : named)
        entry->setObjectName(QLatin1String(name));
}

QString mainForm::Text() const {
    const QMutexLocker lock(&statusLock_);
    return text_;
}

void mainForm::SetText(const QString& text) {
    {
        const QMutexLocker lock(&statusLock_);
        text_ = text;
    }
    ScheduleRefresh();
}

void mainForm::SetBusy(bool busy) {
    {
        const QMutexLocker lock(&statusLock_);
        busy_ = busy;
    }
    ScheduleRefresh();
}

void mainForm::SetProgress(const platform::Progress& progress) {
    {
        const QMutexLocker lock(&statusLock_);
        progress_ = progress;
    }
    ScheduleRefresh();
}

void mainForm::ScheduleRefresh() {
    if (QThread::currentThread() == thread()) {
        Refresh();
        return;
    }
    // A run writes its status many times a second; the window shows the
    // latest once it gets to it.
    if (!refreshPending_.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { Refresh(); }, Qt::QueuedConnection);
}

void mainForm::Refresh() {
    refreshPending_ = false;
    QString text;
    bool busy = false;
    platform::Progress progress;
    {
        const QMutexLocker lock(&statusLock_);
        text = text_;
        busy = busy_;
        progress = progress_;
    }
    const LanguagePack& lang = G().CurLang;
    if (runs_ && runs_->Waiting() > 0) {
        // The growing dots give way to the note that drops wait, which
        // stays in sight at the end.
        const QString note =
            QStringLiteral("  ") +
            lang.ProperString(QStringLiteral("WAITING"), QString::number(runs_->Waiting()), {}, {});
        const QFontMetrics metrics = statusText_->fontMetrics();
        const int room = statusText_->contentsRect().width() - metrics.horizontalAdvance(note);
        text = metrics.elidedText(text, Qt::ElideRight, std::max(room, 0)) + note;
    }
    statusText_->setText(text);
    if (busy != showingBusy_) {
        showingBusy_ = busy;
        if (busy)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QGuiApplication::restoreOverrideCursor();
    }
    const bool running = runs_ && runs_->Running();
    progressText_->setVisible(running);
    archiveBar_->setVisible(running && !progress.archive.isEmpty() && progress.percent >= 0);
    if (running) {
        const QString files = lang.ProperString(QStringLiteral("PROGRESSFILES"),
                                                QString::number(progress.files), {}, {});
        const QString full = progress.archive.isEmpty()
                                 ? files
                                 : files + QStringLiteral(" \u00b7 ") + progress.archive;
        // A long archive name loses its middle rather than pushing the
        // Stop button out of the narrow window.
        progressText_->setText(
            progressText_->fontMetrics().elidedText(full, Qt::ElideMiddle, ProgressWidth));
        progressText_->setToolTip(full);
        archiveBar_->setValue(std::max(progress.percent, 0));
    }
}

void mainForm::ShowPicture() {
    // The picture's words are the language's.
    const LanguagePack& lang = G().CurLang;
    DnDPic_->setPixmap(RidIvidPicture(lang.SeeByName(QStringLiteral("PICTUREDROP")),
                                      lang.SeeByName(QStringLiteral("PICTUREHERE")),
                                      lang.SeeByName(QStringLiteral("PICTUREHINT")),
                                      HelpButtonRect.left() - 6));
}

void mainForm::SetMenuCaptions(const platform::MenuCaptions& captions) {
    ShowPicture();
    helpMenuOption_->setText(captions.help);
    langMenuOption_->setText(captions.language);
    aboutMenuOption_->setText(captions.credits);
    logMenuOption_->setText(captions.logging);
    otherMenuOptions_->setText(captions.other);
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
    // The player asked to close: nothing new starts.
    if (!closeAfterRun_)
        runs_->AddDrop(paths);
}

void mainForm::RunAndWait(MArray& paths) {
    runs_->AddList(paths);
    paths = MArray();
    runs_->WaitUntilIdle();
}

bool mainForm::HandOff(const MArray& paths) {
    QStringList list;
    // The list is a stack: its last path is the first one given.
    for (qint32 i = paths.Size() - 1; i >= 0; --i)
        list.append(paths.See(i).toText());
    return Handoff::SendPaths(list);
}

void mainForm::ListenForHandOffs() {
    if (!handoff_) {
        // What comes before start-up knows the download folder waits.
        runs_->Hold();
        startupHold_ = true;
        handoff_ = new Handoff::Server(this);
        connect(handoff_, &Handoff::Server::pathsReceived, this, [this](const QStringList& paths) {
            if (closeAfterRun_) {
                for (const QString& path : paths)
                    Error_Mod::WriteLog(QStringLiteral("HANDOFF: refused ") + path,
                                        Error_Mod::Level::Errors);
                return;
            }
            ShowMain();
            runs_->AddDrop(paths);
        });
    }
    handoff_->Listen();
}

void mainForm::RunsMayStart() {
    if (std::exchange(startupHold_, false))
        runs_->Release();
}

void mainForm::OnRunStarted() {
    // The values a run reads must not change under it.
    for (QAction* entry : {langMenuOption_, logMenuOption_, otherMenuOptions_})
        entry->setEnabled(false);
    stopButton_->setText(G().CurLang.SeeByName(QStringLiteral("STOPBUTTON")));
    stopButton_->show();
    detailsLink_->hide();
    Refresh();
}

void mainForm::OnRunFinished(const RunReport& report) {
    lastReport_ = report;
    const bool more = runs_->Waiting() > 0;
    if (!more) {
        for (QAction* entry : {langMenuOption_, logMenuOption_, otherMenuOptions_})
            entry->setEnabled(true);
        stopButton_->hide();
    }
    detailsLink_->setText(
        QStringLiteral("<a href=\"#\">") +
        G().CurLang.SeeByName(QStringLiteral("DETAILS")).toText().toHtmlEscaped() +
        QStringLiteral("</a>"));
    detailsLink_->setVisible(report.NeedsAttention() && !more);
    Refresh();
    if (closeAfterRun_ && !runs_->Running())
        platform::process().EndProgram();
}

void mainForm::OpenReport() {
    RunReportWindow window(lastReport_, this);
    window.exec();
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

void mainForm::closeEvent(QCloseEvent* event) {
    if (runs_ && runs_->Running()) {
        // Never cut a file in half: the run stops after the one it is on.
        event->ignore();
        const int answer =
            platform::prompts().MsgBox(G().CurLang.SeeByName(QStringLiteral("STOPQUERY")),
                                       platform::Box::YesNo | platform::Box::Question, AppTitle);
        if (answer != platform::Box::Yes)
            return;
        // The run may have ended while the question was open.
        if (!runs_->Running())
            platform::process().EndProgram();
        closeAfterRun_ = true;
        // Later starts are refused, as by a closed program, rather than
        // handing over paths that would never run.
        if (handoff_)
            handoff_->Close();
        runs_->Stop();
        return;
    }
    platform::process().EndProgram();
}
