#include "frm_about.h"

#include "artwork.h"
#include "containers/runtime_error.h"
#include "form_common.h"
#include "lang/text_readers.h"
#include "log/log.h"
#include "platform/platform.h"
#include "platform/twips.h"
#include "state/globals.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {

constexpr int SplashMilliseconds = 7500;
constexpr int ScrollMilliseconds = 50;
constexpr int ScrollStepTwips = 5;
constexpr int LabelLeftTwips = 120;
constexpr int LabelStartTwips = 120;

QRect TwipRect(int left, int top, int width, int height) {
    return QRect(platform::Twips::ToPixels(left), platform::Twips::ToPixels(top),
                 platform::Twips::ToPixels(width), platform::Twips::ToPixels(height));
}

QString VersionText() {
    const platform::Version v = platform::process().ProgramVersion();
    return QStringLiteral("v") + QString::number(v.major) + QLatin1Char('.') +
           QString::number(v.minor) + QStringLiteral(" Build ") + QString::number(v.revision);
}

// Labels on the picture: plain text (pack names and authors are not markup),
// light letters on the dark parts of the picture.
QLabel* PictureLabel(QWidget* parent, const char* name, const QRect& place) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    label->setStyleSheet(QStringLiteral("color: #f4f8fb; background: transparent;"));
    return label;
}

bool IsLeftClick(const QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

bool IsMouseButtonEvent(const QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

} // namespace

frmAbout::frmAbout(QWidget* mainWindow)
    : QDialog(mainWindow), mainWindow_(mainWindow), labelTop_(LabelStartTwips) {
    BuildControls();
    Start();
}

void frmAbout::BuildControls() {
    setWindowTitle(QStringLiteral("About"));
    Forms::MakeFixedDialog(this,
                           QSize(platform::Twips::ToPixels(5760), platform::Twips::ToPixels(2520)));
    // The picture is a pixel wider than the window is high; the window's own
    // colour matches its edge.
    setStyleSheet(QStringLiteral("frmAbout { background: #1f5a7e; }"));

    Picture1_ = new QLabel(this);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setGeometry(TwipRect(0, 0, 5745, 2535));
    Picture1_->setPixmap(SplashPicture(G().CurLang.SeeByName(QStringLiteral("SPLASHTAGLINE"))));

    versionLabel_ = PictureLabel(Picture1_, "versionLabel", TwipRect(2640, 1680, 3015, 255));
    QFont bold = versionLabel_->font();
    bold.setBold(true);
    versionLabel_->setFont(bold);
    copylabel_ = PictureLabel(Picture1_, "copylabel", TwipRect(2880, 1920, 2775, 495));
    copylabel_->setWordWrap(true);
    copylabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    aboutContainer_ = new QFrame(Picture1_);
    aboutContainer_->setObjectName(QStringLiteral("aboutContainer"));
    aboutContainer_->setAttribute(Qt::WA_StyledBackground);
    aboutContainer_->setGeometry(TwipRect(1080, 960, 4575, 1455));
    aboutContainer_->setStyleSheet(QStringLiteral(
        "#aboutContainer { background: rgba(10, 28, 46, 238); border: 1px solid #5cc935; "
        "border-radius: 6px; }"));
    aboutContainer_->hide();

    aboutLabel_ = PictureLabel(aboutContainer_, "aboutLabel",
                               TwipRect(LabelLeftTwips, LabelStartTwips, 4335, 1275));
    aboutLabel_->setWordWrap(true);
    aboutLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    aboutLabel_->hide();

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(SplashMilliseconds);
    connect(Timer1_, &QTimer::timeout, this, &frmAbout::Tick);

    // Clicks close the window on the picture and the credits, not on the
    // version or the legal notice.
    for (QWidget* w : {static_cast<QWidget*>(Picture1_), static_cast<QWidget*>(aboutContainer_),
                       static_cast<QWidget*>(aboutLabel_), static_cast<QWidget*>(versionLabel_),
                       static_cast<QWidget*>(copylabel_)})
        w->installEventFilter(this);
}

void frmAbout::Start() {
    try {
        copylabel_->setText(platform::process().LegalCopyright());
        versionLabel_->setText(VersionText());
        Forms::TakeMainIcon(this, mainWindow_);
        if (!G().AboutFromMenu) {
            Timer1_->start(SplashMilliseconds);
            return;
        }
        ShowCredits();
    } catch (const RunTimeError& e) {
        // The window keeps what was built; without a running timer it stays
        // until it is clicked.
        Error_Mod::ReportError(
            Error_Mod::LoadErrorMessage(QStringLiteral("Splash"), e.Number(), e.Description()),
            false);
    }
}

void frmAbout::ShowCredits() {
    const QString& nl = G().NewLine;
    QString credits = nl + nl + AppTitle + QLatin1Char(' ') + VersionText() + nl +
                      QStringLiteral("By the Brushwick 2 team") + nl + nl;
    credits += QStringLiteral("Special thanks to:") + nl;
    credits += QStringLiteral("  The Brushwick 2 team for graphics and ideas,") + nl;
    credits += QStringLiteral("  The libarchive team for zip and rar archives,") + nl;
    credits += QStringLiteral("  The Qt project for the windows and more,") + nl;
    credits += QStringLiteral("  The game's installer for packages and skins,") + nl;
    credits += nl;
    versionLabel_->hide();
    copylabel_->hide();

    Hash table = FileOps::ListLanguages();
    MArray names = table.GetKeys();
    credits += QStringLiteral("Translations:") + nl;
    // The table holds the packs last listed first, so taking from the end
    // gives them in listing order.
    while (names.Size() >= 1) {
        const QString name = names.Pop().toText();
        credits +=
            QStringLiteral("   ") + name + QStringLiteral(" by ") + table.Value(name).toText() + nl;
    }
    credits += nl + nl + QStringLiteral("  And YOU for using The Tidsel and spreading the word!") +
               nl + QStringLiteral("  So long... ") + nl;

    // The label shows line breaks as it knows them.
    QString shown = credits;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    aboutLabel_->setText(shown);
    aboutLabel_->resize(aboutLabel_->width(), aboutLabel_->heightForWidth(aboutLabel_->width()));
    aboutContainer_->show();
    aboutLabel_->show();
    Timer1_->start(ScrollMilliseconds);
}

int frmAbout::aboutLabelHeight() const {
    return platform::Twips::FromPixels(aboutLabel_->height());
}

void frmAbout::PlaceAboutLabel() {
    aboutLabel_->move(platform::Twips::ToPixels(LabelLeftTwips),
                      platform::Twips::ToPixels(labelTop_));
}

void frmAbout::Tick() {
    if (!G().AboutFromMenu) {
        Timer1_->stop();
        close();
        return;
    }
    labelTop_ -= ScrollStepTwips;
    // Once the whole text has passed the box's upper edge it starts again
    // with its first line at that edge.
    if (labelTop_ + aboutLabelHeight() < 0)
        labelTop_ = 0;
    PlaceAboutLabel();
}

void frmAbout::done(int result) {
    Timer1_->stop();
    QDialog::done(result);
    if (mainWindow_)
        mainWindow_->show();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (!IsMouseButtonEvent(event))
        return QDialog::eventFilter(watched, event);
    if (watched == versionLabel_ || watched == copylabel_)
        return true;
    if (IsLeftClick(event))
        close();
    return true;
}

void frmAbout::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void frmAbout::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        close();
}
