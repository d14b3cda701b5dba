// Every window in every shipped language: no caption, label or button text
// is cut off (each control is at least as large as its texts need).
#include "app/main_form.h"
#include "lang/lang_pick_form.h"
#include "lang/language.h"
#include "platform/folder_pick_dialog.h"
#include "state/globals.h"
#include "test_env.h"
#include "windows/frm_about.h"
#include "windows/help_form.h"
#include "windows/log_opts_form.h"
#include "windows/opts_form.h"
#include "windows/run_report_window.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

class TestTextFit : public QObject {
    Q_OBJECT
private slots:
    void everyWindowFits_data();
    void everyWindowFits();
};

namespace {

// Controls whose text is cut on purpose: the status text and a long path
// (both elided, the whole one in a tool tip), and pictures.
bool CutOnPurpose(const QWidget* w) {
    const QString name = w->objectName();
    return name == "statusText" || name == "folderPath" || name == "DnDPic" || name == "Picture1";
}

// The texts of window that do not fit their controls, as "name: text".
QStringList CutOff(QWidget* window) {
    QStringList cut;
    const auto check = [&](QWidget* w, const QString& text) {
        if (text.isEmpty() || !w->isVisibleTo(window) || CutOnPurpose(w))
            return;
        const QSize hint = w->sizeHint();
        const int needHeight =
            w->hasHeightForWidth() ? w->heightForWidth(w->width()) : hint.height();
        const bool wraps = qobject_cast<QLabel*>(w) && static_cast<QLabel*>(w)->wordWrap();
        if ((!wraps && w->width() < hint.width()) || w->height() < needHeight)
            cut << w->metaObject()->className() + QStringLiteral(" ") + w->objectName() + ": " +
                       text;
    };
    for (QLabel* label : window->findChildren<QLabel*>())
        check(label, label->text());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        check(button, button->text());
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) {
        if (!frame->title().isEmpty() && frame->isVisibleTo(window) &&
            frame->width() < frame->fontMetrics().horizontalAdvance(frame->title()) + 16)
            cut << "QGroupBox " + frame->objectName() + ": " + frame->title();
    }
    return cut;
}

} // namespace

void TestTextFit::everyWindowFits_data() {
    QTest::addColumn<QString>("pack");
    QTest::addColumn<QString>("window");
    const QStringList packs =
        QDir(qEnvironmentVariable("BW_SOURCE") + "/langs").entryList({"lang.*"}, QDir::Files);
    QVERIFY2(packs.size() >= 3, "the shipped packs are missing");
    for (const QString& pack : packs) {
        for (const char* window : {"main", "other options", "logging options", "language", "splash",
                                   "credits", "help", "report", "folder choice"})
            QTest::newRow(qPrintable(pack + ", " + window)) << pack << QString(window);
    }
}

void TestTextFit::everyWindowFits() {
    QFETCH(QString, pack);
    QFETCH(QString, window);
    TestEnv env;
    env.installShippedPacks();
    G().LangChoice = pack;
    BrushwickMod::LoadLanguage();
    G().SimsPath = env.downloadFolder() + "/";

    mainForm main;
    std::unique_ptr<QWidget> shown;
    if (window == "other options") {
        shown = std::make_unique<optsForm>(&main);
    } else if (window == "logging options") {
        shown = std::make_unique<logOptsForm>(&main);
    } else if (window == "language") {
        shown = std::make_unique<langPickForm>(&main);
    } else if (window == "splash" || window == "credits") {
        G().AboutFromMenu = window == "credits";
        shown = std::make_unique<frmAbout>(&main);
    } else if (window == "help") {
        auto help = std::make_unique<helpForm>(&main);
        help->Load_Readme();
        shown = std::move(help);
    } else if (window == "report") {
        RunReport report;
        for (int i = 0; i < OutcomeCount; ++i)
            report.Add(QString("/dl/file%1.package").arg(i), static_cast<Outcome>(i), "detail");
        shown = std::make_unique<RunReportWindow>(report, &main);
    } else if (window == "folder choice") {
        platform::FolderPick pick;
        pick.title = AppTitle;
        pick.text = G().CurLang.SeeByName("FOLDERCHOICE");
        pick.otherText = G().CurLang.SeeByName("FOLDEROTHER");
        pick.folders = {"/home/me/.wine/drive_c/users/me/Documents/EA Games/The Sims 2/Downloads/",
                        "/home/me/Games/sims/drive_c/users/me/Documents/EA Games/The Sims 2 "
                        "Ultimate Collection/Downloads/ " +
                            G().CurLang.SeeByName("FOLDERCREATED").toText()};
        shown = std::make_unique<FolderPickDialog>(pick, &main);
    }
    QWidget* w = shown ? shown.get() : &main;
    w->show();
    QCoreApplication::processEvents();
    const QStringList cut = CutOff(w);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
}

QTEST_MAIN(TestTextFit)
#include "test_text_fit.moc"
